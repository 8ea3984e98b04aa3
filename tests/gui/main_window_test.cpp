// The main window: its layout, the document list, the output folder, the Convert command's
// checks and runs, the Help menu, and the folders it leaves behind.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "app/about_box.h"
#include "app/help_actions.h"
#include "platform/owner_record.h"
#include "platform/package_names.h"
#include "platform/temp_folder.h"
#include "support/cli_output.h"
#include "support/document_list.h"
#include "support/test_folder.h"
#include "support/window_harness.h"
#include "widgets/window_geometry.h"

namespace quorlix::test {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The files in the temporary folder, owner records and those in the given folders aside.
std::vector<std::string> FilesOfTheTemporaryFolder(const std::vector<std::string>& besides = {}) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(TempFolderPath())) {
        const std::string path = entry.path().string();
        const bool aside = std::any_of(besides.begin(), besides.end(), [&](const std::string& f) {
            return path.starts_with(f + "/");
        });
        if (!entry.is_directory() && !aside && !path.starts_with(OwnerRecordFolder() + "/")) {
            files.push_back(path);
        }
    }
    return files;
}

TEST(MainWindow, LaysOutTheFrameAndTheConversionPage) {
    WindowHarness h;
    MainWindow& w = *h.window;
    EXPECT_EQ(w.windowTitle(), "Dorvane Quorlix ");
    EXPECT_EQ(w.centralWidget()->size(), QSize(589, 507));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "fixed size";
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);

    auto& pages = h.operator()<QTabWidget>("pages");
    ASSERT_EQ(pages.count(), 5);
    EXPECT_EQ(pages.tabText(0), "Conversion");
    EXPECT_EQ(pages.tabText(1), "General option");
    EXPECT_EQ(pages.tabText(2), "Logo setup");
    EXPECT_EQ(pages.tabText(3), "Watermark");
    EXPECT_EQ(pages.tabText(4), "Embed fonts");
    EXPECT_EQ(pages.currentIndex(), 0);

    QStringList menus;
    for (QAction* action : w.menuBar()->actions()) {
        menus << action->text();
        for (QAction* item : action->menu()->actions()) {
            if (!item->isSeparator()) {
                menus << item->objectName() + "=" + item->text();
            }
        }
    }
    EXPECT_EQ(menus, QStringList({"File", "codeSigningAction=Code signing...", "closeAction=Close",
                                  "Help", "helpAction=Help", "webSiteAction=Dorvane's web site",
                                  "emailSupportAction=Email support", "aboutAction=About"}));

    struct Expected {
        const char* name;
        QString text;
        QRect geometry;
        bool enabled;
    };
    for (const Expected& e : std::vector<Expected>{
             {"addFilesButton", "Add files", {480, 32, 73, 25}, true},
             {"addFolderButton", "Add Folder", {480, 64, 73, 25}, true},
             {"removeButton", "Remove", {480, 96, 73, 25}, false},
             {"removeAllButton", "Remove All", {480, 128, 73, 25}, false},
             {"convertButton", "Convert", {56, 447, 80, 25}, true},
             {"openOutputFolderButton", "Open output foler", {241, 447, 105, 25}, false},
             {"closeButton", "Close", {456, 447, 80, 25}, true}}) {
        auto& button = h.operator()<QPushButton>(e.name);
        EXPECT_EQ(button.text(), e.text) << e.name;
        EXPECT_EQ(button.geometry(), e.geometry) << e.name;
        EXPECT_EQ(button.isEnabled(), e.enabled) << e.name;
    }
    auto& list = h.operator()<QTableWidget>("documentListView");
    EXPECT_EQ(list.geometry(), QRect(24, 26, 441, 135));
    EXPECT_EQ(list.horizontalHeaderItem(0)->text(), "File list");
    EXPECT_EQ(list.columnWidth(0), 415);
    EXPECT_EQ(list.rowCount(), 0);
    auto& edit = h.operator()<QLineEdit>("outputFolderEdit");
    EXPECT_EQ(edit.text(), "Please click right button to select the output exe folder->");
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ(edit.geometry(), QRect(24, 190, 425, 21));
    EXPECT_EQ(h.operator()<QAbstractButton>("outputFolderButton").toolTip(), "Click to select");
    auto& autorun = h.operator()<QCheckBox>("autorunCheckBox");
    EXPECT_EQ(autorun.text(), "Generate an Autorun file for VCD/DVD disc");
    EXPECT_FALSE(autorun.isChecked());
    auto& busy = h.operator()<QLabel>("busyNotice");
    EXPECT_EQ(busy.text(), "Please wait for a moment....");
    EXPECT_TRUE(busy.isHidden());
    EXPECT_EQ(h.operator()<QLabel>("documentListLabel").text(), "Word Source File:");
    EXPECT_EQ(h.operator()<QLabel>("outputFolderLabel").text(), "Executable output folder:");
}

// The width a captioned control needs for its caption (a push button's size hint has a floor of
// 80 pixels in Qt's styles, so its caption is measured instead).
int NeededWidth(const QWidget& control) {
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        return button->fontMetrics().horizontalAdvance(button->text()) + 8;
    }
    return control.sizeHint().width();
}

QString CaptionOf(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->wordWrap() ? QString() : label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    return {};
}

// Every caption of every window is as wide as it needs to be.
TEST(MainWindow, EveryCaptionFitsItsControl) {
    WindowHarness h;
    AboutBox about(h.dialogs);
    for (const QWidget* root :
         {static_cast<QWidget*>(h.window.get()), static_cast<QWidget*>(&h.progress),
          static_cast<QWidget*>(&h.logs), static_cast<QWidget*>(&about)}) {
        for (const QWidget* control : root->findChildren<QWidget*>()) {
            if (CaptionOf(*control).isEmpty() || control->objectName().isEmpty()) {
                continue;
            }
            const std::string name =
                root->objectName().toStdString() + "." + control->objectName().toStdString();
            EXPECT_GE(control->width(), NeededWidth(*control)) << name;
            EXPECT_GE(control->height(), control->fontMetrics().height()) << name;
        }
    }
}

// Without Liberation Sans, DejaVu Sans stands in at a size at which no caption of any window is
// wider than in Liberation Sans, so the fixed layouts hold.
TEST(MainWindow, TheStandInFaceKeepsEveryCaptionWithinTheLayout) {
    WindowHarness h;
    AboutBox about(h.dialogs);
    QFont liberation(QStringLiteral("Liberation Sans"));
    liberation.setPointSize(8);
    ASSERT_EQ(QFontInfo(liberation).family(), "Liberation Sans");
    const QFont dejaVu = StandInFont(QStringLiteral("DejaVu Sans"));
    ASSERT_EQ(QFontInfo(dejaVu).family(), "DejaVu Sans");
    EXPECT_LT(dejaVu.pointSizeF(), 8.0);
    EXPECT_GT(dejaVu.pointSizeF(), 6.5) << "still readable";
    int captions = 0;
    for (const QWidget* root :
         {static_cast<QWidget*>(h.window.get()), static_cast<QWidget*>(&h.progress),
          static_cast<QWidget*>(&h.logs), static_cast<QWidget*>(&about)}) {
        for (const QWidget* control : root->findChildren<QWidget*>()) {
            const QString caption = CaptionOf(*control);
            if (caption.isEmpty()) {
                continue;
            }
            ++captions;
            EXPECT_LE(QFontMetricsF(dejaVu).horizontalAdvance(caption),
                      QFontMetricsF(liberation).horizontalAdvance(caption))
                << caption.toStdString();
        }
    }
    EXPECT_GT(captions, 100);
}

TEST(MainWindow, AddsFilesOnceEachAndSelectsTheLast) {
    WindowHarness h;
    auto& list = h.operator()<QTableWidget>("documentListView");
    h.dialogs.fileLists.push_back({"/d/A.doc", "/d/b.docx"});
    h.dialogs.fileLists.push_back({"/d/A.doc", "/d/a.doc"});
    h.dialogs.fileLists.push_back({"/d/A.doc"});
    h.operator()<QPushButton>("addFilesButton").click();
    ASSERT_EQ(h.dialogs.fileRequests.size(), 1);
    EXPECT_EQ(h.dialogs.fileRequests[0].filter, "MS Word Files|*.doc;*.docx");
    EXPECT_EQ(h.dialogs.fileRequests[0].defaultSuffix, "doc");
    h.operator()<QPushButton>("addFilesButton").click();
    EXPECT_EQ(ListTexts(list), QStringList({"/d/A.doc", "/d/b.docx", "/d/a.doc"}));
    list.selectRow(0);
    h.operator()<QPushButton>("addFilesButton").click();
    EXPECT_EQ(list.rowCount(), 3) << "every chosen file already listed";
    EXPECT_EQ(SelectedRow(list), 2) << "the last item is selected all the same";
    EXPECT_TRUE(h.operator()<QPushButton>("removeButton").isEnabled());
    EXPECT_TRUE(h.operator()<QPushButton>("removeAllButton").isEnabled());
    h.operator()<QPushButton>("addFilesButton").click();
    EXPECT_EQ(list.rowCount(), 3) << "a cancelled dialog changes nothing";
}

TEST(MainWindow, AddsTheWordDocumentsOfAFolder) {
    WindowHarness h;
    TestFolder folder;
    for (const char* name : {"a.doc", "~$a.doc", "b.DOCX", "c.txt", "d", "x.do"}) {
        WriteFile(folder / name, "x");
    }
    fs::create_directory(folder / "e");
    WriteFile(folder / "e/f.doc", "x");
    fs::create_directory(folder / "~$lock");
    WriteFile(folder / "~$lock/g.doc", "x");

    h.dialogs.folders.push_back(Q(folder.path() + "/"));
    h.dialogs.folders.push_back(Q(folder.path()));
    h.dialogs.folders.push_back(Q(folder / "~$lock"));
    auto& list = h.operator()<QTableWidget>("documentListView");
    h.operator()<QPushButton>("addFolderButton").click();
    EXPECT_EQ(h.dialogs.folderTitles, QStringList({"Please select Excel file folder"}));
    QStringList texts = ListTexts(list);
    texts.sort();
    EXPECT_EQ(texts, QStringList({Q(folder / "a.doc"), Q(folder / "b.DOCX")}));
    EXPECT_EQ(SelectedRow(list), 1);
    h.operator()<QPushButton>("addFolderButton").click();
    EXPECT_EQ(list.rowCount(), 2) << "listed paths are skipped";
    h.operator()<QPushButton>("addFolderButton").click();
    EXPECT_EQ(list.rowCount(), 2) << "a folder whose path holds ~$ adds nothing";
}

TEST(MainWindow, RemovesTheSelectedItemAndSelectsItsNeighbour) {
    WindowHarness h;
    auto& list = h.operator()<QTableWidget>("documentListView");
    auto& remove = h.operator()<QPushButton>("removeButton");
    auto& removeAll = h.operator()<QPushButton>("removeAllButton");
    h.dialogs.fileLists.push_back({"/a.doc", "/b.doc", "/c.doc"});
    h.operator()<QPushButton>("addFilesButton").click();

    list.selectRow(0);
    remove.click();
    EXPECT_EQ(ListTexts(list), QStringList({"/b.doc", "/c.doc"}));
    EXPECT_EQ(SelectedRow(list), 0);

    h.dialogs.fileLists.push_back({"/d.doc"});
    h.operator()<QPushButton>("addFilesButton").click();
    list.selectRow(2);
    remove.click();
    EXPECT_EQ(ListTexts(list), QStringList({"/b.doc", "/c.doc"}));
    EXPECT_EQ(SelectedRow(list), 1);

    // A double-click removes as the button does.
    emit list.cellDoubleClicked(1, 0);
    EXPECT_EQ(ListTexts(list), QStringList({"/b.doc"}));
    EXPECT_EQ(SelectedRow(list), 0);
    EXPECT_EQ(h.window->documents().items(), std::vector<std::string>({"/b.doc"}));

    removeAll.click();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(h.window->documents().empty());
    EXPECT_FALSE(remove.isEnabled());
    EXPECT_FALSE(removeAll.isEnabled());
}

TEST(MainWindow, OutputFolderTextEndsInOneSeparator) {
    WindowHarness h;
    auto& edit = h.operator()<QLineEdit>("outputFolderEdit");
    h.dialogs.folders.push_back("/");
    h.operator()<QAbstractButton>("outputFolderButton").click();
    EXPECT_EQ(edit.text(), "/");
    h.dialogs.folders.push_back("/tmp/out//");
    h.operator()<QAbstractButton>("outputFolderButton").click();
    EXPECT_EQ(edit.text(), "/tmp/out/");
    h.operator()<QAbstractButton>("outputFolderButton").click();
    EXPECT_EQ(edit.text(), "/tmp/out/") << "a cancelled dialog keeps the text";
    EXPECT_EQ(h.dialogs.folderTitles.last(), "Please select EXE output folder");
}

TEST(MainWindow, ConvertChecksTheListThenTheOutputFolder) {
    WindowHarness h;
    auto& convert = h.operator()<QPushButton>("convertButton");
    convert.click();
    EXPECT_EQ(h.dialogs.messages, QStringList({"Please select the Excel source file!"}));
    EXPECT_EQ(h.dialogs.fileRequests.size(), 1) << "the add-files dialog opens";

    TestFolder folder;
    WriteFile(folder / "a.doc", "document");
    TestFolder out;
    h.dialogs.fileLists.push_back({Q(folder / "a.doc")});
    h.operator()<QPushButton>("addFilesButton").click();
    h.dialogs.folders.push_back(Q(out.path()));
    convert.click();
    EXPECT_EQ(h.dialogs.messages.last(), "Please select the EXE output folder!");
    EXPECT_EQ(h.dialogs.folderTitles, QStringList({"Please select EXE output folder"}));
    EXPECT_EQ(h.operator()<QLineEdit>("outputFolderEdit").text(), Q(out.path() + "/"));
    EXPECT_EQ(h.progress.StartCount(), 0) << "no conversion even after a folder was chosen";
    EXPECT_FALSE(fs::exists(out / "a.exe"));
}

// A list of documents converted into an output folder through the window.
struct ConvertSetup {
    WindowHarness h;
    TestFolder documents;
    TestFolder out;

    void Add(const std::string& name, const std::string& bytes) {
        WriteFile(documents / name, bytes);
        h.dialogs.fileLists.push_back({Q(documents / name)});
        h.operator()<QPushButton>("addFilesButton").click();
    }
    void ChooseOutput() {
        h.dialogs.folders.push_back(Q(out.path()));
        h.operator()<QAbstractButton>("outputFolderButton").click();
    }
    void Convert() { h.operator()<QPushButton>("convertButton").click(); }
};

TEST(MainWindow, ConvertsEveryDocumentAndSaysSo) {
    ConvertSetup s;
    s.Add("Guide.docx", RandomBytes(150000, 1));
    s.Add("Plan.doc", "plan");
    s.ChooseOutput();
    bool busyDuringRun = false;
    QStringList outputNames;
    QObject::connect(&s.h.progress, &ProgressWindow::progressShown, [&] {
        busyDuringRun = !s.h.operator()<QLabel>("busyNotice").isHidden();
        const auto& name = Child<QLabel>(&s.h.progress, "outputNameLabel");
        if (outputNames.isEmpty() || outputNames.last() != name.text()) {
            outputNames << name.text();
        }
        if (name.text().endsWith(QStringLiteral(".exe"))) {
            EXPECT_EQ(name.width(), 345) << "the output's name has its fixed width";
        }
    });
    s.Convert();
    EXPECT_EQ(s.h.dialogs.messages, QStringList({"Convert finished!"}));
    EXPECT_TRUE(busyDuringRun);
    EXPECT_EQ(outputNames,
              QStringList({"", "preparing..", "Guide.exe", "", "preparing..", "Plan.exe", ""}))
        << "each showing starts empty, then the job's stages in order";
    EXPECT_TRUE(s.h.operator()<QLabel>("busyNotice").isHidden());
    EXPECT_TRUE(s.h.operator()<QPushButton>("openOutputFolderButton").isEnabled());
    EXPECT_EQ(s.h.progress.ResetCount(), 2) << "reset once per showing";
    EXPECT_EQ(s.h.progress.StartCount(), 2);

    for (const std::string name : {"Guide", "Plan"}) {
        const ReadOutput read = ReadBack(ReadFile(s.out / (name + ".exe")));
        ASSERT_EQ(read.package.entries.size(), 5u) << name;
        EXPECT_EQ(read.package.entries[0].name, "option\\winsetbrower.dll");
        const auto winoptions = OptionLines(EntryContent(read.package, "option\\winoptions.dll"));
        ASSERT_EQ(winoptions.size(), 16u);
        EXPECT_EQ(winoptions[0], name + "-This Word document will help you");
        EXPECT_EQ(read.document.substr(0, 4), "BDOC");
    }
    // No copy of a document is left in the temporary folder, nor any file of the run: only the
    // window's own two folders (and their owner records).
    EXPECT_EQ(FilesOfTheTemporaryFolder(
                  {s.h.window->defaultIconFolder(), s.h.window->iconPreviewFolder()}),
              std::vector<std::string>());

    s.h.operator()<QPushButton>("openOutputFolderButton").click();
    ASSERT_EQ(s.h.dialogs.openedUrls.size(), 1);
    EXPECT_EQ(s.h.dialogs.openedUrls[0], QUrl::fromLocalFile(Q(s.out.path() + "/")));
}

TEST(MainWindow, ListsFailedOutputsInTheLogsWindowOfTheirRunOnly) {
    ConvertSetup s;
    s.Add("Plan.doc", "plan");
    s.Add("Note.doc", "note");
    s.ChooseOutput();
    s.h.operator()<QCheckBox>("autorunCheckBox").setChecked(true);
    // An old output that cannot be replaced: a folder where the executable goes.
    fs::create_directories(s.out / "Plan/Plan.exe/inside");
    QStringList shown;
    WhenShown<LogsWindow>([&](LogsWindow& logs) {
        shown << Child<QPlainTextEdit>(&logs, "failureList").toPlainText();
        Child<QPushButton>(&logs, "closeButton").click();
    });
    s.Convert();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(Q(s.out / "Plan/Plan.exe") + " (replacing the old output: "))
        << shown[0].toStdString();
    EXPECT_TRUE(s.h.dialogs.messages.isEmpty()) << "no Convert finished!";
    EXPECT_TRUE(fs::exists(s.out / "Note/Note.exe"));
    EXPECT_TRUE(fs::exists(s.out / "Note/Autorun.inf"));
    EXPECT_EQ(s.h.progress.StartCount(), 1) << "no progress window for the skipped document";

    fs::remove_all(s.out / "Plan");
    fs::remove(s.out / "Note/Note.exe");
    fs::create_directories(s.out / "Note/Note.exe/inside");
    fs::remove(s.out / "Note/Autorun.inf");
    WhenShown<LogsWindow>([&](LogsWindow& logs) {
        shown << Child<QPlainTextEdit>(&logs, "failureList").toPlainText();
        logs.close();
    });
    s.Convert();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith(Q(s.out / "Note/Note.exe") + " ("))
        << "only the second run's paths: " << shown[1].toStdString();
    EXPECT_FALSE(shown[1].contains("Plan"));
    EXPECT_TRUE(s.h.operator()<QPushButton>("openOutputFolderButton").isEnabled());
}

TEST(MainWindow, CancelEndsTheRunSilently) {
    ConvertSetup s;
    s.Add("One.doc", RandomBytes(300000, 1));
    s.Add("Two.doc", RandomBytes(300000, 2));
    s.Add("Three.doc", RandomBytes(300000, 3));
    s.ChooseOutput();
    QObject::connect(&s.h.progress, &ProgressWindow::progressShown, [&] {
        if (s.h.progress.StartCount() == 2 && s.h.progress.BarPosition() > 0) {
            Child<QPushButton>(&s.h.progress, "cancelButton").click();
        }
    });
    s.Convert();
    EXPECT_TRUE(s.h.dialogs.messages.isEmpty());
    EXPECT_FALSE(s.h.logs.isVisible());
    EXPECT_EQ(s.h.progress.StartCount(), 2);
    EXPECT_TRUE(fs::exists(s.out / "One.exe"));
    EXPECT_FALSE(fs::exists(s.out / "Two.exe"));
    EXPECT_FALSE(fs::exists(s.out / "Three.exe"));
    EXPECT_FALSE(s.h.operator()<QPushButton>("openOutputFolderButton").isEnabled())
        << "keeps its state";
    EXPECT_TRUE(s.h.operator()<QLabel>("busyNotice").isHidden());

    // The next run starts afresh and converts the whole list.
    s.Convert();
    EXPECT_EQ(s.h.dialogs.messages, QStringList({"Convert finished!"}));
    EXPECT_TRUE(fs::exists(s.out / "Three.exe"));
}

TEST(MainWindow, IgnoresConvertWhileBusyAndKeepsTheProgressWindowOpen) {
    ConvertSetup s;
    s.Add("One.doc", RandomBytes(300000, 1));
    s.ChooseOutput();
    bool done = false;
    QObject::connect(&s.h.progress, &ProgressWindow::progressShown, [&] {
        if (done || s.h.progress.BarPosition() == 0) {
            return;
        }
        done = true;
        s.h.operator()<QPushButton>("convertButton").click();
        QTest::keyClick(&s.h.progress, Qt::Key_Escape);
        EXPECT_TRUE(s.h.progress.isVisible()) << "Escape acts as Cancle";
        s.h.progress.close();
        EXPECT_TRUE(s.h.progress.isVisible()) << "closing acts as Cancle";
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(&s.h.progress, &activation);
    });
    s.Convert();
    EXPECT_EQ(s.h.progress.StartCount(), 1);
    EXPECT_EQ(s.h.progress.ResetCount(), 1);
    EXPECT_FALSE(fs::exists(s.out / "One.exe")) << "the Escape cancelled the job";
    EXPECT_TRUE(s.h.dialogs.messages.isEmpty());
}

TEST(MainWindow, EveryFailureOfARunIsListedWithItsCause) {
    ConvertSetup s;
    s.Add("Gone.doc", "x");
    s.Add("Blocked.doc", "blocked");
    s.Add("Huge.doc", "");
    s.Add("Fine.doc", "fine");
    s.ChooseOutput();
    fs::remove(s.documents / "Gone.doc");
    // An output that cannot be written: a folder holding something where it goes.
    fs::create_directories(s.out / "Blocked.exe/inside");
    fs::resize_file(s.documents / "Huge.doc", kMaxEmbeddedFileSize + 1);
    QString listed;
    WhenShown<LogsWindow>([&](LogsWindow& logs) {
        listed = Child<QPlainTextEdit>(&logs, "failureList").toPlainText();
        logs.close();
    });
    s.Convert();
    EXPECT_TRUE(s.h.dialogs.errors.isEmpty()) << "no document stops the run";
    EXPECT_TRUE(s.h.dialogs.messages.isEmpty()) << "no Convert finished!";
    const QStringList lines = listed.split('\n');
    ASSERT_EQ(lines.size(), 3) << listed.toStdString();
    EXPECT_EQ(lines[0], Q(s.out / "Gone.exe") + " (embedding the document: " +
                            Q(s.documents / "Gone.doc") + ": No such file or directory)");
    EXPECT_TRUE(lines[1].startsWith(Q(s.out / "Blocked.exe") + " (")) << lines[1].toStdString();
    EXPECT_GT(lines[1].size(), Q(s.out / "Blocked.exe").size() + 10) << "with its cause";
    EXPECT_EQ(lines[2], Q(s.out / "Huge.exe") +
                            " (embedding the document: The document is too large to embed: " +
                            Q(s.documents / "Huge.doc") +
                            " holds 2147418113 bytes, and the largest document that fits is "
                            "2147418112 bytes (2 GiB less 64 KiB))");
    EXPECT_TRUE(fs::exists(s.out / "Fine.exe"));
    EXPECT_EQ(s.h.progress.StartCount(), 2) << "Blocked and Fine were converted";
    EXPECT_TRUE(s.h.operator()<QPushButton>("openOutputFolderButton").isEnabled());
    EXPECT_TRUE(s.h.operator()<QLabel>("busyNotice").isHidden());
}

TEST(MainWindow, TheLogsWindowListCanBeSelectedAndCopiedButNotEdited) {
    WindowHarness h;
    h.logs.SetFailures(
        {{"/out/A.exe", "embedding the document: /d/A.doc: No such file"}, {"/out/B.exe", ""}});
    h.logs.show();
    auto& list = Child<QPlainTextEdit>(&h.logs, "failureList");
    const QString text = "/out/A.exe (embedding the document: /d/A.doc: No such file)\n/out/B.exe";
    EXPECT_EQ(list.toPlainText(), text);
    EXPECT_TRUE(list.isReadOnly());
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Return);
    QTest::keyClicks(&list, "typed");
    QTest::keyClick(&list, Qt::Key_Backspace);
    QTest::keyClick(&list, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(list.toPlainText(), text) << "Enter and typing change nothing";
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    list.moveCursor(QTextCursor::Start);
    QTest::keyClick(&list, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text.section('\n', 0, 0))
        << "a line selected by keyboard";
    h.logs.hide();
}

