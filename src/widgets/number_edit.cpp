#include "widgets/number_edit.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace quorlix {

bool IsNavigationKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
}

bool IsNumberEditKey(const QKeyEvent& event) {
    if (IsNavigationKey(event)) {
        return true;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return true;
    }
    for (const QChar c : text) {
        const bool allowed = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             c == QLatin1Char('\b') || c == QLatin1Char('\r') ||
                             c == QLatin1Char('\n');
        if (!allowed) {
            return false;
        }
    }
    return true;
}

bool LeavesTheField(Qt::FocusReason reason) {
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

NumberEditFilter::NumberEditFilter(QLineEdit* edit, std::function<void()> onExit, KeyPress keyPress)
    : QObject(edit), onExit_(std::move(onExit)), keyPress_(keyPress) {
    edit->installEventFilter(this);
}

bool NumberEditFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        return !keyPress_(*static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::FocusOut && onExit_ &&
        LeavesTheField(static_cast<QFocusEvent*>(event)->reason())) {
        onExit_();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorlix
