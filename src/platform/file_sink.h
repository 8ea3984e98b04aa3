#pragma once

#include <vector>

#include "common/byte_sink.h"
#include "platform/file.h"

namespace quorlix {

// A byte sink that writes to an open file through a buffer of fixed size; Flush() must be
// called before the file is closed (the destructor drops what is left unwritten).
class FileSink : public ByteSink {
public:
    explicit FileSink(File& file);

    void Write(const std::uint8_t* data, std::size_t count) override;
    void Flush();

private:
    File& file_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace quorlix
