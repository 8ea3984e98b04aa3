#include "stub/replacement_output.h"

#include <windows.h>

#include "stub/path_parts.h"
#include "stub/stub_error.h"

namespace quorlix {

namespace {

constexpr std::size_t kBufferSize = 1u << 20;

// A new, empty file of a unique name in the folder (the current one when empty).
std::wstring TemporaryFileIn(const std::wstring& folder) {
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"~qx", 0, name) == 0) {
        ThrowLastError(L"Cannot create a file in " + folder);
    }
    return name;
}

}  // namespace

ReplacementOutput::ReplacementOutput(const std::wstring& path)
    : path_(path), temporary_(TemporaryFileIn(FolderOfPath(path))) {
    try {
        file_ = std::make_unique<WinOutputFile>(temporary_);
    } catch (...) {
        DeleteFileW(temporary_.c_str());
        throw;
    }
    buffer_.reserve(kBufferSize);
}

ReplacementOutput::~ReplacementOutput() {
    if (!committed_) {
        file_.reset();
        DeleteFileW(temporary_.c_str());
    }
}

void ReplacementOutput::Write(const std::uint8_t* data, std::size_t count) {
    if (buffer_.size() + count > kBufferSize) {
        FlushBuffer();
    }
    if (count >= kBufferSize) {
        file_->Write({data, count});
    } else {
        buffer_.insert(buffer_.end(), data, data + count);
    }
    written_ += count;
}

void ReplacementOutput::FlushBuffer() {
    file_->Write(buffer_);
    buffer_.clear();
}

void ReplacementOutput::Commit() {
    FlushBuffer();
    file_->Flush();
    file_->Close();
    if (!MoveFileExW(temporary_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ThrowLastError(L"Cannot save " + path_);
    }
    committed_ = true;
}

}  // namespace quorlix
