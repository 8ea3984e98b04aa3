#include "platform/document_container.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "common/compound_file_writer.h"
#include "common/container_stream_writer.h"
#include "common/error.h"
#include "common/package_object.h"
#include "platform/file.h"
#include "platform/file_byte_source.h"
#include "platform/file_sink.h"
#include "platform/file_system.h"
#include "platform/package_names.h"
#include "platform/replacement_file.h"

namespace quorlix {

void DocumentContainer::UIActivate() {
    if (HasObject()) {
        uiActive_ = true;
    }
}

void DocumentContainer::UIDeactivate() {
    if (!cannotDeactivate_) {
        uiActive_ = false;
    }
}

void DocumentContainer::CreateObjectFromFile(const std::string& path) {
    DestroyObject();
    // Opening it now reports a missing, unreadable or oversized document when it is embedded.
    File probe = File::Open(path, File::Mode::Read);
    const std::uint64_t size = probe.Size();
    probe.Close();
    if (size > kMaxEmbeddedFileSize) {
        throw Error(TooLargeToEmbedMessage(path, size));
    }
    document_ = path;
}

void DocumentContainer::DestroyObject() {
    document_.reset();
    uiActive_ = false;
}

void DocumentContainer::SaveToFile(const std::string& path) const {
    if (!document_) {
        throw Error("The document container holds no object to save");
    }
    auto data = std::make_shared<FileByteSource>(*document_);
    const std::uint64_t size = data->Size();
    StreamContent content;
    content.AppendSource(std::move(data), 0, size);
    CompoundFileWriter storage;
    AddPackageObject(storage, EncodePackageNames(PackageNamesFor(FileNameOf(*document_))),
                     std::move(content));

    ReplacementFile out(path, ".part");
    FileSink sink(out.file());
    WriteContainerStream(storage, sink);
    sink.Flush();
    out.Commit(false);
}

}  // namespace quorlix
