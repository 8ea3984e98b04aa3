#include "support/output_steps.h"

#include <cerrno>
#include <optional>
#include <system_error>

#include "common/byte_order.h"
#include "package/output_assembly.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/program_resources.h"
#include "support/serial_package_writer.h"

namespace quorlix::test {

namespace {

bool Failed(const std::exception& e, std::string* cause) {
    if (cause != nullptr) {
        *cause = e.what();
    }
    return false;
}

}  // namespace

bool ExtractStub(const std::string& type, const std::string& name, const std::string& outputPath,
                 std::string* cause) {
    if (!FindProgramResource(type, name)) {
        if (cause != nullptr) {
            *cause = "no resource " + type + "/" + name + " in the program";
        }
        return false;
    }
    try {
        const std::vector<std::uint8_t>& stub = InflatedProgramResource(type, name);
        const std::string folder = FolderOf(outputPath);
        if (!folder.empty() && !FolderExists(folder)) {
            CreateFolders(folder);
        }
        File output = File::Open(outputPath, File::Mode::CreateTruncateExclusive);
        output.WriteAll(stub.data(), stub.size());
        output.Close();
        return true;
    } catch (const std::exception& e) {
        return Failed(e, cause);
    }
}

bool AppendDocument(const std::string& documentPath, const std::string& outputPath,
                    ProgressSink& sink, std::string* cause) {
    try {
        File output = File::Open(outputPath, File::Mode::WriteExclusive);
        AppendDocumentTo(documentPath, output, sink);
        output.Close();
        return true;
    } catch (const std::exception& e) {
        return Failed(e, cause);
    }
}

bool AppendPackage(const std::string& outputPath, std::span<const std::string> sources,
                   std::span<const std::string> names, ProgressSink& sink, std::string* cause) {
    std::optional<File> output;
    std::uint64_t start = 0;
    try {
        output.emplace(File::Open(outputPath, File::Mode::WriteExclusive));
        start = output->Size();
        output->SeekEnd();
    } catch (const std::exception& e) {
        return Failed(e, cause);
    }
    // Errors while writing the package travel on; the output closes on the way out.
    WritePackage(sources, names, *output, sink);
    try {
        if (sink.CancelRequested()) {
            output->Close();
            return false;
        }
        const std::uint64_t packageSize = output->Size() - start;
        if (packageSize > UINT32_MAX) {
            throw std::system_error(EFBIG, std::generic_category(), outputPath);
        }
        WriteLE32(*output, static_cast<std::uint32_t>(packageSize));
        output->Close();
        return true;
    } catch (const std::exception& e) {
        return Failed(e, cause);
    }
}

bool AppendEndMarker(const std::string& outputPath, std::string* cause) {
    try {
        File output = File::Open(outputPath, File::Mode::WriteExclusive);
        AppendEndMarkerTo(output);
        output.Close();
        return true;
    } catch (const std::exception& e) {
        return Failed(e, cause);
    }
}

}  // namespace quorlix::test
