#include "stub/win_file.h"

#include <algorithm>

#include "stub/stub_error.h"

namespace quorlix {

namespace {

// The most one ReadFile or WriteFile call moves.
constexpr std::size_t kIoChunk = 1u << 20;

}  // namespace

WinFileSource::WinFileSource(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
      path_(path) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        ThrowLastError(L"Cannot open " + path_);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size)) {
        CloseHandle(handle_);
        ThrowLastError(L"Cannot read the size of " + path_);
    }
    size_ = static_cast<std::uint64_t>(size.QuadPart);
}

WinFileSource::~WinFileSource() {
    CloseHandle(handle_);
}

void WinFileSource::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN)) {
        ThrowLastError(L"Cannot read " + path_);
    }
    while (count > 0) {
        const auto want = static_cast<DWORD>(std::min(count, kIoChunk));
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, want, &got, nullptr)) {
            ThrowLastError(L"Cannot read " + path_);
        }
        if (got == 0) {
            throw StubError(L"Cannot read " + path_ + L": the file ended early");
        }
        buffer += got;
        count -= got;
    }
}

WinOutputFile::WinOutputFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)),
      path_(path) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        ThrowLastError(L"Cannot create " + path_);
    }
}

WinOutputFile::~WinOutputFile() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
    }
}

void WinOutputFile::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto want = static_cast<DWORD>(std::min(bytes.size(), kIoChunk));
        DWORD written = 0;
        if (!WriteFile(handle_, bytes.data(), want, &written, nullptr) || written == 0) {
            ThrowLastError(L"Cannot write " + path_);
        }
        bytes = bytes.subspan(written);
    }
}

void WinOutputFile::Flush() {
    if (!FlushFileBuffers(handle_)) {
        ThrowLastError(L"Cannot write " + path_);
    }
}

void WinOutputFile::Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle)) {
        ThrowLastError(L"Cannot write " + path_);
    }
}

}  // namespace quorlix
