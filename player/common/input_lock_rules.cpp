#include "common/input_lock_rules.h"

namespace quorlix {

bool IsClipboardKey(std::uint32_t key, Modifiers modifiers) {
    if (modifiers.alt) {
        return false;
    }
    switch (key) {
        case kKeyC:
        case kKeyX:
        case kKeyV:
            return modifiers.ctrl;
        case kKeyInsert:
            return modifiers.ctrl || modifiers.shift;
        case kKeyDelete:
            return modifiers.shift;
        default:
            return false;
    }
}

bool IsMenuKey(std::uint32_t key, Modifiers modifiers) {
    return key == kKeyApps || (key == kKeyF10 && modifiers.shift);
}

bool HoldsBackKey(const InputLocks& locks, std::uint32_t key, Modifiers modifiers,
                  bool focusInDocumentProgram) {
    return focusInDocumentProgram && ((locks.copyPaste && IsClipboardKey(key, modifiers)) ||
                                      (locks.contextMenu && IsMenuKey(key, modifiers)));
}

bool RightButtonRule::HoldsBackPress(bool overDocumentProgram) {
    pressHeldBack_ = overDocumentProgram;
    return overDocumentProgram;
}

bool RightButtonRule::HoldsBackRelease(bool overDocumentProgram) {
    const bool held = pressHeldBack_ || overDocumentProgram;
    pressHeldBack_ = false;
    return held;
}

}  // namespace quorlix
