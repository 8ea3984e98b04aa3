#pragma once

#include <optional>

#include "conversion/signing_defaults.h"
#include "signing/output_signer.h"

class QWidget;

namespace quorlix {

class Dialogs;

// The signing of the window's outputs: the settings of the Code signing dialog, kept with the
// other defaults (never the password), and the signer that one Convert run signs with.
class OutputSigning {
public:
    // window owns the dialogs and message boxes shown; both outlive this.
    OutputSigning(Dialogs& dialogs, QWidget& window);

    // The stored settings, read at start-up; a store that cannot be read keeps signing off.
    void LoadFromDefaults();
    // File > Code signing...: the dialog; OK keeps its settings for this session and stores them.
    void Edit();
    const SigningDefaults& settings() const { return settings_; }

    // Before a run, with signing on: asks for the PKCS#12 file's password and makes the signer
    // from the file, the password wiped once the key is read. Returns false when the run is not
    // to start: no certificate file chosen (the dialog opens), the question cancelled, or a file
    // that cannot be used (its cause shown). With signing off, signer stays empty.
    bool PrepareRun(std::optional<OutputSigner>& signer);

private:
    Dialogs& dialogs_;
    QWidget& window_;
    SigningDefaults settings_;
};

}  // namespace quorlix
