#include "common/section_document.h"

#include <stdexcept>
#include <string>

#include "common/payload_error.h"
#include "common/scramble.h"

namespace quorlix {

namespace {

[[noreturn]] void ThrowNoContainer(const ByteRange& section, const std::exception& e) {
    throw PayloadError(
        section.offset,
        std::string("the document section holds no valid container stream (") + e.what() + ")");
}

}  // namespace

UnscrambledSectionSource::UnscrambledSectionSource(ByteSource& file, ByteRange section)
    : file_(file), section_(section) {}

void UnscrambledSectionSource::ReadAt(std::uint64_t offset, std::uint8_t* buffer,
                                      std::size_t count) {
    if (offset > section_.size || count > section_.size - offset) {
        throw std::out_of_range("read past the end of the document section");
    }
    file_.ReadAt(section_.offset + offset, buffer, count);
    ScrambleSectionBytes(buffer, count, offset);
}

SectionDocument::SectionDocument(ByteSource& file, ByteRange section)
    : section_(section), unscrambled_(file, section) {
    try {
        document_ = std::make_unique<ContainedDocument>(unscrambled_);
    } catch (const CompoundFileError& e) {
        ThrowNoContainer(section_, e);
    }
}

SectionDocument::~SectionDocument() = default;

void SectionDocument::CopyData(const StreamSink& sink) const {
    try {
        document_->CopyData(sink);
    } catch (const CompoundFileError& e) {
        ThrowNoContainer(section_, e);
    }
}

}  // namespace quorlix
