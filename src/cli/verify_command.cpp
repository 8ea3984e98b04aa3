#include <ostream>
#include <string>

#include "cli/cli.h"
#include "cli/cli_help.h"
#include "cli/commands.h"
#include "cli/payload_report.h"
#include "cli/trailing_bytes.h"
#include "common/payload_error.h"
#include "common/signature_error.h"
#include "platform/file_byte_source.h"
#include "signing/signature_check.h"

namespace quorlix {

namespace {

int Refuse(const std::string& path, const std::string& cause, std::ostream& err) {
    err << kProgramName << " verify: " << path << ": " << cause << "\n";
    return kExitFailure;
}

void WriteReport(const std::string& path, const SignatureReport& signature, std::ostream& out) {
    out << path << ": whole\n";
    if (!signature.isSigned) {
        out << "signature: none (not signed)\n";
        return;
    }
    out << "signature: valid (its " << signature.digest << " digest matches the file)\n"
        << "signer: " << signature.signer << "\n"
        << "timestamp: " << (signature.timestamp.empty() ? "none" : signature.timestamp) << "\n";
}

}  // namespace

int RunVerifyCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.positional().front();
    FileByteSource source(path);
    if (!MayBeAnOutput(source)) {
        return Refuse(path, kNotAnOutput, err);
    }
    try {
        // The signature first: a change anywhere it covers is named as such, and the payload is
        // then read where the player reads it, in front of the signature.
        const SignatureReport signature = CheckCodeSignature(source);
        ByteSourceSlice signedPart(source, 0, signature.signedPart.size);
        InspectPayload(signedPart);
        WriteReport(path, signature, out);
    } catch (const SignatureError& e) {
        return Refuse(path, e.what(), err);
    } catch (const PayloadError& e) {
        return Refuse(path, std::string("damaged: ") + e.what(), err);
    }
    return out ? kExitSuccess : kExitFailure;
}

}  // namespace quorlix
