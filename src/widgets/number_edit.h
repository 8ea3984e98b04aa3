#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace quorlix {

// Tab and Shift+Tab, which move the focus to the next or previous control.
bool IsNavigationKey(const QKeyEvent& event);

// True for the keys a number edit takes: the typed characters 0 to 9, Backspace and Enter, the
// navigation keys, and keys that type no character (arrows, Delete, Home, End).
bool IsNumberEditKey(const QKeyEvent& event);

// True when the focus moves on to another control of the window (by keyboard or mouse); false
// while only a context menu opens or another window becomes active, and the user stays.
bool LeavesTheField(Qt::FocusReason reason);

// Watches a number edit: drops every key press that keyPress refuses (IsNumberEditKey by
// default) and runs onExit when the focus leaves the edit for another control. Pasting still works;
// the exit step normalises what it left.
class NumberEditFilter : public QObject {
    Q_OBJECT

public:
    using KeyPress = bool (*)(const QKeyEvent& event);

    NumberEditFilter(QLineEdit* edit, std::function<void()> onExit,
                     KeyPress keyPress = IsNumberEditKey);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onExit_;
    KeyPress keyPress_;
};

}  // namespace quorlix
