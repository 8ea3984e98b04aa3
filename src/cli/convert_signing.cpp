#include "cli/convert_signing.h"

#include "cli/signing_password.h"

namespace quorlix {

std::optional<OutputSigner> SignerFrom(const ParsedArguments& args, std::ostream& err) {
    if (!args.Has("sign-pkcs12")) {
        for (const char* option : {"sign-password-file", "sign-password-env", "sign-timestamp"}) {
            if (args.Has(option)) {
                throw UsageError(std::string("--") + option + " needs --sign-pkcs12");
            }
        }
        return std::nullopt;
    }
    if (args.Has("sign-password-file") && args.Has("sign-password-env")) {
        throw UsageError(
            "give the password by --sign-password-file or --sign-password-env, not both");
    }
    std::string password = SigningPassword(args, err);
    // The password is not kept once the key is read, whether or not it opened the file.
    try {
        std::optional<OutputSigner> signer(std::in_place, args.Value("sign-pkcs12"), password,
                                           args.Value("sign-timestamp"));
        WipePassword(password);
        return signer;
    } catch (...) {
        WipePassword(password);
        throw;
    }
}

}  // namespace quorlix
