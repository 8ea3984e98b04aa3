#pragma once

#include <windows.h>

#include <string>

namespace quorlix {

// Shows a message box to the reader and waits until it is closed. The text is logged as a step;
// for tests (QUORLIX_PLAYER_SNAPSHOTS set) the box is captured as the snapshot "message" once it
// is on the screen and then closed, so that a run never waits for a click.
void ShowReaderMessage(const std::wstring& text, UINT icon);

}  // namespace quorlix
