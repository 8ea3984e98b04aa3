#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/byte_source.h"

namespace quorlix {

// A file opened for reading through a Win32 handle, as the payload reader's byte source.
class WinFileSource final : public ByteSource {
public:
    explicit WinFileSource(const std::wstring& path);
    ~WinFileSource() override;
    WinFileSource(const WinFileSource&) = delete;
    WinFileSource& operator=(const WinFileSource&) = delete;

    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override;

private:
    HANDLE handle_;
    std::wstring path_;
    std::uint64_t size_ = 0;
};

// A new file written through a Win32 handle; closed (and kept) when the object goes.
class WinOutputFile {
public:
    explicit WinOutputFile(const std::wstring& path);
    ~WinOutputFile();
    WinOutputFile(const WinOutputFile&) = delete;
    WinOutputFile& operator=(const WinOutputFile&) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    // Has what was written put on the disk.
    void Flush();
    // Closes now and reports a failing close.
    void Close();

private:
    HANDLE handle_;
    std::wstring path_;
};

}  // namespace quorlix
