#include "app/output_signing.h"

#include <QWidget>
#include <algorithm>

#include "app/code_signing_dialog.h"
#include "options/defaults_action.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "signing/signing_identity.h"
#include "widgets/dialogs.h"

namespace quorlix {

namespace {

// The password as UTF-8 bytes; every copy made on the way, the typed text included, is wiped.
std::string TakePassword(QString& typed) {
    QByteArray bytes = typed.toUtf8();
    std::string password(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    typed.fill(QChar(u'\0'));
    std::fill(bytes.begin(), bytes.end(), '\0');
    return password;
}

}  // namespace

OutputSigning::OutputSigning(Dialogs& dialogs, QWidget& window)
    : dialogs_(dialogs), window_(window) {}

void OutputSigning::LoadFromDefaults() {
    RunDefaultsAction(&window_, dialogs_, [this](SettingsStore& store) {
        store.Open();
        settings_ = ReadSigningDefaults(store);
    });
}

void OutputSigning::Edit() {
    CodeSigningDialog dialog(dialogs_, settings_, &window_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    settings_ = dialog.settings();
    RunDefaultsAction(&window_, dialogs_, [this](SettingsStore& store) {
        store.Open();
        SaveSigningDefaults(store, settings_);
    });
}

bool OutputSigning::PrepareRun(std::optional<OutputSigner>& signer) {
    signer.reset();
    if (!settings_.sign) {
        return true;
    }
    if (settings_.certificateFile.empty()) {
        dialogs_.ShowMessage(&window_, QStringLiteral("Please select the certificate file!"));
        Edit();
        return false;
    }
    std::optional<QString> typed = dialogs_.AskPassword(
        &window_, QStringLiteral("Code signing"),
        QStringLiteral("Password for %1:")
            .arg(QString::fromStdString(FileNameOf(settings_.certificateFile))));
    if (!typed) {
        return false;
    }
    std::string password = TakePassword(*typed);
    try {
        signer.emplace(settings_.certificateFile, password, settings_.timestampUrl);
        WipePassword(password);
        return true;
    } catch (const std::exception& e) {
        WipePassword(password);
        dialogs_.ShowError(&window_, QStringLiteral("The outputs cannot be signed: ") +
                                         QString::fromStdString(e.what()));
        return false;
    }
}

}  // namespace quorlix
