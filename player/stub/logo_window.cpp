#include "stub/logo_window.h"

#include <windows.h>

#include <memory>

#include "common/logo_fade.h"
#include "stub/picture.h"
#include "stub/player_log.h"
#include "stub/window_class.h"

namespace quorlix {

namespace {

constexpr wchar_t kClassName[] = L"QuorlixLogoWindow";
constexpr COLORREF kGifKey = RGB(0, 1, 0);
using Timer = LogoFade::Timer;
constexpr Timer kTimers[] = {Timer::FadeIn, Timer::Close, Timer::FadeOut};

// One logo window's state, reached from its window procedure.
struct LogoState {
    LogoFade fade;
    std::unique_ptr<Picture> picture;
    PictureKind kind;
    std::wstring label;
    bool running[3] = {false, false, false};
    int shownAlpha = -1;
    bool snapped = false;
};

UINT_PTR TimerId(Timer timer) {
    return static_cast<UINT_PTR>(timer) + 1;
}

// Per-pixel alpha for a PNG: the window is the picture, transparent where it is.
void PresentWithOwnAlpha(HWND window, const Picture& picture) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture.bitmap());
    POINT origin = {0, 0};
    SIZE size = {picture.width(), picture.height()};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Logs, once, the moment the visible window first shows the picture fully.
void NoteFullyShown(HWND window, LogoState& state) {
    if (state.fade.phase() != 2 || state.snapped || state.fade.closed() ||
        !IsWindowVisible(window)) {
        return;
    }
    state.snapped = true;
    LogStep(state.label + L" fully shown");
    UpdateWindow(window);
    SnapshotScreen(state.label == L"logo 1" ? L"logo1" : L"logo2");
}

// Makes the window show what the fade says: alpha, timers, closing.
void Apply(HWND window, LogoState& state) {
    if (state.kind != PictureKind::Png) {
        const int alpha = state.fade.layered() ? state.fade.alpha() : 255;
        if (alpha != state.shownAlpha) {
            const DWORD flags = LWA_ALPHA | (state.kind == PictureKind::Gif ? LWA_COLORKEY : 0);
            SetLayeredWindowAttributes(window, kGifKey, static_cast<BYTE>(alpha), flags);
            state.shownAlpha = alpha;
            LogStep(state.label + L" alpha " + std::to_wstring(alpha));
        }
    }
    for (const Timer timer : kTimers) {
        const int i = static_cast<int>(timer);
        const bool wanted = state.fade.running(timer);
        if (wanted && !state.running[i]) {
            SetTimer(window, TimerId(timer), state.fade.interval(timer), nullptr);
        } else if (!wanted && state.running[i]) {
            KillTimer(window, TimerId(timer));
        }
        state.running[i] = wanted;
    }
    NoteFullyShown(window, state);
    if (state.fade.closed()) {
        DestroyWindow(window);
    }
}

LRESULT CALLBACK LogoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<LogoState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_PAINT:
            if (state != nullptr && state->kind != PictureKind::Png) {
                PaintPicture(window, *state->picture);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (state != nullptr && wParam >= 1 && wParam <= 3) {
                state->fade.Tick(static_cast<Timer>(wParam - 1));
                Apply(window, *state);
            }
            return 0;
        case WM_LBUTTONUP:
            if (state != nullptr) {
                LogStep(state->label + L" click in phase " + std::to_wstring(state->fade.phase()));
                state->fade.Click();
                Apply(window, *state);
            }
            return 0;
        case WM_DESTROY:
            for (const Timer timer : kTimers) {
                KillTimer(window, TimerId(timer));
            }
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void ShowLogo(const LogoOptions& logo, const std::wstring& picturePath, const std::wstring& label) {
    LogoState state{LogoFade(logo.fadeIn, logo.fadeOut, logo.waitForClick, logo.seconds),
                    Picture::Load(picturePath, logo.kind), logo.kind, label};
    if (!state.picture) {
        LogStep(label + L" skipped: the picture does not decode");
        return;
    }
    if (logo.kind == PictureKind::Gif) {
        state.picture->FillTransparentWith(kGifKey);
    } else if (logo.kind != PictureKind::Png) {
        state.picture->MakeOpaque();
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterPictureWindowClass(instance, kClassName, LogoProc);
    const int width = state.picture->width();
    const int height = state.picture->height();
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, label.c_str(),
                        WS_POPUP, x, y, width, height, nullptr, nullptr, instance, &state);
    if (window == nullptr) {
        LogStep(label + L" skipped: no window");
        return;
    }
    LogStep(label + L" shown " + std::to_wstring(width) + L"x" + std::to_wstring(height) + L" at " +
            std::to_wstring(x) + L"," + std::to_wstring(y));
    state.fade.Show();
    if (logo.kind == PictureKind::Png) {
        PresentWithOwnAlpha(window, *state.picture);
    }
    Apply(window, state);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    NoteFullyShown(window, state);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LogStep(label + L" closed");
}

}  // namespace quorlix
