#pragma once

#include <cstdint>

namespace quorlix {

// Which of the reader's locks are on while the document is open (winoptions.dll lines 12, 13).
struct InputLocks {
    bool contextMenu = false;  // opright: no right-click or menu-key context menu
    bool copyPaste = false;    // opcopy: no copy, cut or paste
};

// The modifier keys held when a key goes down or up.
struct Modifiers {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// The virtual-key codes the rules look at, as Windows numbers them.
inline constexpr std::uint32_t kKeyInsert = 0x2D;
inline constexpr std::uint32_t kKeyDelete = 0x2E;
inline constexpr std::uint32_t kKeyC = 0x43;
inline constexpr std::uint32_t kKeyV = 0x56;
inline constexpr std::uint32_t kKeyX = 0x58;
inline constexpr std::uint32_t kKeyApps = 0x5D;
inline constexpr std::uint32_t kKeyF10 = 0x79;

// Copy, cut or paste: Ctrl+C, Ctrl+X, Ctrl+V (also with Shift), Ctrl+Insert, Shift+Insert and
// Shift+Delete; never with Alt, since Ctrl+Alt is AltGr, with which keyboards type characters.
bool IsClipboardKey(std::uint32_t key, Modifiers modifiers);

// A key that opens a context menu: the Applications key, or F10 with Shift.
bool IsMenuKey(std::uint32_t key, Modifiers modifiers);

// Whether a key (going down or up) is kept from the program that has the focus.
bool HoldsBackKey(const InputLocks& locks, std::uint32_t key, Modifiers modifiers,
                  bool focusInDocumentProgram);

// Which right-button events are kept from the document program: a press over its windows, the
// release that follows such a press wherever it happens, and any release over its windows
// (programs open their context menu on the release).
class RightButtonRule {
public:
    bool HoldsBackPress(bool overDocumentProgram);
    bool HoldsBackRelease(bool overDocumentProgram);

private:
    bool pressHeldBack_ = false;
};

}  // namespace quorlix
