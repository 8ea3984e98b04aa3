#pragma once

namespace quorlix {

// Limits where libraries are looked for, for the rest of the process, to the system folder:
// a file named like a system library beside this program (in a download folder, say) is then
// never loaded, by the player or by the shell on its behalf. Called before anything else.
void LimitLibrarySearchToSystem();

// For tests: loads the library that QUORLIX_PLAYER_PROBE_LIBRARY names, by its bare name as a
// program would, and logs whether the search found it.
void ProbeLibrarySearch();

}  // namespace quorlix
