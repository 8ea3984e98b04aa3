#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/byte_source.h"
#include "platform/file.h"

namespace quorlix {

// A file opened read-only as a byte source for the payload reader; its size is taken once, at
// opening. Failures throw std::system_error.
class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(const std::string& path);
    // Reads a file that the caller holds open (and keeps open while this reads it); its size is
    // taken now, and each read moves the file's position.
    explicit FileByteSource(File& open);
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override;

private:
    std::optional<File> owned_;
    File* file_;
    std::uint64_t size_;
};

}  // namespace quorlix
