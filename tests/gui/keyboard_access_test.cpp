// The windows by keyboard and through assistive technology: Tab leaves every number field and
// normalises it as a click elsewhere does, the focus follows the pages in reading order, and every
// control has a name that says what it is.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <map>

#include "app/about_box.h"
#include "support/window_harness.h"
#include "widgets/picture_box.h"
#include "widgets/up_down.h"

namespace quorlix::test {
namespace {

// The main window, active, with two documents listed, the panels of the Logo setup page and the
// font list shown.
struct ActiveWindow : WindowHarness {
    ActiveWindow() {
        dialogs.fileLists.push_back({"/d/a.doc", "/d/b.doc"});
        operator()<QPushButton>("addFilesButton").click();
        for (const char* box : {"changeIconCheckBox", "showFirstImageCheckBox",
                                "showSecondImageCheckBox", "embedFontsCheckBox"}) {
            operator()<QCheckBox>(box).setChecked(true);
        }
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void ShowPage(int index) { operator()<QTabWidget>("pages").setCurrentIndex(index); }
};

// A number field, what is typed into it, and what it shows once left.
struct NumberField {
    int page;
    const char* name;
    const char* typed;
    const char* left;
    const char* elsewhere;  // an edit of the same page to click into
};

const NumberField kNumberFields[] = {
    {1, "widthEdit", "5", "10", "titleEdit"},
    {1, "heightEdit", "", "100", "titleEdit"},
    {2, "firstImageSecondsEdit", "", "3", "firstImageEdit"},
    {2, "secondImageSecondsEdit", "", "3", "firstImageEdit"},
    {3, "textLeftEdit", "20000", "10000", "webAddressEdit"},
    {3, "textTopEdit", "", "0", "webAddressEdit"},
    {3, "appearEveryEdit", "007", "7", "webAddressEdit"},
    {3, "disappearAfterEdit", "", "5", "webAddressEdit"},
    // The image position has no exit step: what was typed stays.
    {3, "imageLeftEdit", "99999", "99999", "webAddressEdit"},
    {3, "imageTopEdit", "0042", "0042", "webAddressEdit"},
};

// Focuses the edit and types into it afresh.
void TypeInto(QLineEdit& edit, const char* text) {
    edit.setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(edit.hasFocus()) << edit.objectName().toStdString();
    edit.clear();
    QTest::keyClicks(&edit, QString::fromLatin1(text));
}

TEST(Keyboard, TabLeavesEveryNumberFieldAndNormalisesItAsAClickElsewhereDoes) {
    ActiveWindow w;
    for (const NumberField& f : kNumberFields) {
        SCOPED_TRACE(f.name);
        w.ShowPage(f.page);
        auto& edit = w.operator()<QLineEdit>(f.name);

        TypeInto(edit, f.typed);
        QTest::keyClick(&edit, Qt::Key_Tab);
        EXPECT_FALSE(edit.hasFocus()) << "Tab moves on";
        EXPECT_EQ(edit.text(), f.left);
        QWidget* next = QApplication::focusWidget();
        ASSERT_NE(next, nullptr);
        QTest::keyClick(next, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(edit.hasFocus()) << "Shift+Tab comes back";

        edit.clear();
        QTest::keyClicks(&edit, QString::fromLatin1(f.typed));
        QTest::keyClick(&edit, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_FALSE(edit.hasFocus()) << "Shift+Tab moves back";
        EXPECT_EQ(edit.text(), f.left);

        TypeInto(edit, f.typed);
        auto& other = w.operator()<QLineEdit>(f.elsewhere);
        QTest::mouseClick(&other, Qt::LeftButton);
        EXPECT_TRUE(other.hasFocus());
        EXPECT_EQ(edit.text(), f.left) << "the same as leaving by keyboard";
    }
}

TEST(Keyboard, AContextMenuOrAnotherWindowDoesNotLeaveTheField) {
    ActiveWindow w;
    w.ShowPage(1);
    auto& width = w.operator()<QLineEdit>("widthEdit");
    TypeInto(width, "");
    for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&width, &out);
        EXPECT_EQ(width.text(), "") << "the user is still in the field (" << reason << ")";
    }
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(&width, &out);
    EXPECT_EQ(width.text(), "100");
}

// A radio button Tab passes by: one of its group is checked and it is not (the arrow keys move
// within the group).
bool PassedByTab(const QWidget& w) {
    const auto* radio = qobject_cast<const QRadioButton*>(&w);
    if (radio == nullptr || radio->isChecked() || !radio->autoExclusive()) {
        return false;
    }
    const QList<QAbstractButton*> group =
        radio->group() != nullptr ? radio->group()->buttons()
                                  : radio->parentWidget()->findChildren<QAbstractButton*>(
                                        QString(), Qt::FindDirectChildrenOnly);
    return std::ranges::any_of(group, [](const QAbstractButton* other) {
        return qobject_cast<const QRadioButton*>(other) != nullptr && other->isChecked();
    });
}

// The widgets of a page that Tab reaches, in reading order: by rows from the top (controls whose
// tops lie within a few pixels share a row), each row from the left.
QList<QWidget*> ReadingOrder(QWidget& page) {
    QList<QWidget*> controls;
    for (QWidget* child : page.findChildren<QWidget*>()) {
        if (child->isVisible() && child->isEnabled() &&
            (child->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            child->focusProxy() == nullptr && !PassedByTab(*child)) {
            controls << child;
        }
    }
    const auto topLeft = [&page](QWidget* w) { return w->mapTo(&page, QPoint(0, 0)); };
    std::ranges::stable_sort(
        controls, [&](QWidget* a, QWidget* b) { return topLeft(a).y() < topLeft(b).y(); });
    QList<QWidget*> ordered;
    for (qsizetype row = 0; row < controls.size();) {
        const int rowTop = topLeft(controls[row]).y();
        qsizetype end = row;
        while (end < controls.size() && topLeft(controls[end]).y() <= rowTop + 8) {
            ++end;
        }
        QList<QWidget*> line = controls.mid(row, end - row);
        std::ranges::stable_sort(
            line, [&](QWidget* a, QWidget* b) { return topLeft(a).x() < topLeft(b).x(); });
        ordered << line;
        row = end;
    }
    return ordered;
}

std::vector<std::string> Names(const QList<QWidget*>& widgets) {
    std::vector<std::string> names;
    for (const QWidget* w : widgets) {
        names.push_back(w->objectName().toStdString());
    }
    return names;
}

TEST(Keyboard, TabFollowsTheReadingOrderOfEveryPage) {
    ActiveWindow w;
    auto& pages = w.operator()<QTabWidget>("pages");
    for (int index = 0; index < pages.count(); ++index) {
        SCOPED_TRACE(pages.tabText(index).toStdString());
        w.ShowPage(index);
        QWidget& page = *pages.widget(index);
        const QList<QWidget*> expected = ReadingOrder(page);
        ASSERT_FALSE(expected.isEmpty());
        expected.first()->setFocus(Qt::TabFocusReason);
        QList<QWidget*> walked;
        for (QWidget* focus = QApplication::focusWidget();
             focus != nullptr && page.isAncestorOf(focus) && !walked.contains(focus);
             focus = QApplication::focusWidget()) {
            walked << focus;
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        EXPECT_EQ(Names(walked), Names(expected));
    }
}

// The name assistive technology reads for the widget.
QString AccessibleName(QWidget& widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
}

// The text of the label that assistive technology reads as the widget's caption.
QString LabelOf(QWidget& widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    for (const auto& [label, relation] : face->relations(QAccessible::Label)) {
        if (!label->text(QAccessible::Name).trimmed().isEmpty()) {
            return label->text(QAccessible::Name);
        }
    }
    return {};
}

// A control of ours that the user works with or reads (labels name themselves by their text).
bool IsControl(const QWidget& w) {
    if (w.objectName().isEmpty() || w.objectName().startsWith(QStringLiteral("qt_")) ||
        qobject_cast<const QScrollBar*>(&w) != nullptr) {
        return false;
    }
    return qobject_cast<const QAbstractButton*>(&w) || qobject_cast<const QLineEdit*>(&w) ||
           qobject_cast<const QComboBox*>(&w) || qobject_cast<const QAbstractSlider*>(&w) ||
           qobject_cast<const QAbstractItemView*>(&w) || qobject_cast<const QPlainTextEdit*>(&w) ||
           qobject_cast<const QProgressBar*>(&w) || qobject_cast<const PictureBox*>(&w) ||
           qobject_cast<const QGroupBox*>(&w) || qobject_cast<const QTabWidget*>(&w);
}

// The title of the nearest group box around the widget, if any.
QString GroupTitle(const QWidget& w) {
    for (const QWidget* up = w.parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (const auto* group = qobject_cast<const QGroupBox*>(up)) {
            return group->title();
        }
    }
    return {};
}

TEST(Accessibility, EveryControlHasANameThatSaysWhatItIs) {
    ActiveWindow w;
    AboutBox about(w.dialogs);
    int controls = 0;
    for (QWidget* root : {static_cast<QWidget*>(w.window.get()), static_cast<QWidget*>(&w.progress),
                          static_cast<QWidget*>(&w.logs), static_cast<QWidget*>(&about)}) {
        for (QWidget* control : root->findChildren<QWidget*>()) {
            if (!IsControl(*control)) {
                continue;
            }
            ++controls;
            const QString name = AccessibleName(*control);
            if (qobject_cast<QComboBox*>(control) != nullptr &&
                name == control->property("currentText")) {
                // Where a combo box reads as its current item, its caption is its label.
                EXPECT_FALSE(LabelOf(*control).isEmpty()) << control->objectName().toStdString();
            } else {
                EXPECT_FALSE(name.trimmed().isEmpty()) << control->objectName().toStdString();
            }
            if (qobject_cast<QLineEdit*>(control) != nullptr && !GroupTitle(*control).isEmpty()) {
                EXPECT_NE(name, GroupTitle(*control))
                    << control->objectName().toStdString() << " is named after its group box";
            }
        }
    }
    EXPECT_GT(controls, 80);

    QStringList arrowNames;
    for (UpDownControl* upDown : w.window->findChildren<UpDownControl*>()) {
        arrowNames << AccessibleName(*upDown->upArrow()) << AccessibleName(*upDown->downArrow());
    }
    ASSERT_EQ(arrowNames.size(), 16);
    arrowNames.removeDuplicates();
    EXPECT_EQ(arrowNames.size(), 16) << "each arrow says which field it steps";
    EXPECT_FALSE(arrowNames.contains(QString()));

    const std::map<std::string, QString> expected{
        {"outputFolderButton", "Choose output folder"},
        {"iconFileButton", "Choose icon file"},
        {"firstImageButton", "Choose image before playing Word"},
        {"secondImageButton", "Choose image after playing Word"},
        {"imageFileButton", "Choose image source file"},
        {"outputFolderEdit", "Executable output folder"},
        {"titleEdit", "Application title"},
        {"widthEdit", "Width"},
        {"heightEdit", "Height"},
        {"firstImageSecondsEdit", "Seconds to show the image before playing Word"},
        {"textLeftEdit", "Watermark text left"},
        {"imageTopEdit", "Image watermark top"},
        {"watermarkTextEdit", "Watermark text"},
        {"documentListView", "Word Source File list"},
        {"iconImageList", "Icon images"},
    };
    for (const auto& [object, name] : expected) {
        EXPECT_EQ(AccessibleName(w.operator()<QWidget>(object.c_str())), name) << object;
    }
    EXPECT_EQ(LabelOf(w.operator()<QWidget>("wordVersionComboBox")),
              "MS Word version required in target computer:");
    EXPECT_EQ(LabelOf(w.operator()<QWidget>("horizontalComboBox")), "Horizontal:");
    auto& width = w.operator()<UpDownControl>("widthUpDown");
    EXPECT_EQ(AccessibleName(*width.upArrow()), "Width up");
    EXPECT_EQ(AccessibleName(*width.downArrow()), "Width down");
}

}  // namespace
}  // namespace quorlix::test
