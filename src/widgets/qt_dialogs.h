#pragma once

#include <QFileDialog>

#include "widgets/dialogs.h"

namespace quorlix {

// Sets up an open dialog for the request: title, file mode, filters (each shown once, by its
// name), default extension.
void PrepareOpenDialog(QFileDialog& dialog, const FileDialogRequest& request,
                       QFileDialog::FileMode mode);

// The real dialogs of the desktop program.
class QtDialogs final : public Dialogs {
public:
    void ShowMessage(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    QStringList OpenFiles(QWidget* parent, const FileDialogRequest& request) override;
    QString OpenFile(QWidget* parent, const FileDialogRequest& request) override;
    QString BrowseForFolder(QWidget* owner, const QString& title) override;
    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QString> AskPassword(QWidget* parent, const QString& title,
                                       const QString& label) override;
    void OpenUrl(const QUrl& url) override;
    bool HasApplicationFor(const QString& mimeType) override;

private:
    // The font dialog opens with its own last choice.
    std::optional<QFont> lastFont_;
};

}  // namespace quorlix
