#pragma once

// Test helpers for the quorlix-cli commands: an in-process run with its outputs, and an output
// executable read back from its end with zlib directly.

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/byte_order.h"
#include "support/package_reading.h"

namespace quorlix::test {

// The exit status and both outputs of one in-process run.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun RunCliWith(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// An output executable's parts as read back without the converter's code.
struct ReadOutput {
    std::size_t documentStart = 0;  // file position of the document section
    std::string document;           // the document section, unscrambled
    ReadPackage package;
};

inline std::string Unscrambled(std::string bytes) {
    const char* key = "%:QX-vmrtpwj";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ (key[i % 12] & 0x0F));
    }
    return bytes;
}

inline ReadOutput ReadBack(const std::string& bytes) {
    ReadOutput out;
    EXPECT_GE(bytes.size(), 256u + 4u);
    if (bytes.size() < 256u + 4u) {
        return out;
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 256), std::string(256, '\x0E'));
    const std::size_t end = bytes.size() - 256 - 4;
    out.package = ReadPackageEndingAt(bytes, end);
    EXPECT_EQ(LE32At(bytes, end), end - out.package.start) << "package trailer";
    const std::uint32_t trailer = LE32At(bytes, out.package.start - 4);
    out.documentStart = out.package.start - trailer;
    out.document = Unscrambled(bytes.substr(out.documentStart, trailer - 4));
    return out;
}

// The content of the entry of that name; fails the test when there is none.
inline std::string EntryContent(const ReadPackage& package, const std::string& name) {
    for (const ReadEntry& entry : package.entries) {
        if (entry.name == name) {
            return entry.content;
        }
    }
    ADD_FAILURE() << "no entry " << name;
    return {};
}

// The lines of an option file (each ended by CR LF).
inline std::vector<std::string> OptionLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        EXPECT_NE(end, std::string::npos);
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline std::string LE32Text(std::uint32_t value) {
    std::uint8_t bytes[4];
    SetLE32(bytes, value);
    return std::string(reinterpret_cast<const char*>(bytes), 4);
}

// A package written here with zlib: entries in order, directory, its length, signature.
inline std::string HandMadePackage(
    const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string records;
    std::string directory;
    for (const auto& [name, content] : entries) {
        uLongf length = compressBound(static_cast<uLong>(content.size()));
        std::string stream(length, '\0');
        EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(stream.data()), &length,
                            reinterpret_cast<const Bytef*>(content.data()),
                            static_cast<uLong>(content.size()), Z_DEFAULT_COMPRESSION),
                  Z_OK);
        stream.resize(length);
        records += LE32Text(static_cast<std::uint32_t>(content.size())) + stream;
        directory += name + "|" + std::to_string(stream.size() + 4) + "\r\n";
    }
    return records + directory + LE32Text(static_cast<std::uint32_t>(directory.size())) +
           std::string("zsf\x01", 4);
}

// A converted output with its package replaced by one made by hand.
inline std::string WithPackage(const std::string& output, const std::string& package) {
    const ReadOutput read = ReadBack(output);
    return output.substr(0, read.package.start) + package +
           LE32Text(static_cast<std::uint32_t>(package.size())) + std::string(256, '\x0E');
}

}  // namespace quorlix::test
