#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "common/payload_layout.h"
#include "common/scramble.h"
#include "measured_case.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/program_resources.h"

namespace quorlix::bench {

namespace {

// The scramble key's low four bits laid over a whole chunk, so a chunk is scrambled word by word.
std::vector<std::uint64_t> ChunkMask() {
    std::vector<std::uint8_t> bytes(kCopyChunkSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(kScrambleKey[i % kScrambleKeyLength] & 0x0F);
    }
    std::vector<std::uint64_t> words(kCopyChunkSize / 8);
    std::memcpy(words.data(), bytes.data(), bytes.size());
    return words;
}

void Scramble(std::uint64_t* chunk, const std::vector<std::uint64_t>& mask, std::size_t count) {
    for (std::size_t i = 0; i < (count + 7) / 8; ++i) {
        chunk[i] ^= mask[i];
    }
}

// Reads the document once and writes stagedSize bytes scrambled: its bytes, then zeros once it
// ends (the staged copy is a little larger than the document).
void WriteScrambledDocument(const std::string& documentPath, std::uint64_t stagedSize,
                            File& output) {
    const std::vector<std::uint64_t> mask = ChunkMask();
    std::vector<std::uint64_t> chunk(kCopyChunkSize / 8);
    auto* bytes = reinterpret_cast<std::uint8_t*>(chunk.data());
    File source = File::Open(documentPath, File::Mode::Read);
    for (std::uint64_t done = 0; done < stagedSize;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunkSize, stagedSize - done));
        const std::size_t got = source.Read(bytes, want);
        std::fill(bytes + got, bytes + want, std::uint8_t{0});
        Scramble(chunk.data(), mask, want);
        output.WriteAll(bytes, want);
        done += want;
    }
}

// Deflates one file with the package's zlib settings (level 6, window bits 15, memory level 8)
// in 61,440-byte chunks, handing each 65,536-byte block of output to put.
template <typename Put>
void DeflateFile(const std::string& path, Put&& put) {
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw Error("deflateInit2 failed");
    }
    std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, deflateEnd);
    std::vector<std::uint8_t> in(kCopyChunkSize);
    std::vector<std::uint8_t> block(kCompressorBlockSize);
    File source = File::Open(path, File::Mode::Read);
    stream.next_out = block.data();
    stream.avail_out = kCompressorBlockSize;
    for (int flush = Z_NO_FLUSH; flush != Z_FINISH;) {
        const std::size_t got = source.Read(in.data(), in.size());
        flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = in.data();
        stream.avail_in = static_cast<uInt>(got);
        for (;;) {
            const int rc = deflate(&stream, flush);
            if (rc == Z_STREAM_ERROR) {
                throw Error("deflate failed");
            }
            if (stream.avail_out == 0 || rc == Z_STREAM_END) {
                put(block.data(), kCompressorBlockSize - stream.avail_out);
                stream.next_out = block.data();
                stream.avail_out = kCompressorBlockSize;
            }
            if (rc == Z_STREAM_END || (stream.avail_out != 0 && stream.avail_in == 0)) {
                break;
            }
        }
    }
}

// Entries deflated into memory on two threads, each taking the next entry not yet taken, and
// written to output in entry order as soon as they are done.
class TwoThreadPackage {
public:
    TwoThreadPackage(const std::vector<std::string>& paths, File& output)
        : paths_(paths), output_(output), done_(paths.size()), bytes_(paths.size()) {}

