#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/byte_source.h"
#include "common/compound_file_reader.h"

namespace quorlix {

// The original document taken out of a staged copy.
struct EmbeddedDocument {
    enum class Kind {
        PackageFile,  // an OLE Package object: the file from \x01Ole10Native
        WordPackage,  // Word's own object for a .docx: the "Package" stream
        WordStorage,  // Word's own object for a .doc: the whole compound file
    };
    Kind kind = Kind::PackageFile;
    // The label of a Package object in the ANSI code page, as stored; empty for Word's objects.
    std::string ansiName;
    // The label from the Package object's Unicode tail; empty when it has none.
    std::u16string unicodeName;
    std::vector<std::uint8_t> data;
};

// Where a compound file keeps its document, found without reading the document's data.
struct DocumentPlace {
    EmbeddedDocument::Kind kind = EmbeddedDocument::Kind::PackageFile;
    std::string ansiName;        // as in EmbeddedDocument
    std::u16string unicodeName;  // as in EmbeddedDocument
    // The other names of a Package object: ANSI from its header, UTF-16 from its tail (empty
    // when it has none).
    std::string ansiSourcePath;
    std::string ansiTemporaryPath;
    std::u16string unicodeSourcePath;
    std::u16string unicodeTemporaryPath;
    // The stream that holds the data; for WordStorage the data is the whole compound file.
    CompoundFileReader::EntryId stream = cfb::kNoEntry;
    std::uint64_t offset = 0;  // where the data starts in that stream
    std::uint64_t size = 0;
    std::vector<std::uint8_t> head;  // the data's first bytes (at most 8), which tell its kind
};

// Finds the document of a compound file. Throws CompoundFileError when it holds none or its
// package object is damaged.
DocumentPlace FindEmbeddedDocument(const CompoundFileReader& reader);

// Copies the data of a found document in chunks, each checked as it is read; compoundFile is the
// source the reader reads.
void CopyDocumentData(const CompoundFileReader& reader, ByteSource& compoundFile,
                      const DocumentPlace& place, const StreamSink& sink);

// The document's name and kind with only its first bytes as data: enough to name its file.
EmbeddedDocument DocumentHeadOf(const DocumentPlace& place);

// Checks the header of a container stream and gives N, the size of the compound file that
// follows it. Throws CompoundFileError when it is not one or is cut short.
std::uint64_t ContainedStorageSize(ByteSource& containerStream);

// The document of a container stream read through a byte source as it is needed: memory does not
// grow with the document's size. The source must outlive it.
class ContainedDocument {
public:
    // Checks the container stream's header and finds the document; throws CompoundFileError.
    explicit ContainedDocument(ByteSource& containerStream);
    ContainedDocument(const ContainedDocument&) = delete;
    ContainedDocument& operator=(const ContainedDocument&) = delete;

    const DocumentPlace& place() const { return place_; }
    // The name and kind with the data's first bytes only: enough to name its file.
    EmbeddedDocument Head() const { return DocumentHeadOf(place_); }
    // Copies the document's bytes into the sink; damage found on the way throws
    // CompoundFileError.
    void CopyData(const StreamSink& sink);

private:
    ByteSourceSlice storage_;
    CompoundFileReader reader_;
    DocumentPlace place_;
};

// Takes the document out of the bytes of a container stream ("BDOC", aspect, N, compound
// file). Throws CompoundFileError when they hold no readable document.
EmbeddedDocument ExtractDocument(std::span<const std::uint8_t> containerStream);

// The same from the compound file alone.
EmbeddedDocument ExtractDocumentFromStorage(std::span<const std::uint8_t> compoundFile);

}  // namespace quorlix
