#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_sink.h"
#include "common/compound_file_format.h"
#include "common/stream_content.h"

namespace quorlix {

// Writes a compound file (MS-CFB version 3, 512-byte sectors) of storages and streams. Stream
// bytes are copied to the sink as they are written, and the FAT a sector at a time; only the
// directory is kept in memory. The output depends only on what was added: no clock, no random
// values.
class CompoundFileWriter {
public:
    using EntryId = std::uint32_t;
    static constexpr EntryId kRoot = 0;

    CompoundFileWriter();

    // Adds a storage or a stream to a storage (kRoot or an id from AddStorage). A name has 1 to
    // 31 UTF-16 units without / \ : !, unique in its storage regardless of case; a stream holds
    // at most 2 GiB. Breaking either throws quorlix::Error.
    EntryId AddStorage(EntryId parent, const std::u16string& name);
    void AddStream(EntryId parent, const std::u16string& name, StreamContent content);

    void SetClassId(EntryId storage, const cfb::ClassId& classId);
    // The root entry's modified time (a FILETIME; 0 unless set) and colour (black unless set).
    void SetRootModifiedTime(std::uint64_t fileTime);
    void SetRootColour(std::uint8_t colour);

    // The number of bytes Write() gives, a multiple of 512.
    std::uint64_t FileSize() const;
    // Writes the whole compound file.
    void Write(ByteSink& sink) const;

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = cfb::kTypeUnused;
        std::uint8_t colour = cfb::kBlack;
        cfb::ClassId classId{};
        std::uint64_t modifiedTime = 0;
        std::vector<EntryId> children;
        StreamContent content;
    };
    struct Layout;
    struct Links;

    EntryId AddEntry(EntryId parent, const std::u16string& name, std::uint8_t type);
    Layout ComputeLayout() const;
    std::uint32_t AssignStreamStarts(std::uint32_t next, std::vector<std::uint32_t>& start) const;
    std::vector<Links> ComputeLinks() const;
    void BuildTree(const std::vector<EntryId>& sorted, std::size_t begin, std::size_t end,
                   int depth, int redDepth, std::vector<Links>& links, EntryId& top) const;
    std::vector<std::uint8_t> HeaderBytes(const Layout& layout) const;
    void WriteFat(const Layout& layout, ByteSink& sink) const;
    void WriteDifat(const Layout& layout, ByteSink& sink) const;
    void WriteDirectory(const Layout& layout, ByteSink& sink) const;
    void WriteMiniFat(const Layout& layout, ByteSink& sink) const;
    void WriteStreams(const Layout& layout, ByteSink& sink) const;

    std::vector<Entry> entries_;
};

}  // namespace quorlix
