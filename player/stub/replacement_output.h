#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/byte_sink.h"
#include "stub/win_file.h"

namespace quorlix {

// A file written whole or not at all: under a temporary name in its folder, through a buffer,
// then flushed to the disk and renamed over whatever has its final name. The temporary file is
// deleted when the object goes without Commit(). Failures throw StubError.
class ReplacementOutput final : public ByteSink {
public:
    explicit ReplacementOutput(const std::wstring& path);
    ~ReplacementOutput() override;
    ReplacementOutput(const ReplacementOutput&) = delete;
    ReplacementOutput& operator=(const ReplacementOutput&) = delete;

    void Write(const std::uint8_t* data, std::size_t count) override;
    // Puts the file in place under its final name.
    void Commit();

    std::uint64_t written() const { return written_; }

private:
    void FlushBuffer();

    std::wstring path_;
    std::wstring temporary_;
    std::unique_ptr<WinOutputFile> file_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t written_ = 0;
    bool committed_ = false;
};

}  // namespace quorlix
