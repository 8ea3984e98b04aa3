#pragma once

#include <cstdint>
#include <memory>

#include "common/byte_source.h"
#include "common/embedded_document.h"
#include "common/payload_reader.h"

namespace quorlix {

// An output's document section read as its unscrambled bytes, a range at a time.
class UnscrambledSectionSource final : public ByteSource {
public:
    UnscrambledSectionSource(ByteSource& file, ByteRange section);

    std::uint64_t Size() const override { return section_.size; }
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override;

private:
    ByteSource& file_;
    ByteRange section_;
};

// The document in an output's document section, read through the output as it is needed: its
// memory does not grow with the document's size. The file must outlive it.
class SectionDocument {
public:
    // Checks the container stream and finds the document; throws PayloadError at the section's
    // start when the section holds no valid container stream.
    SectionDocument(ByteSource& file, ByteRange section);
    ~SectionDocument();
    SectionDocument(const SectionDocument&) = delete;
    SectionDocument& operator=(const SectionDocument&) = delete;

    const DocumentPlace& place() const { return document_->place(); }
    // The name and kind, with the data's first bytes only: enough to name its file.
    EmbeddedDocument Head() const { return document_->Head(); }
    // Copies the document's bytes into the sink; damage found on the way throws PayloadError.
    void CopyData(const StreamSink& sink) const;

private:
    ByteRange section_;
    UnscrambledSectionSource unscrambled_;
    std::unique_ptr<ContainedDocument> document_;
};

}  // namespace quorlix
