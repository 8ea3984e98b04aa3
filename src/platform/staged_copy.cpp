#include "platform/staged_copy.h"

#include "common/container_stream.h"
#include "common/container_stream_writer.h"
#include "common/error.h"
#include "common/package_object.h"
#include "platform/file_byte_source.h"
#include "platform/file_system.h"
#include "platform/package_names.h"

namespace quorlix {

StagedCopy::StagedCopy(CompoundFileWriter storage)
    : storage_(std::move(storage)), size_(kContainerHeaderSize + storage_.FileSize()) {
    if (storage_.FileSize() > 0xFFFFFFFF) {
        throw Error("The document is too large to embed");
    }
}

void StagedCopy::WriteTo(ByteSink& sink) const {
    WriteContainerStream(storage_, sink);
}

std::shared_ptr<const StagedCopy> StageDocument(const std::string& documentPath) {
    auto data = std::make_shared<FileByteSource>(documentPath);
    const std::uint64_t size = data->Size();
    StreamContent content;
    content.AppendSource(std::move(data), 0, size);
    CompoundFileWriter storage;
    AddPackageObject(storage, EncodePackageNames(PackageNamesFor(FileNameOf(documentPath))),
                     std::move(content));
    return std::make_shared<const StagedCopy>(std::move(storage));
}

}  // namespace quorlix
