#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "platform/mime_handlers.h"

namespace quorlix {

QString QtFilterOf(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

void QtDialogs::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
}

void QtDialogs::ShowError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
}

void PrepareOpenDialog(QFileDialog& dialog, const FileDialogRequest& request,
                       QFileDialog::FileMode mode) {
    dialog.setWindowTitle(request.title);
    dialog.setFileMode(mode);
    // Qt reads a filter's patterns from the parentheses at its end, so QtFilterOf writes them
    // there; the dialog shows only the name, as given ("JPEG Image File (*.jpg;*.jpeg)").
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(QtFilterOf(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
}

QStringList QtDialogs::OpenFiles(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    PrepareOpenDialog(dialog, request, QFileDialog::ExistingFiles);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString QtDialogs::OpenFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    PrepareOpenDialog(dialog, request, QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

QString QtDialogs::BrowseForFolder(QWidget* owner, const QString& title) {
    // The Qt dialog has an edit box for a typed name and accepts only existing folders.
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

std::optional<QFont> QtDialogs::ChooseFont(QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, lastFont_.value_or(initial), parent);
    if (!ok) {
        return std::nullopt;
    }
    lastFont_ = font;
    return font;
}

std::optional<QColor> QtDialogs::ChooseColor(QWidget* parent, const QColor& initial) {
    const QColor colour = QColorDialog::getColor(initial, parent);
    if (!colour.isValid()) {
        return std::nullopt;
    }
    return colour;
}

std::optional<QString> QtDialogs::AskPassword(QWidget* parent, const QString& title,
                                              const QString& label) {
    QInputDialog question(parent);
    question.setObjectName(QStringLiteral("passwordQuestion"));
    question.setWindowTitle(title);
    question.setLabelText(label);
    question.setInputMode(QInputDialog::TextInput);
    question.setTextEchoMode(QLineEdit::Password);
    if (auto* edit = question.findChild<QLineEdit*>()) {
        edit->setAccessibleName(label);
    }
    const bool answered = question.exec() == QDialog::Accepted;
    QString password = question.textValue();
    // The question's own copy goes with the answer taken.
    question.setTextValue(QString());
    if (!answered) {
        return std::nullopt;
    }
    return password;
}

void QtDialogs::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

bool QtDialogs::HasApplicationFor(const QString& mimeType) {
    return quorlix::HasApplicationFor(mimeType.toStdString(),
                                      MimeAssociationFolders::FromEnvironment());
}

}  // namespace quorlix
