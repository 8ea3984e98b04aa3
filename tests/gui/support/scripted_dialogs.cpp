#include "support/scripted_dialogs.h"

namespace quorlix::test {

namespace {

template <typename T>
T TakeNext(std::deque<T>& answers, T cancelled) {
    if (answers.empty()) {
        return cancelled;
    }
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

void ScriptedDialogs::ShowMessage(QWidget*, const QString& text) {
    if (onMessage) {
        onMessage(text);
    }
    messages << text;
}

void ScriptedDialogs::ShowError(QWidget*, const QString& text) {
    if (onMessage) {
        onMessage(text);
    }
    errors << text;
}

QStringList ScriptedDialogs::OpenFiles(QWidget*, const FileDialogRequest& request) {
    fileRequests << request;
    return TakeNext(fileLists, QStringList());
}

QString ScriptedDialogs::OpenFile(QWidget*, const FileDialogRequest& request) {
    fileRequests << request;
    return TakeNext(files, QString());
}

QString ScriptedDialogs::BrowseForFolder(QWidget*, const QString& title) {
    folderTitles << title;
    return TakeNext(folders, QString());
}

std::optional<QFont> ScriptedDialogs::ChooseFont(QWidget*, const QFont& initial) {
    fontInitials << initial;
    return TakeNext(fonts, std::optional<QFont>());
}

std::optional<QColor> ScriptedDialogs::ChooseColor(QWidget*, const QColor& initial) {
    colourInitials << initial;
    return TakeNext(colours, std::optional<QColor>());
}

std::optional<QString> ScriptedDialogs::AskPassword(QWidget*, const QString&,
                                                    const QString& label) {
    passwordQuestions << label;
    return TakeNext(passwords, std::optional<QString>());
}

}  // namespace quorlix::test
