#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace standin {

// What arrived in the window so far, counted by its window procedure.
struct Arrivals {
    int markers = 0;     // F5 key presses, sent after the input a step looks at
    int leftClicks = 0;  // left clicks, sent after right clicks
};
extern Arrivals g_arrivals;

// The argument that starts the stand-in as the second program.
inline constexpr wchar_t kSecondProgramArgument[] = L"--second-program";

// The marker key: nothing locks it, so once it arrives everything sent before it has too.
inline constexpr WORD kMarkerKey = VK_F5;

// A reader's input played into the program with SendInput, one step after the other: a step
// sends its input, then ends once `arrived` says its effect (or the marker sent after it) is
// there, or after a deadline. Advanced from the window's timer.
class InputScript {
public:
    struct Step {
        std::wstring name;
        std::function<void()> send;
        std::function<bool()> arrived;
        std::function<void()> after = [] {};
    };

    explicit InputScript(std::vector<Step> steps) : steps_(std::move(steps)) {}

    // Takes the script on; true once every step has ended.
    bool Advance();

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool sent_ = false;
    DWORD sentAt_ = 0;
};

// Presses the keys in order, then lets them go in reverse order (a key combination).
void PressKeys(std::initializer_list<WORD> keys);
// Presses and lets go of a mouse button over the centre of the window.
void ClickAt(HWND window, DWORD down, DWORD up);

// The steps the document program plays into its own window, and those of the second program.
std::vector<InputScript::Step> DocumentProgramSteps(HWND window);
std::vector<InputScript::Step> SecondProgramSteps(HWND window);

}  // namespace standin
