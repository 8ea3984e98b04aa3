#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QWidget;

namespace quorlix {

// What an open dialog offers: its title, its filter in the "Name|*.a;*.b" form, the extension
// added to a name typed without one, and whether several files may be chosen.
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultSuffix;
};

// Every dialog and shell request the windows make, behind one small interface: the program
// shows the real ones, tests answer them from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button; the error form shows an error icon.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // Existing files chosen in an open dialog; empty when cancelled.
    virtual QStringList OpenFiles(QWidget* parent, const FileDialogRequest& request) = 0;
    // One existing file chosen in an open dialog; empty when cancelled.
    virtual QString OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // An existing folder chosen in the folder-browse dialog (a name may be typed); empty when
    // cancelled.
    virtual QString BrowseForFolder(QWidget* owner, const QString& title) = 0;
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
    // A password typed into a question whose input is not echoed; nullopt when cancelled (an
    // empty answer is a password too).
    virtual std::optional<QString> AskPassword(QWidget* parent, const QString& title,
                                               const QString& label) = 0;
    // Hands a file, web page, mail address or folder to the desktop's handler; no feedback.
    virtual void OpenUrl(const QUrl& url) = 0;
    // True when the desktop has an application registered for files of this MIME type.
    virtual bool HasApplicationFor(const QString& mimeType) = 0;
};

// A "Name|*.a;*.b|Other|*.c" filter as Qt writes it: "Name (*.a *.b);;Other (*.c)".
QString QtFilterOf(const QString& filter);

}  // namespace quorlix
