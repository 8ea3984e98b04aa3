#include "platform/document_container.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/compound_file_writer.h"
#include "platform/container_stream_writer.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/file_sink.h"
#include "platform/file_system.h"
#include "platform/package_object.h"
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
    File data = File::Open(*document_, File::Mode::Read);
    const std::uint64_t size = data.Size();
    StreamContent content;
    content.AppendFile(std::move(data), 0, size);
    CompoundFileWriter storage;
    AddPackageObject(storage, PackageNamesFor(FileNameOf(*document_)), std::move(content));

    ReplacementFile out(path, ".part");
    FileSink sink(out.file());
    WriteContainerStream(storage, sink);
    sink.Flush();
    out.Commit(false);
}

}  // namespace quorlix
