#pragma once

// Test helpers for the quorlix-cli commands: an in-process run with its outputs, and an output
// executable read back from its end with zlib directly.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
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

}  // namespace quorlix::test
