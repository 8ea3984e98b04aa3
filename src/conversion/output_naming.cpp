#include "conversion/output_naming.h"

#include "platform/file_system.h"

namespace quorlix {

std::string BaseNameOf(const std::string& documentPath) {
    const std::string name = FileNameOf(documentPath);
    return name.substr(0, name.size() - ExtensionOf(name).size());
}

std::string OutputNameFor(const std::string& documentPath) {
    return BaseNameOf(documentPath) + ".exe";
}

std::string OutputPathFor(const std::string& outputFolder, const std::string& documentPath,
                          bool autorun) {
    if (autorun) {
        return outputFolder + BaseNameOf(documentPath) + "/" + OutputNameFor(documentPath);
    }
    return outputFolder + OutputNameFor(documentPath);
}

}  // namespace quorlix
