#pragma once

// Test helpers for the output writers: a progress sink that records every call, and readers of
// packages and zlib streams that use zlib directly, never the writer's code.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "package/progress_sink.h"

namespace quorlix::test {

// A progress sink that records its calls and can raise the cancel flag at a given check.
class RecordingSink : public ProgressSink {
public:
    // The 1-based check at which the flag goes up; 0 never.
    int cancelAtCheck = 0;
    // Called with the check's number before it is answered.
    std::function<void(int)> onCheck;

    mutable int checks = 0;
    mutable bool cancelled = false;
    std::vector<std::uint32_t> addProgress;
    std::vector<std::uint64_t> streamProgress;
    // The running total of the entries' KiB after each EntryDone, starting from total.
    std::vector<std::uint32_t> totals;
    std::uint32_t total = 0;

    bool CancelRequested() const override {
        ++checks;
        if (onCheck) {
            onCheck(checks);
        }
        if (cancelAtCheck != 0 && checks >= cancelAtCheck) {
            cancelled = true;
        }
        return cancelled;
    }
    void AddProgress(std::uint32_t byteCount) override { addProgress.push_back(byteCount); }
    void ShowStreamProgress(std::uint64_t bytesTakenIn) override {
        streamProgress.push_back(bytesTakenIn);
    }
    void EntryDone(std::uint32_t kib) override {
        total += kib;
        totals.push_back(total);
    }
};

inline std::uint32_t LE32At(const std::string& bytes, std::size_t offset) {
    EXPECT_LE(offset + 4, bytes.size());
    if (offset + 4 > bytes.size()) {
        return 0;
    }
    return GetLE32(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
}

// One zlib stream inflated from data at offset.
struct Inflated {
    std::string bytes;
    std::size_t consumed = 0;  // input bytes the stream occupies
    bool ended = false;        // the stream's end (Adler-32 checked) was reached
};

inline Inflated InflateAt(const std::string& data, std::size_t offset) {
    Inflated result;
    z_stream s{};
    EXPECT_EQ(inflateInit(&s), Z_OK);
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + offset));
    s.avail_in = static_cast<uInt>(data.size() - offset);
    char block[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        s.next_out = reinterpret_cast<Bytef*>(block);
        s.avail_out = sizeof block;
        rc = inflate(&s, Z_NO_FLUSH);
        result.bytes.append(block, sizeof block - s.avail_out);
    }
    result.ended = rc == Z_STREAM_END;
    result.consumed = s.total_in;
    inflateEnd(&s);
    return result;
}

// One entry of a package as read back.
struct ReadEntry {
    std::string name;
    std::uint32_t recordLength = 0;
    std::uint32_t sizeField = 0;
    std::string content;
};

// A package read from its end: signature, directory length, directory, then the entries from
// the start; every stream must end exactly where its record does.
struct ReadPackage {
    std::string directory;
    std::vector<ReadEntry> entries;
    std::size_t start = 0;  // where the first entry begins in the bytes given
};

inline ReadPackage ReadPackageEndingAt(const std::string& bytes, std::size_t end) {
    ReadPackage package;
    EXPECT_GE(end, 8u);
    EXPECT_EQ(bytes.substr(end - 4, 4), std::string("zsf\x01", 4));
    const std::uint32_t length = LE32At(bytes, end - 8);
    const std::size_t directoryStart = end - 8 - length;
    package.directory = bytes.substr(directoryStart, length);
    std::vector<ReadEntry> entries;
    std::size_t sum = 0;
    std::size_t lineStart = 0;
    while (lineStart < package.directory.size()) {
        const std::size_t crlf = package.directory.find("\r\n", lineStart);
        EXPECT_NE(crlf, std::string::npos) << "every line ends in CR LF";
        const std::string line = package.directory.substr(lineStart, crlf - lineStart);
        const std::size_t bar = line.rfind('|');
        ReadEntry entry;
        entry.name = line.substr(0, bar);
        entry.recordLength = static_cast<std::uint32_t>(std::stoul(line.substr(bar + 1)));
        sum += entry.recordLength;
        entries.push_back(entry);
        lineStart = crlf + 2;
    }
    package.start = directoryStart - sum;
    std::size_t at = package.start;
    for (ReadEntry& entry : entries) {
        entry.sizeField = LE32At(bytes, at);
        const Inflated inflated = InflateAt(bytes, at + 4);
        EXPECT_TRUE(inflated.ended) << entry.name;
        EXPECT_EQ(inflated.consumed + 4, entry.recordLength) << entry.name;
        entry.content = inflated.bytes;
        at += entry.recordLength;
    }
    package.entries = entries;
    return package;
}

}  // namespace quorlix::test
