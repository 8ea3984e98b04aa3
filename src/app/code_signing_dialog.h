#pragma once

#include <QDialog>

#include "conversion/signing_defaults.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quorlix {

class Dialogs;

// The Code signing dialog of the File menu: whether the outputs are signed, the PKCS#12 file
// that signs them and the timestamp server; the password is asked at each Convert, never here.
class CodeSigningDialog : public QDialog {
    Q_OBJECT

public:
    CodeSigningDialog(Dialogs& dialogs, const SigningDefaults& settings, QWidget* parent = nullptr);

    // The settings as the controls hold them.
    SigningDefaults settings() const;

public slots:
    // The button beside the certificate file: an open dialog for a PKCS#12 file.
    void chooseCertificateFile();
    // OK: closes only with settings that can be used (a certificate file when signing is on, an
    // http:// timestamp address or none); otherwise says why and keeps the dialog open.
    void accept() override;

private:
    void BuildControls();

    Dialogs& dialogs_;
    QCheckBox* signOutputsCheckBox_;
    QLabel* certificateFileLabel_;
    QLineEdit* certificateFileEdit_;
    QToolButton* certificateFileButton_;
    QLabel* timestampUrlLabel_;
    QLineEdit* timestampUrlEdit_;
    QLabel* passwordNoteLabel_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace quorlix
