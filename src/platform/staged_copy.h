#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/byte_sink.h"
#include "common/compound_file_writer.h"

namespace quorlix {

// The staged copy of an embedded document: its container stream (the 12-byte header "BDOC", draw
// aspect, size N, then the N bytes of a compound file holding the document as an OLE Package
// object), produced straight into whatever it is written to and never kept as a file. Its size is
// known before its first byte; the document's bytes are read only while it is written, from the
// file opened when it was staged.
class StagedCopy {
public:
    // The name the staged copy goes by where one is written down (the packed file's name in the
    // option files).
    static constexpr std::string_view kFileName = "~~~.txt";

    // Throws quorlix::Error when the compound file is too large for the header's size field.
    explicit StagedCopy(CompoundFileWriter storage);

    // The container stream's size in bytes.
    std::uint64_t size() const { return size_; }
    // Writes the container stream; errors of the document's file (std::system_error) and of the
    // sink travel on.
    void WriteTo(ByteSink& sink) const;

private:
    CompoundFileWriter storage_;
    std::uint64_t size_ = 0;
};

// Embeds the document (opened now) as an OLE Package object under the names its file name gives
// and returns its staged copy. A document that is missing or cannot be read throws
// std::system_error with the system's text, one too large to embed quorlix::Error.
std::shared_ptr<const StagedCopy> StageDocument(const std::string& documentPath);

}  // namespace quorlix
