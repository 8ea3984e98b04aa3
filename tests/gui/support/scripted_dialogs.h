#pragma once

#include <QList>
#include <deque>
#include <functional>

#include "widgets/dialogs.h"

namespace quorlix::test {

// Dialogs answered from a script: every message is recorded, every dialog takes the next
// prepared answer (none left: cancelled), every shell request is recorded instead of run.
class ScriptedDialogs final : public Dialogs {
public:
    QStringList messages;               // information boxes, in order
    QStringList errors;                 // error boxes, in order
    std::deque<QStringList> fileLists;  // answers of OpenFiles
    std::deque<QString> files;          // answers of OpenFile
    std::deque<QString> folders;        // answers of BrowseForFolder
    std::deque<std::optional<QFont>> fonts;
    std::deque<std::optional<QColor>> colours;
    std::deque<std::optional<QString>> passwords;  // answers of AskPassword

    QList<FileDialogRequest> fileRequests;  // every open dialog shown
    QStringList folderTitles;               // every folder dialog shown
    QList<QFont> fontInitials;
    QList<QColor> colourInitials;
    QStringList passwordQuestions;  // the label of every password question, in order
    QList<QUrl> openedUrls;
    QStringList handledMimeTypes;  // types the desktop has an application for
    // Runs when a message box would show, before it is recorded as closed.
    std::function<void(const QString&)> onMessage;

    void ShowMessage(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    QStringList OpenFiles(QWidget* parent, const FileDialogRequest& request) override;
    QString OpenFile(QWidget* parent, const FileDialogRequest& request) override;
    QString BrowseForFolder(QWidget* owner, const QString& title) override;
    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QString> AskPassword(QWidget* parent, const QString& title,
                                       const QString& label) override;
    void OpenUrl(const QUrl& url) override { openedUrls << url; }
    bool HasApplicationFor(const QString& mimeType) override {
        return handledMimeTypes.contains(mimeType);
    }
};

}  // namespace quorlix::test
