#pragma once

#include <optional>
#include <string>

namespace quorlix {

// What the player did, step by step, for tests: written only when the environment variable
// QUORLIX_PLAYER_LOG names a file, one line per step ("<tick ms> player <text>"), appended so
// that the program that opens the document may write to the same file.
void LogStep(const std::wstring& text);

// The value of an environment variable by which tests steer the player; nothing when unset.
std::optional<std::wstring> TestSetting(const wchar_t* name);

// Whether steps are being logged.
bool LoggingSteps();

// Saves a picture of the whole screen as <name>.bmp in the folder that QUORLIX_PLAYER_SNAPSHOTS
// names; nothing when it is not set.
void SnapshotScreen(const std::wstring& name);

}  // namespace quorlix
