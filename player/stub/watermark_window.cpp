#include "stub/watermark_window.h"

#include "stub/open_document.h"
#include "stub/player_log.h"
#include "stub/stub_error.h"
#include "stub/window_class.h"

namespace quorlix {

namespace {

constexpr wchar_t kClassName[] = L"QuorlixWatermark";
constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kFollowInterval = 200;
constexpr int kPadding = 4;
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kOtherKey = RGB(0, 255, 1);

// A colour value as the converter writes it; system colours (high byte 0xFF) are looked up.
COLORREF ColourOf(std::uint32_t value) {
    if ((value >> 24) == 0xFF) {
        return GetSysColor(static_cast<int>(value & 0xFF));
    }
    return static_cast<COLORREF>(value & 0x00FFFFFF);
}

HFONT MakeFont(const WatermarkFont& font, bool plainEdges) {
    return CreateFontW(font.height, 0, 0, 0, (font.style & 1) != 0 ? FW_BOLD : FW_NORMAL,
                       (font.style & 2) != 0, (font.style & 4) != 0, (font.style & 8) != 0,
                       static_cast<BYTE>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       plainEdges ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY,
                       static_cast<BYTE>(font.pitch == 2   ? FIXED_PITCH
                                         : font.pitch == 1 ? VARIABLE_PITCH
                                                           : DEFAULT_PITCH),
                       AnsiToWide(font.face).c_str());
}

// Whether the document's program is the one the user works with: its window, or one of that
// program's windows (a dialog), or the watermark itself, is in front.
bool DocumentInFront(HWND document, HWND mark) {
    HWND front = GetForegroundWindow();
    if (front == nullptr || front == mark || front == document) {
        return true;
    }
    DWORD frontProcess = 0;
    DWORD documentProcess = 0;
    GetWindowThreadProcessId(front, &frontProcess);
    GetWindowThreadProcessId(document, &documentProcess);
    return frontProcess == documentProcess;
}

std::uint32_t Random() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const auto value = static_cast<std::uint32_t>(counter.QuadPart);
    return value * 2654435761u ^ GetTickCount();
}

}  // namespace

std::unique_ptr<Picture> DrawWatermarkText(const WatermarkOptions& options, COLORREF key) {
    const std::wstring text = AnsiToWide(options.text);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = MakeFont(options.font, options.transparentBackground);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
              DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    std::unique_ptr<Picture> picture =
        Picture::Create(extent.right + 2 * kPadding, extent.bottom + 2 * kPadding);
    if (picture) {
        HGDIOBJ oldBitmap = SelectObject(dc, picture->bitmap());
        const COLORREF back = options.transparentBackground ? key : ColourOf(options.backColour);
        HBRUSH brush = CreateSolidBrush(back);
        RECT all = {0, 0, picture->width(), picture->height()};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColourOf(options.font.colour));
        RECT area = {kPadding, kPadding, picture->width() - kPadding, picture->height() - kPadding};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_NOPREFIX | DT_SINGLELINE);
        GdiFlush();
        SelectObject(dc, oldBitmap);
        picture->MakeOpaque();
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
    return picture;
}

std::unique_ptr<WatermarkWindow> WatermarkWindow::Create(const WatermarkOptions& options,
                                                         const std::wstring& imagePath,
                                                         HWND document) {
    std::unique_ptr<Picture> picture;
    if (options.kind == WatermarkKind::Text) {
        const COLORREF key = ColourOf(options.font.colour) == kKey ? kOtherKey : kKey;
        picture = DrawWatermarkText(options, key);
    } else if (options.kind == WatermarkKind::Image) {
        picture = Picture::Load(imagePath, PictureKind::Bitmap);
    } else {
        return nullptr;
    }
    if (!picture) {
        LogStep(L"watermark skipped: it cannot be drawn");
        return nullptr;
    }
    std::unique_ptr<WatermarkWindow> mark(
        new WatermarkWindow(options, std::move(picture), document));
    return mark->window_ != nullptr ? std::move(mark) : nullptr;
}

