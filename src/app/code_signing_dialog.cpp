#include "app/code_signing_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "platform/error.h"
#include "signing/timestamp_client.h"
#include "widgets/dialogs.h"

namespace quorlix {

namespace {

// The width of the two edits, room for a usual path or address.
constexpr int kEditWidth = 320;
// The space between the groups of controls.
constexpr int kGroupGap = 2;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A cause as the libraries word it ("the timestamp address ..."), as a sentence.
QString Sentence(const std::string& cause) {
    QString text = Q(cause);
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

template <typename T>
T* Named(T* control, const char* name, const QString& accessibleName) {
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(accessibleName);
    return control;
}

}  // namespace

CodeSigningDialog::CodeSigningDialog(Dialogs& dialogs, const SigningDefaults& settings,
                                     QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("codeSigningDialog"));
    setWindowTitle(QStringLiteral("Code signing"));
    setModal(true);
    BuildControls();
    signOutputsCheckBox_->setChecked(settings.sign);
    certificateFileEdit_->setText(Q(settings.certificateFile));
    timestampUrlEdit_->setText(Q(settings.timestampUrl));
}

void CodeSigningDialog::BuildControls() {
    signOutputsCheckBox_ =
        Named(new QCheckBox(QStringLiteral("&Sign every output executable"), this),
              "signOutputsCheckBox", QStringLiteral("Sign every output executable"));
    certificateFileLabel_ =
        Named(new QLabel(QStringLiteral("&Certificate file (PKCS#12):"), this),
              "certificateFileLabel", QStringLiteral("Certificate file (PKCS#12)"));
    certificateFileEdit_ =
        Named(new QLineEdit(this), "certificateFileEdit", QStringLiteral("Certificate file"));
    certificateFileEdit_->setMinimumWidth(kEditWidth);
    certificateFileLabel_->setBuddy(certificateFileEdit_);
    certificateFileButton_ = Named(new QToolButton(this), "certificateFileButton",
                                   QStringLiteral("Choose the certificate file"));
    certificateFileButton_->setAutoRaise(true);
    certificateFileButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    certificateFileButton_->setToolTip(QStringLiteral("Click to select"));
    connect(certificateFileButton_, &QToolButton::clicked, this,
            &CodeSigningDialog::chooseCertificateFile);
    timestampUrlLabel_ =
        Named(new QLabel(QStringLiteral("&Timestamp server address (empty for none):"), this),
              "timestampUrlLabel", QStringLiteral("Timestamp server address"));
    timestampUrlEdit_ =
        Named(new QLineEdit(this), "timestampUrlEdit", QStringLiteral("Timestamp server address"));
    timestampUrlEdit_->setPlaceholderText(QStringLiteral("http://"));
    timestampUrlLabel_->setBuddy(timestampUrlEdit_);
    passwordNoteLabel_ = new QLabel(
        QStringLiteral("The certificate's password is asked at each Convert, never stored."), this);
    Named(passwordNoteLabel_, "passwordNoteLabel", passwordNoteLabel_->text());
    okButton_ =
        Named(new QPushButton(QStringLiteral("OK"), this), "okButton", QStringLiteral("OK"));
    okButton_->setDefault(true);
    cancelButton_ = Named(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton",
                          QStringLiteral("Cancel"));
    connect(okButton_, &QPushButton::clicked, this, &CodeSigningDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CodeSigningDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->setObjectName(QStringLiteral("codeSigningLayout"));
    grid->setSizeConstraint(QLayout::SetFixedSize);
    // Rows 1, 4 and 7 keep the groups apart.
    grid->addWidget(signOutputsCheckBox_, 0, 0, 1, 2);
    grid->setRowMinimumHeight(1, kGroupGap);
    grid->addWidget(certificateFileLabel_, 2, 0, 1, 2);
    grid->addWidget(certificateFileEdit_, 3, 0);
    grid->addWidget(certificateFileButton_, 3, 1);
    grid->setRowMinimumHeight(4, kGroupGap);
    grid->addWidget(timestampUrlLabel_, 5, 0, 1, 2);
    grid->addWidget(timestampUrlEdit_, 6, 0);
    grid->setRowMinimumHeight(7, kGroupGap);
    grid->addWidget(passwordNoteLabel_, 8, 0, 1, 2);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    grid->addLayout(buttons, 9, 0, 1, 2);

    setTabOrder(signOutputsCheckBox_, certificateFileEdit_);
    setTabOrder(certificateFileEdit_, certificateFileButton_);
    setTabOrder(certificateFileButton_, timestampUrlEdit_);
    setTabOrder(timestampUrlEdit_, okButton_);
    setTabOrder(okButton_, cancelButton_);
}

SigningDefaults CodeSigningDialog::settings() const {
    SigningDefaults settings;
    settings.sign = signOutputsCheckBox_->isChecked();
    settings.certificateFile = certificateFileEdit_->text().toStdString();
    settings.timestampUrl = timestampUrlEdit_->text().trimmed().toStdString();
    return settings;
}

void CodeSigningDialog::chooseCertificateFile() {
    const QString file = dialogs_.OpenFile(
        this, {QStringLiteral("Select the certificate file"),
               QStringLiteral("PKCS#12 files|*.p12;*.pfx|All files|*"), QStringLiteral("p12")});
    if (!file.isEmpty()) {
        certificateFileEdit_->setText(file);
    }
}

void CodeSigningDialog::accept() {
    const SigningDefaults chosen = settings();
    if (chosen.sign && certificateFileEdit_->text().trimmed().isEmpty()) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select the certificate file!"));
        certificateFileEdit_->setFocus();
        return;
    }
    if (!chosen.timestampUrl.empty()) {
        try {
            CheckTimestampAddress(chosen.timestampUrl);
        } catch (const Error& e) {
            dialogs_.ShowMessage(this, Sentence(e.what()));
            timestampUrlEdit_->setFocus();
            return;
        }
    }
    QDialog::accept();
}

}  // namespace quorlix
