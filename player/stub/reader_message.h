#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "stub/dialog_answer.h"

namespace quorlix {

// Shows a message box to the reader and waits until it is closed. The text is logged as a step;
// for tests (QUORLIX_PLAYER_SNAPSHOTS set) the box is captured as the snapshot "message" once it
// is on the screen and then closed, so that a run never waits for a click.
void ShowReaderMessage(const std::wstring& text, UINT icon);

// Asks the reader a question in a message box with these buttons (MB_YESNO, ...) and gives the
// button pressed. A test's reply answers it, once the box is logged and captured as the snapshot
// `snapshotName`.
int AskReader(const std::wstring& text, UINT buttons, const wchar_t* snapshotName,
              const std::optional<ScriptedReply>& reply);

}  // namespace quorlix
