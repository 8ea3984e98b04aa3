#include <zlib.h>

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <new>
#include <vector>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "package/output_assembly.h"
#include "platform/error.h"
#include "platform/program_resources.h"

namespace quorlix {

namespace {

[[noreturn]] void ThrowDamaged(const std::string& reason) {
    throw Error("The resource is damaged: " + reason);
}

// An inflate stream over bytes in memory, ended when the object goes.
class Inflater {
public:
    explicit Inflater(std::span<const std::uint8_t> input) {
        if (input.size() > UINT_MAX) {
            ThrowDamaged("its stream is too long");
        }
        if (const int rc = inflateInit(&stream_); rc != Z_OK) {
            if (rc == Z_MEM_ERROR) {
                throw std::bad_alloc();
            }
            ThrowDamaged("the decompressor cannot start");
        }
        stream_.next_in = const_cast<Bytef*>(input.data());
        stream_.avail_in = static_cast<uInt>(input.size());
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Inflates into the block; returns the bytes produced and sets ended at the stream's end.
    std::size_t Next(std::vector<std::uint8_t>& block, bool& ended) {
        stream_.next_out = block.data();
        stream_.avail_out = static_cast<uInt>(block.size());
        const int rc = inflate(&stream_, Z_NO_FLUSH);
        if (rc == Z_MEM_ERROR) {
            throw std::bad_alloc();
        }
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            ThrowDamaged("its stream is damaged");
        }
        const std::size_t produced = block.size() - stream_.avail_out;
        if (rc == Z_BUF_ERROR || (produced == 0 && rc != Z_STREAM_END)) {
            ThrowDamaged("its stream is cut short");
        }
        ended = rc == Z_STREAM_END;
        return produced;
    }

private:
    z_stream stream_{};
};

// Writes exactly the first size bytes of the zlib stream to output, block by block; the whole
// stream is inflated, so a damaged one is an error, and one shorter than size too.
void InflateExactly(std::span<const std::uint8_t> stream, std::uint32_t size,
                    std::vector<std::uint8_t>& output) {
    Inflater inflater(stream);
    std::vector<std::uint8_t> block(kCompressorBlockSize);
    std::uint64_t remaining = size;
    bool ended = false;
    while (!ended) {
        const std::size_t produced = inflater.Next(block, ended);
        const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(produced, remaining));
        output.insert(output.end(), block.data(), block.data() + kept);
        remaining -= kept;
    }
    if (remaining > 0) {
        ThrowDamaged("its stream ends before " + std::to_string(size) + " bytes");
    }
}

}  // namespace

const std::vector<std::uint8_t>& InflatedProgramResource(const std::string& type,
                                                         const std::string& name) {
    static std::mutex mutex;
    static std::map<const std::uint8_t*, std::vector<std::uint8_t>> inflated;
    const auto resource = FindProgramResource(type, name);
    if (!resource) {
        throw Error("no resource " + type + "/" + name + " in the program");
    }
    const std::lock_guard lock(mutex);
    if (const auto found = inflated.find(resource->data()); found != inflated.end()) {
        return found->second;
    }
    return inflated.emplace(resource->data(), InflateResource(*resource)).first->second;
}

std::vector<std::uint8_t> InflateResource(std::span<const std::uint8_t> data) {
    if (data.size() < 4) {
        ThrowDamaged("it has no size field");
    }
    std::vector<std::uint8_t> bytes;
    const std::uint32_t size = GetLE32(data.data());
    if (size > 0) {
        InflateExactly(data.subspan(4), size, bytes);
    }
    return bytes;
}

}  // namespace quorlix
