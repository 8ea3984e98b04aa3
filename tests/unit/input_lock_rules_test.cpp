#include "common/input_lock_rules.h"

#include <gtest/gtest.h>

namespace quorlix {
namespace {

constexpr Modifiers kNone{};
constexpr Modifiers kCtrl{true, false, false};
constexpr Modifiers kShift{false, true, false};
constexpr Modifiers kCtrlShift{true, true, false};
constexpr Modifiers kAltGr{true, false, true};
constexpr Modifiers kAlt{false, false, true};

TEST(InputLockRules, CopyCutAndPasteKeysAndNothingElse) {
    for (std::uint32_t key : {kKeyC, kKeyX, kKeyV}) {
        EXPECT_TRUE(IsClipboardKey(key, kCtrl)) << key;
        EXPECT_TRUE(IsClipboardKey(key, kCtrlShift)) << "Ctrl+Shift+V pastes plain text";
        EXPECT_FALSE(IsClipboardKey(key, kNone)) << "typing the letter";
        EXPECT_FALSE(IsClipboardKey(key, kShift)) << "typing the capital";
        EXPECT_FALSE(IsClipboardKey(key, kAltGr)) << "AltGr types characters (AltGr+C is c-acute)";
    }
    EXPECT_TRUE(IsClipboardKey(kKeyInsert, kCtrl)) << "copy";
    EXPECT_TRUE(IsClipboardKey(kKeyInsert, kShift)) << "paste";
    EXPECT_TRUE(IsClipboardKey(kKeyDelete, kShift)) << "cut";
    EXPECT_FALSE(IsClipboardKey(kKeyInsert, kNone)) << "overtype";
    EXPECT_FALSE(IsClipboardKey(kKeyDelete, kNone));
    EXPECT_FALSE(IsClipboardKey(kKeyDelete, kCtrl)) << "deletes a word";
    EXPECT_FALSE(IsClipboardKey(kKeyInsert, kAlt));
    EXPECT_FALSE(IsClipboardKey('A', kCtrl)) << "select all stays";
    EXPECT_FALSE(IsClipboardKey('S', kCtrl));
    EXPECT_FALSE(IsClipboardKey(kKeyApps, kNone));

    EXPECT_TRUE(IsMenuKey(kKeyApps, kNone));
    EXPECT_TRUE(IsMenuKey(kKeyApps, kCtrl));
    EXPECT_TRUE(IsMenuKey(kKeyF10, kShift));
    EXPECT_TRUE(IsMenuKey(kKeyF10, kCtrlShift));
    EXPECT_FALSE(IsMenuKey(kKeyF10, kNone)) << "F10 alone opens the menu bar";
    EXPECT_FALSE(IsMenuKey(kKeyC, kCtrl));
}

TEST(InputLockRules, KeysAreHeldBackOnlyWhenTheirLockIsOnAndTheFocusInTheDocumentProgram) {
    const InputLocks both{true, true};
    const InputLocks copyOnly{false, true};
    const InputLocks menuOnly{true, false};
    EXPECT_TRUE(HoldsBackKey(both, kKeyC, kCtrl, true));
    EXPECT_TRUE(HoldsBackKey(both, kKeyApps, kNone, true));
    EXPECT_FALSE(HoldsBackKey(both, kKeyC, kCtrl, false)) << "another program copies";
    EXPECT_FALSE(HoldsBackKey(both, kKeyApps, kNone, false));
    EXPECT_FALSE(HoldsBackKey(both, 'A', kNone, true)) << "typing goes through";
    EXPECT_TRUE(HoldsBackKey(copyOnly, kKeyV, kCtrl, true));
    EXPECT_FALSE(HoldsBackKey(copyOnly, kKeyApps, kNone, true));
    EXPECT_FALSE(HoldsBackKey(menuOnly, kKeyV, kCtrl, true));
    EXPECT_TRUE(HoldsBackKey(menuOnly, kKeyF10, kShift, true));
    EXPECT_FALSE(HoldsBackKey(InputLocks{}, kKeyC, kCtrl, true));
}

TEST(InputLockRules, ARightClickOverTheDocumentProgramIsHeldBackWithItsRelease) {
    RightButtonRule rule;
    EXPECT_TRUE(rule.HoldsBackPress(true));
    EXPECT_TRUE(rule.HoldsBackRelease(true));
    // Pressed over the document program, released elsewhere: the release follows its press.
    EXPECT_TRUE(rule.HoldsBackPress(true));
    EXPECT_TRUE(rule.HoldsBackRelease(false));
    // Elsewhere entirely: both go through.
    EXPECT_FALSE(rule.HoldsBackPress(false));
    EXPECT_FALSE(rule.HoldsBackRelease(false));
    // Pressed elsewhere, released over the document program: no menu opens on that release.
    EXPECT_FALSE(rule.HoldsBackPress(false));
    EXPECT_TRUE(rule.HoldsBackRelease(true));
    EXPECT_FALSE(rule.HoldsBackRelease(false)) << "a held press is forgotten once released";
}

}  // namespace
}  // namespace quorlix
