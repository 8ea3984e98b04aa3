#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace quorlix {

// True for the typed characters a number edit takes: 0 to 9, Backspace and Enter. Keys that
// type no character (arrows, Delete, Tab) are not typed characters and pass.
bool IsNumberEditKey(const QKeyEvent& event);

// Watches a number edit: drops every key press that keyPress refuses (IsNumberEditKey by
// default) and runs onExit when the edit loses the focus. Pasting still works; the exit step
// normalises what it left.
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
