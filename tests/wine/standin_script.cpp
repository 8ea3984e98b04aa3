#include "standin_script.h"

#include "standin_common.h"

namespace standin {

Arrivals g_arrivals;

namespace {

// The longest a step waits for its input to arrive (ms).
constexpr DWORD kStepDeadline = 15000;

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A mouse event at a point of the screen: every event carries its own position, so none
// depends on where the pointer was left (under Wine a pointer warp can arrive late).
INPUT MouseInput(DWORD flags, POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void Send(std::vector<INPUT> inputs) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        Record(L"SendInput sent " + std::to_wstring(sent) + L" of " +
               std::to_wstring(inputs.size()) + L", error " + std::to_wstring(GetLastError()));
    }
}

void PressMarker() {
    PressKeys({kMarkerKey});
}

HANDLE g_secondProgram = nullptr;

// Starts this program again as the second program (a program other than the document's).
void StartSecondProgram() {
    g_secondProgram = StartCopy(kSecondProgramArgument);
}

bool SecondProgramEnded() {
    return g_secondProgram == nullptr || WaitForSingleObject(g_secondProgram, 0) == WAIT_OBJECT_0;
}

// Ends when the foreground window is this one.
InputScript::Step Foreground(HWND window) {
    return {L"foreground", [window] { SetForegroundWindow(window); },
            [window] { return GetForegroundWindow() == window; }};
}

// Ctrl+<key>, then the marker; ends when marker number `marker` arrived.
InputScript::Step Control(
    const std::wstring& name, WORD key, int marker,
    std::function<bool()> also = [] { return true; }) {
    return {name,
            [key] {
                PressKeys({VK_CONTROL, key});
                PressMarker();
            },
            [marker, also] { return g_arrivals.markers >= marker && also(); }};
}

// A right click over the window, then a left click; ends when left click number `click` arrived.
InputScript::Step RightClick(HWND window, int click) {
    return {L"right click",
            [window] {
                ClickAt(window, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
                ClickAt(window, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            },
            [click] { return g_arrivals.leftClicks >= click; }};
}

}  // namespace

bool InputScript::Advance() {
    while (next_ < steps_.size()) {
        Step& step = steps_[next_];
        if (!sent_) {
            Record(L"step " + step.name);
            step.send();
            sent_ = true;
            sentAt_ = GetTickCount();
        }
        const bool arrived = step.arrived();
        if (!arrived && GetTickCount() - sentAt_ < kStepDeadline) {
            return false;
        }
        if (!arrived) {
            Record(L"step " + step.name + L" timed out");
        }
        step.after();
        sent_ = false;
        ++next_;
    }
    return true;
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        inputs.push_back(KeyInput(key, false));
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    Send(std::move(inputs));
}

void ClickAt(HWND window, DWORD down, DWORD up) {
    RECT area;
    GetClientRect(window, &area);
    POINT centre = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(window, &centre);
    Send({MouseInput(0, centre), MouseInput(down, centre), MouseInput(up, centre)});
}

std::vector<InputScript::Step> DocumentProgramSteps(HWND window) {
    const bool locked = Variable(L"QUORLIX_STANDIN_EXPECT_LOCKS") == L"1";
    std::vector<InputScript::Step> steps;
    steps.push_back(
        {L"second program", [] { StartSecondProgram(); }, [] { return SecondProgramEnded(); }});
    steps.push_back(Foreground(window));
    steps.push_back(Control(L"paste", 'V', 1));
    InputScript::Step copy = Control(L"copy", 'C', 2);
    copy.after = [window] { Record(L"clipboard after copy: " + ClipboardText(window)); };
    steps.push_back(std::move(copy));
    steps.push_back(RightClick(window, 1));
    steps.push_back({L"menu keys",
                     [] {
                         PressKeys({VK_APPS});
                         PressKeys({VK_SHIFT, VK_F10});
                         PressMarker();
                     },
                     [] { return g_arrivals.markers >= 3; }});
    // A copy made by the program itself, as its menu or tool bar would make it.
    steps.push_back({L"menu copy", [window] { CopyText(window, L"stand-in menu text"); },
                     [window, locked] { return !locked || ClipboardText(window).empty(); },
                     [window] { Record(L"clipboard after menu copy: " + ClipboardText(window)); }});
    return steps;
}

std::vector<InputScript::Step> SecondProgramSteps(HWND window) {
    const bool locked = Variable(L"QUORLIX_STANDIN_EXPECT_LOCKS") == L"1";
    // With the locks on, the paste waits until the player has looked at this copy.
    const int keptBefore = PlayerLogCount(L"clipboard kept");
    std::vector<InputScript::Step> steps;
    steps.push_back(Foreground(window));
    steps.push_back(Control(L"copy", 'C', 1, [locked, keptBefore] {
        return !locked || PlayerLogCount(L"clipboard kept") > keptBefore;
    }));
    steps.push_back(Control(L"paste", 'V', 2));
    steps.push_back(RightClick(window, 1));
    steps.push_back({L"menu key",
                     [] {
                         PressKeys({VK_APPS});
                         PressMarker();
                     },
                     [] { return g_arrivals.markers >= 3; }});
    return steps;
}

}  // namespace standin
