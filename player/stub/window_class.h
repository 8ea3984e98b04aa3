#pragma once

#include <windows.h>

#include "stub/picture.h"

namespace quorlix {

// Registers a class of the player's picture windows (hand cursor, no background); registering
// one twice does no harm.
void RegisterPictureWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

// Paints the picture at the window's top-left corner, for WM_PAINT.
void PaintPicture(HWND window, const Picture& picture);

}  // namespace quorlix
