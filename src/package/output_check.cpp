#include "package/output_check.h"

#include "common/payload_reader.h"
#include "package/player_names.h"
#include "platform/error.h"
#include "platform/file_byte_source.h"
#include "signing/signature_check.h"

namespace quorlix {

void CheckOutputForPlayer(const std::string& outputPath) {
    FileByteSource source(outputPath);
    CheckOutputForPlayer(source, outputPath);
}

void CheckSignedOutputForPlayer(const std::string& outputPath) {
    FileByteSource source(outputPath);
    const SignatureReport signature = CheckCodeSignature(source);
    if (!signature.isSigned) {
        throw Error(outputPath + " is not signed");
    }
    ByteSourceSlice signedPart(source, 0, signature.signedPart.size);
    CheckOutputForPlayer(signedPart, outputPath);
    CheckOutputForPlayer(source, outputPath);
}

void CheckOutputForPlayer(ByteSource& source, const std::string& outputPath) {
    const PayloadReader reader(source);
    for (const PackageEntry& entry : reader.layout().entries) {
        const std::string problem = EntryNameProblem(entry.name);
        if (!problem.empty()) {
            throw Error("the player would refuse " + outputPath + ": " + problem);
        }
    }
}

}  // namespace quorlix
