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
#include "platform/guid.h"
#include "platform/package_object.h"

namespace quorlix {

namespace {

// Deletes the temporary file unless it has been renamed into place.
class TemporaryFileGuard {
public:
    explicit TemporaryFileGuard(std::string path) : path_(std::move(path)) {}
    ~TemporaryFileGuard() {
        if (!path_.empty()) {
            DeleteFile(path_);
        }
    }
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
    void Release() { path_.clear(); }

private:
    std::string path_;
};

std::string TemporaryNameBeside(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string prefix = folder.empty() ? std::string() : folder + "/";
    return prefix + "." + FileNameOf(path) + "." + NewGuidText() + ".part";
}

}  // namespace

void TOleContainerAc::UIActivate() {
    if (HasObject()) {
        uiActive_ = true;
    }
}

void TOleContainerAc::UIDeactivate() {
    if (!cannotDeactivate_) {
        uiActive_ = false;
    }
}

void TOleContainerAc::CreateObjectFromFile(const std::string& path) {
    DestroyObject();
    // Opening it now reports a missing or unreadable document when it is embedded.
    File probe = File::Open(path, File::Mode::Read);
    probe.Close();
    document_ = path;
}

void TOleContainerAc::DestroyObject() {
    document_.reset();
    uiActive_ = false;
}

void TOleContainerAc::SaveToFile(const std::string& path) const {
    if (!document_) {
        throw Error("The document container holds no object to save");
    }
    File data = File::Open(*document_, File::Mode::Read);
    const std::uint64_t size = data.Size();
    StreamContent content;
    content.AppendFile(std::move(data), 0, size);
    CompoundFileWriter storage;
    AddPackageObject(storage, PackageNamesFor(FileNameOf(*document_)), std::move(content));

    const std::string temporary = TemporaryNameBeside(path);
    TemporaryFileGuard guard(temporary);
    File out = File::Open(temporary, File::Mode::CreateTruncate);
    FileSink sink(out);
    WriteContainerStream(storage, sink);
    sink.Flush();
    out.Close();
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    guard.Release();
}

}  // namespace quorlix