WatermarkWindow::WatermarkWindow(const WatermarkOptions& options, std::unique_ptr<Picture> picture,
                                 HWND document)
    : options_(options), picture_(std::move(picture)), document_(document), start_(GetTickCount()) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterPictureWindowClass(instance, kClassName, Proc);
    window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                              kClassName, L"Watermark", WS_POPUP, 0, 0, picture_->width(),
                              picture_->height(), nullptr, nullptr, instance, this);
    if (window_ == nullptr) {
        return;
    }
    Present();
    SetTimer(window_, kFollowTimer, kFollowInterval, nullptr);
    Follow();
}

WatermarkWindow::~WatermarkWindow() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void WatermarkWindow::Present() {
    if (options_.kind == WatermarkKind::Image) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, picture_->bitmap());
        POINT origin = {0, 0};
        SIZE size = {picture_->width(), picture_->height()};
        const auto alpha = static_cast<BYTE>(255 * (100 - options_.imageTransparency) / 100);
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
        UpdateLayeredWindow(window_, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return;
    }
    const COLORREF key = ColourOf(options_.font.colour) == kKey ? kOtherKey : kKey;
    SetLayeredWindowAttributes(window_, key, 255,
                               options_.transparentBackground ? LWA_COLORKEY : LWA_ALPHA);
}

void WatermarkWindow::Follow() {
    const std::uint64_t second = (GetTickCount() - start_) / 1000;
    const bool visible = IsWindow(document_) && IsWindowVisible(document_) &&
                         !IsIconic(document_) && DocumentInFront(document_, window_) &&
                         WatermarkVisibleAt(options_, second);
    if (!visible) {
        if (shown_) {
            ShowWindow(window_, SW_HIDE);
            shown_ = false;
            LogStep(L"watermark hidden");
        }
        wasVisible_ = false;
        return;
    }
    RECT client;
    GetClientRect(document_, &client);
    POINT origin = {0, 0};
    ClientToScreen(document_, &origin);
    if (!wasVisible_) {
        // A random placement is drawn anew each time the watermark appears.
        offset_ = PlaceWatermark(options_, client.right, client.bottom, picture_->width(),
                                 picture_->height(), Random());
        wasVisible_ = true;
    }
    if (options_.placement != WatermarkPlacement::Random || options_.kind != WatermarkKind::Text) {
        offset_ = PlaceWatermark(options_, client.right, client.bottom, picture_->width(),
                                 picture_->height(), 0);
    }
    const RECT place = {origin.x + offset_.x, origin.y + offset_.y,
                        origin.x + offset_.x + picture_->width(),
                        origin.y + offset_.y + picture_->height()};
    if (shown_ && EqualRect(&place, &placed_)) {
        return;
    }
    SetWindowPos(window_, HWND_TOPMOST, place.left, place.top, picture_->width(),
                 picture_->height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(window_);
    LogStep(std::wstring(shown_ ? L"watermark moved " : L"watermark shown ") +
            std::to_wstring(place.left) + L"," + std::to_wstring(place.top) + L" " +
            std::to_wstring(picture_->width()) + L"x" + std::to_wstring(picture_->height()));
    shown_ = true;
    placed_ = place;
}

void WatermarkWindow::Clicked() {
    const std::optional<std::string> address = WatermarkAddress(options_.web);
    LogStep(L"watermark click" + (address ? L" opens " + AnsiToWide(*address) : L""));
    if (address) {
        OpenWebAddress(AnsiToWide(*address));
    }
}

LRESULT CALLBACK WatermarkWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<WatermarkWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            if (self != nullptr && self->options_.kind == WatermarkKind::Text) {
                PaintPicture(window, *self->picture_);
                return 0;
            }
            break;
        case WM_TIMER:
            if (self != nullptr && wParam == kFollowTimer) {
                self->Follow();
            }
            return 0;
        case WM_LBUTTONUP:
            if (self != nullptr) {
                self->Clicked();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorlix
