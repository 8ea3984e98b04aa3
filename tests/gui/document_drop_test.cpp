// Files and folders dragged from the file manager onto the main window: on the document list they
// are added as "Add files" and "Add Folder" add them, on the output folder box a folder is taken.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>

#include "support/document_list.h"
#include "support/test_folder.h"
#include "support/window_harness.h"

namespace quorlix::test {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Drags the paths (and any other URLs) over the widget and drops them; returns whether the drag
// was accepted.
bool Drop(QWidget& target, const QStringList& paths, const QList<QUrl>& others = {}) {
    QMimeData data;
    QList<QUrl> urls = others;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data.setUrls(urls);
    const QPointF middle(target.width() / 2.0, target.height() / 2.0);
    QDragEnterEvent enter(middle.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDragMoveEvent move(middle.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

TEST(DocumentDrop, FilesAndFoldersDroppedOnTheListAreAddedAsTheButtonsAddThem) {
    WindowHarness h;
    TestFolder folder;
    for (const char* name : {"a.doc", "~$a.doc", "b.DOCX", "c.txt", "d"}) {
        WriteFile(folder / name, "x");
    }
    fs::create_directory(folder / "sub");
    WriteFile(folder / "sub/e.doc", "x");
    WriteFile(folder / "sub/f.docx", "x");
    auto& list = h.operator()<QTableWidget>("documentListView");
    QWidget& viewport = *list.viewport();

    EXPECT_FALSE(Drop(viewport, {Q(folder / "c.txt"), Q(folder / "d")}))
        << "nothing the add-files dialog offers";
    EXPECT_FALSE(Drop(viewport, {}, {QUrl("https://www.dorvane.com/a.doc")})) << "no local file";
    EXPECT_EQ(list.rowCount(), 0);

    // Files pass the dialog's filter: .doc and .docx, in any letter case.
    EXPECT_TRUE(Drop(viewport, {Q(folder / "c.txt"), Q(folder / "b.DOCX"), Q(folder / "a.doc")}));
    EXPECT_EQ(ListTexts(list), QStringList({Q(folder / "b.DOCX"), Q(folder / "a.doc")}));
    EXPECT_EQ(SelectedRow(list), 1) << "the last item is selected";
    EXPECT_EQ(h.window->documents().size(), 2u);

    // A listed file adds nothing and still selects the last item, as "Add files" does.
    list.selectRow(0);
    EXPECT_TRUE(Drop(viewport, {Q(folder / "a.doc")}));
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(SelectedRow(list), 1);

    // A folder: its own Word documents, not its subfolders', without lock files or duplicates.
    list.selectRow(0);
    EXPECT_TRUE(Drop(viewport, {Q(folder.path())}));
    EXPECT_EQ(ListTexts(list), QStringList({Q(folder / "b.DOCX"), Q(folder / "a.doc")}))
        << "a.doc and b.DOCX are listed; ~$a.doc, c.txt and d are skipped";
    EXPECT_EQ(SelectedRow(list), 0) << "nothing added: the selection stays";

    // A file and a folder together.
    WriteFile(folder / "g.doc", "x");
    EXPECT_TRUE(Drop(viewport, {Q(folder / "sub"), Q(folder / "g.doc")}));
    QStringList texts = ListTexts(list).mid(2);
    EXPECT_EQ(texts.size(), 3);
    EXPECT_EQ(texts.last(), Q(folder / "g.doc"));
    texts.sort();
    EXPECT_EQ(texts, QStringList(
                         {Q(folder / "g.doc"), Q(folder / "sub/e.doc"), Q(folder / "sub/f.docx")}));
    EXPECT_EQ(SelectedRow(list), 4);
    EXPECT_TRUE(h.operator()<QPushButton>("removeButton").isEnabled());
    EXPECT_TRUE(h.operator()<QPushButton>("removeAllButton").isEnabled());
}

TEST(DocumentDrop, AFolderDroppedOnTheOutputFolderBoxIsTheOutputFolder) {
    WindowHarness h;
    TestFolder folder;
    WriteFile(folder / "a.doc", "x");
    auto& edit = h.operator()<QLineEdit>("outputFolderEdit");
    const QString prompt = edit.text();
    EXPECT_FALSE(Drop(edit, {Q(folder / "a.doc")})) << "a file is no folder";
    EXPECT_EQ(edit.text(), prompt);
    EXPECT_TRUE(Drop(edit, {Q(folder / "a.doc"), Q(folder.path() + "//")}));
    EXPECT_EQ(edit.text(), Q(folder.path() + "/")) << "ends in one separator, as chosen";
    EXPECT_EQ(h.window->documents().size(), 0u) << "the document list is not touched";
    EXPECT_TRUE(h.dialogs.folderTitles.isEmpty()) << "no dialog";
}

}  // namespace
}  // namespace quorlix::test