    void Run() {
        std::thread helper([this] { Compress(); });
        Compress();
        helper.join();
        WriteReady(true);
        if (error_) {
            std::rethrow_exception(error_);
        }
    }

private:
    void Compress() {
        for (;;) {
            std::size_t entry = 0;
            {
                const std::lock_guard lock(mutex_);
                if (next_ >= paths_.size() || error_) {
                    return;
                }
                entry = next_++;
            }
            std::vector<std::uint8_t> bytes;
            try {
                DeflateFile(paths_[entry], [&](const std::uint8_t* p, std::size_t n) {
                    bytes.insert(bytes.end(), p, p + n);
                });
            } catch (...) {
                const std::lock_guard lock(mutex_);
                error_ = std::current_exception();
                return;
            }
            {
                const std::lock_guard lock(mutex_);
                bytes_[entry] = std::move(bytes);
                done_[entry] = true;
            }
            if (std::this_thread::get_id() == owner_) {
                WriteReady(false);
            }
        }
    }

    // Writes the done entries that follow the written ones (all of them at the end).
    void WriteReady(bool all) {
        for (;;) {
            std::vector<std::uint8_t> bytes;
            {
                const std::lock_guard lock(mutex_);
                if (written_ >= paths_.size() || (!done_[written_] && !all) || error_) {
                    return;
                }
                bytes = std::move(bytes_[written_++]);
            }
            output_.WriteAll(bytes.data(), bytes.size());
        }
    }

    const std::vector<std::string>& paths_;
    File& output_;
    std::mutex mutex_;
    std::size_t next_ = 0;
    std::size_t written_ = 0;
    std::vector<bool> done_;
    std::vector<std::vector<std::uint8_t>> bytes_;
    std::exception_ptr error_;
    std::thread::id owner_ = std::this_thread::get_id();
};

std::vector<std::string> PackagePaths(const PackageFiles& files) {
    std::vector<std::string> paths = files.pictures;
    paths.insert(paths.end(), files.fonts.begin(), files.fonts.end());
    return paths;
}

}  // namespace

std::vector<std::uint8_t> InflatedStub() {
    const auto resource = FindProgramResource("exefile", "head");
    if (!resource || resource->size() < 4) {
        throw Error("no player stub in the program");
    }
    const std::uint8_t* p = resource->data();
    std::vector<std::uint8_t> stub(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
    uLongf size = static_cast<uLongf>(stub.size());
    if (uncompress(stub.data(), &size, p + 4, static_cast<uLong>(resource->size() - 4)) != Z_OK ||
        size != stub.size()) {
        throw Error("the player stub does not inflate");
    }
    return stub;
}

std::uint64_t RunOnePassFloor(const CaseInputs& inputs, std::uint64_t stagedSize,
                              const std::vector<std::uint8_t>& stub, int threads) {
    File output = File::Open(inputs.caseFolder + "/floor.exe", File::Mode::CreateTruncate);
    output.WriteAll(stub.data(), stub.size());
    WriteScrambledDocument(inputs.documentPath, stagedSize, output);
    const std::vector<std::string> paths = PackagePaths(*inputs.packageFiles);
    if (threads > 1) {
        TwoThreadPackage(paths, output).Run();
    } else {
        for (const std::string& path : paths) {
            DeflateFile(path, [&](const std::uint8_t* p, std::size_t n) { output.WriteAll(p, n); });
        }
    }
    const std::array<std::uint8_t, kEndMarkerSize> marker = [] {
        std::array<std::uint8_t, kEndMarkerSize> m{};
        m.fill(kEndMarkerByte);
        return m;
    }();
    output.WriteAll(marker.data(), marker.size());
    output.Sync();
    const std::uint64_t size = output.Size();
    output.Close();
    return size;
}

std::uint64_t RunStubFloor(const std::vector<std::string>& outputPaths,
                           const std::vector<std::uint8_t>& stub, bool sync) {
    for (const std::string& path : outputPaths) {
        const std::string written = sync ? path + ".part" : path;
        File output = File::Open(written, File::Mode::CreateTruncate);
        output.WriteAll(stub.data(), stub.size());
        if (sync) {
            output.Sync();
        }
        output.Close();
        if (sync && std::rename(written.c_str(), path.c_str()) != 0) {
            throw std::system_error(errno, std::generic_category(), path);
        }
    }
    return outputPaths.size();
}

}  // namespace quorlix::bench
