#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <vector>

#include "options/option_page.h"
#include "platform/installed_fonts.h"
#include "support/window_harness.h"

namespace quorlix::test {

// One option page on its own, with scripted dialogs and the fonts list it is given.
template <typename Page>
struct PageHarness {
    ScriptedDialogs dialogs;
    std::vector<FontListEntry> fonts;
    PageContext context{dialogs, {}, {}, fonts};
    std::unique_ptr<Page> page;

    explicit PageHarness(std::vector<FontListEntry> fontList = {}) : fonts(std::move(fontList)) {
        page = std::make_unique<Page>(context);
        page->resize(583, 480);
        page->show();
    }

    template <typename T>
    T& operator()(const char* name) const {
        return Child<T>(page.get(), name);
    }

    OptionSet Options() const {
        OptionSet options;
        page->FillOptions(options);
        return options;
    }
};

// The edit loses the keyboard focus, as when the user moves on.
inline void Leave(QLineEdit& edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &out);
}

// Empties the edit, types text key by key and leaves it; returns what it then shows.
inline QString TypeAndLeave(QLineEdit& edit, const QString& text) {
    edit.clear();
    QTest::keyClicks(&edit, text);
    Leave(edit);
    return edit.text();
}

}  // namespace quorlix::test