TEST(MainWindow, HelpOpensHelpChmWhereSomethingOpensItElseTheHtmlManual) {
    WindowHarness h;
    TestFolder program;
    const QString bin = Q(program / "usr/bin");
    fs::create_directories(program / "usr/bin");
    OpenHelpFile(h.dialogs, bin);
    EXPECT_TRUE(h.dialogs.openedUrls.isEmpty()) << "neither is there: nothing opens";

    fs::create_directories(program / "usr/share/quorlix");
    WriteFile(program / "usr/share/quorlix/Help.chm", "ITSF");
    OpenHelpFile(h.dialogs, bin);
    ASSERT_EQ(h.dialogs.openedUrls.size(), 1);
    EXPECT_EQ(h.dialogs.openedUrls[0],
              QUrl::fromLocalFile(Q(program / "usr/share/quorlix/Help.chm")))
        << "Help.chm all the same when there is no HTML manual";

    fs::create_directories(program / "usr/share/doc/quorlix/html");
    WriteFile(program / "usr/share/doc/quorlix/html/index.html", "<html>");
    OpenHelpFile(h.dialogs, bin);
    ASSERT_EQ(h.dialogs.openedUrls.size(), 2);
    EXPECT_EQ(h.dialogs.openedUrls[1],
              QUrl::fromLocalFile(Q(program / "usr/share/doc/quorlix/html/index.html")))
        << "nothing on the desktop opens Help.chm";

    h.dialogs.handledMimeTypes << "application/vnd.ms-htmlhelp";
    OpenHelpFile(h.dialogs, bin);
    ASSERT_EQ(h.dialogs.openedUrls.size(), 3);
    EXPECT_EQ(h.dialogs.openedUrls[2],
              QUrl::fromLocalFile(Q(program / "usr/share/quorlix/Help.chm")));
}

TEST(MainWindow, HelpMenuAndAboutBox) {
    WindowHarness h;
    h.window->findChild<QAction*>("helpAction")->trigger();
    EXPECT_TRUE(h.dialogs.openedUrls.isEmpty()) << "no manual beside the test: nothing opens";
    h.window->findChild<QAction*>("webSiteAction")->trigger();
    h.window->findChild<QAction*>("emailSupportAction")->trigger();
    ASSERT_EQ(h.dialogs.openedUrls.size(), 2);
    EXPECT_EQ(h.dialogs.openedUrls[0].toString(), "http://www.dorvane.com");
    EXPECT_EQ(h.dialogs.openedUrls[1].toString(),
              "mailto:support@dorvane.com?subject=Dorvane Quorlix support");

    AboutBox about(h.dialogs);
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(Child<QLabel>(&about, "productName").text(), "Dorvane Quorlix");
    EXPECT_TRUE(Child<QLabel>(&about, "versionLabel").text().startsWith("Version: "));
    EXPECT_FALSE(Child<QLabel>(&about, "programIcon").pixmap().isNull());
    QTest::mouseClick(&Child<QLabel>(&about, "webAddressLink"), Qt::LeftButton);
    QTest::mouseClick(&Child<QLabel>(&about, "supportAddressLink"), Qt::LeftButton);
    ASSERT_EQ(h.dialogs.openedUrls.size(), 4);
    EXPECT_EQ(h.dialogs.openedUrls[2].scheme(), "http");
    EXPECT_EQ(h.dialogs.openedUrls[3].scheme(), "mailto");
}

TEST(MainWindow, LeavesNoFolderBehindWhenClosed) {
    std::string iconFolder;
    std::string previewFolder;
    {
        ConvertSetup s;
        s.Add("One.doc", "one");
        s.ChooseOutput();
        s.Convert();
        iconFolder = s.h.window->defaultIconFolder();
        previewFolder = s.h.window->iconPreviewFolder();
        EXPECT_TRUE(fs::exists(iconFolder + "/myico.ico"));
        EXPECT_TRUE(fs::is_directory(previewFolder));
        EXPECT_NE(iconFolder, previewFolder);
        s.h.window->close();
    }
    EXPECT_FALSE(fs::exists(iconFolder));
    EXPECT_FALSE(fs::exists(previewFolder));
    EXPECT_EQ(FilesOfTheTemporaryFolder(), std::vector<std::string>());
}

}  // namespace
}  // namespace quorlix::test
