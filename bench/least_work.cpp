#include <zlib.h>

#include <algorithm>
#include <memory>
#include <string>

#include "common/payload_layout.h"
#include "common/scramble.h"
#include "measured_case.h"
#include "platform/error.h"
#include "platform/file.h"

namespace quorlix::bench {

namespace {

// A zlib deflate stream at level 6, window bits 15, memory level 8, ended when the object goes.
class Deflater {
public:
    Deflater() {
        if (deflateInit2(&stream_, 6, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw Error("deflateInit2 failed");
        }
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
};

// Reads the source in 61,440-byte chunks and writes count bytes to the target: the source's
// bytes, then zeros once it ends (the staged copy is a little larger than the document).
std::uint64_t WriteStagedBytes(const std::string& sourcePath, const std::string& targetPath,
                               std::uint64_t count, std::uint8_t* buffer) {
    File source = File::Open(sourcePath, File::Mode::Read);
    File target = File::Open(targetPath, File::Mode::CreateTruncate);
    for (std::uint64_t done = 0; done < count;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunkSize, count - done));
        const std::size_t got = source.Read(buffer, want);
        std::fill(buffer + got, buffer + want, std::uint8_t{0});
        target.WriteAll(buffer, want);
        done += want;
    }
    target.Close();
    return count;
}

// Copies the source scrambled to the target in 61,440-byte chunks.
std::uint64_t WriteScrambledCopy(const std::string& sourcePath, const std::string& targetPath,
                                 std::uint8_t* buffer) {
    File source = File::Open(sourcePath, File::Mode::Read);
    File target = File::Open(targetPath, File::Mode::CreateTruncate);
    std::uint64_t done = 0;
    for (;;) {
        const std::size_t got = source.Read(buffer, kCopyChunkSize);
        if (got == 0) {
            break;
        }
        ScrambleBuffer(buffer, kScrambleKey, kScrambleKeyLength, got);
        target.WriteAll(buffer, got);
        done += got;
    }
    target.Close();
    return done;
}

// Runs deflate over what it holds, writing each full 65,536-byte block; returns bytes written.
std::uint64_t Deflate(z_stream& stream, int flush, File& output, std::uint8_t* block) {
    std::uint64_t written = 0;
    for (;;) {
        const int rc = deflate(&stream, flush);
        if (rc == Z_STREAM_ERROR) {
            throw Error("deflate failed");
        }
        const bool full = stream.avail_out == 0;
        if (full || rc == Z_STREAM_END) {
            const std::size_t count = kCompressorBlockSize - stream.avail_out;
            output.WriteAll(block, count);
            written += count;
            stream.next_out = block;
            stream.avail_out = kCompressorBlockSize;
        }
        if (rc == Z_STREAM_END || (!full && flush == Z_NO_FLUSH && stream.avail_in == 0)) {
            return written;
        }
    }
}

// Appends the deflate stream of the source to output; returns bytes written.
std::uint64_t DeflateFile(const std::string& sourcePath, File& output, std::uint8_t* buffer,
                          std::uint8_t* block) {
    File source = File::Open(sourcePath, File::Mode::Read);
    Deflater deflater;
    z_stream& stream = deflater.stream();
    stream.next_out = block;
    stream.avail_out = kCompressorBlockSize;
    std::uint64_t written = 0;
    for (;;) {
        const std::size_t got = source.Read(buffer, kCopyChunkSize);
        if (got == 0) {
            break;
        }
        stream.next_in = buffer;
        stream.avail_in = static_cast<uInt>(got);
        written += Deflate(stream, Z_NO_FLUSH, output, block);
    }
    return written + Deflate(stream, Z_FINISH, output, block);
}

}  // namespace

std::uint64_t RunLeastWork(const CaseInputs& inputs, std::uint64_t stagedSize) {
    const auto buffer = std::make_unique<std::uint8_t[]>(kCopyChunkSize);
    const auto block = std::make_unique<std::uint8_t[]>(kCompressorBlockSize);
    const std::string staged = inputs.caseFolder + "/staged.bin";
    std::uint64_t written = WriteStagedBytes(inputs.documentPath, staged, stagedSize, buffer.get());
    written += WriteScrambledCopy(staged, inputs.caseFolder + "/scrambled.bin", buffer.get());
    File package = File::Open(inputs.caseFolder + "/package.bin", File::Mode::CreateTruncate);
    const PackageFiles& files = *inputs.packageFiles;
    for (const auto* list : {&files.pictures, &files.fonts}) {
        for (const std::string& path : *list) {
            written += DeflateFile(path, package, buffer.get(), block.get());
        }
    }
    package.Close();
    return written;
}

}  // namespace quorlix::bench
