#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/presentation_options.h"
#include "stub/picture.h"

namespace quorlix {

// The watermark: a layered, topmost window over the document's window that follows it (moves,
// resizes, hides while it is minimised or another program is in front), shows on its periodic
// schedule, lets every click
// outside itself through and opens its web address when clicked. Destroyed with the object.
class WatermarkWindow {
public:
    // Nothing when the options hold no watermark or its picture does not decode. `imagePath`
    // is the staged image of an image watermark.
    static std::unique_ptr<WatermarkWindow> Create(const WatermarkOptions& options,
                                                   const std::wstring& imagePath, HWND document);
    ~WatermarkWindow();
    WatermarkWindow(const WatermarkWindow&) = delete;
    WatermarkWindow& operator=(const WatermarkWindow&) = delete;

    // Places or hides the window for where the document's window is now and the time.
    void Follow();

private:
    WatermarkWindow(const WatermarkOptions& options, std::unique_ptr<Picture> picture,
                    HWND document);
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Present();
    void Clicked();

    WatermarkOptions options_;
    std::unique_ptr<Picture> picture_;
    HWND document_;
    HWND window_ = nullptr;
    DWORD start_ = 0;
    bool shown_ = false;
    RECT placed_ = {0, 0, 0, 0};
    Point offset_;
    bool wasVisible_ = false;
};

// A picture of the watermark's text in its font and colours; transparent parts in `key`.
std::unique_ptr<Picture> DrawWatermarkText(const WatermarkOptions& options, COLORREF key);

}  // namespace quorlix
