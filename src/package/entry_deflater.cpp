#include "package/entry_deflater.h"

#include <algorithm>
#include <new>

#include "common/byte_order.h"
#include "common/payload_layout.h"
#include "package/package_writer.h"
#include "platform/error.h"

namespace quorlix {

EntryDeflater::EntryDeflater(const PackageSource& source) : bytes_(source.bytes) {
    if (bytes_) {
        remaining_ = bytes_->size();
    } else {
        file_.emplace(File::Open(source.path, File::Mode::Read));
        remaining_ = file_->Size();
    }
    CheckEntrySize(remaining_, source.path);
    CompressedBlock sizeField;
    PutLE32(sizeField.bytes, static_cast<std::uint32_t>(remaining_));
    recordLength_ = sizeField.bytes.size();
    pending_.push_back(std::move(sizeField));
    if (file_) {
        chunk_.resize(
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, kCopyChunkSize)));
    }
    block_.resize(kCompressorBlockSize);
    const int rc =
        deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (rc == Z_MEM_ERROR) {
        throw std::bad_alloc();
    }
    if (rc != Z_OK) {
        throw Error("Compression failed: code " + std::to_string(rc));
    }
    stream_.next_out = block_.data();
    stream_.avail_out = kCompressorBlockSize;
}

EntryDeflater::~EntryDeflater() {
    deflateEnd(&stream_);
}

bool EntryDeflater::Step(std::vector<CompressedBlock>& out) {
    if (ended_) {
        return false;
    }
    for (CompressedBlock& block : pending_) {
        out.push_back(std::move(block));
    }
    pending_.clear();
    if (remaining_ > 0) {
        const auto size =
            static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, kCopyChunkSize));
        stream_.next_in = const_cast<std::uint8_t*>(NextChunk(size));
        stream_.avail_in = static_cast<uInt>(size);
        Deflate(Z_NO_FLUSH, out);
        remaining_ -= size;
        return true;
    }
    stream_.next_in = nullptr;
    stream_.avail_in = 0;
    Deflate(Z_FINISH, out);
    ended_ = true;
    if (file_) {
        file_->Close();
    }
    return false;
}

const std::uint8_t* EntryDeflater::NextChunk(std::size_t size) {
    if (bytes_) {
        const auto* at = reinterpret_cast<const std::uint8_t*>(bytes_->data()) + taken_;
        taken_ += size;
        return at;
    }
    file_->ReadExactly(chunk_.data(), size);
    return chunk_.data();
}

// The same loop as the sequential compressor's, so blocks and reports fall at the same bytes.
void EntryDeflater::Deflate(int flush, std::vector<CompressedBlock>& out) {
    for (;;) {
        const int rc = deflate(&stream_, flush);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            throw Error(std::string("Compression failed: ") +
                        (stream_.msg != nullptr ? stream_.msg : "code " + std::to_string(rc)));
        }
        if (stream_.avail_out == 0) {
            EndBlock(out, stream_.total_in);
            continue;
        }
        if (rc == Z_STREAM_END) {
            EndBlock(out, std::nullopt);
            return;
        }
        if (flush == Z_NO_FLUSH && stream_.avail_in == 0) {
            return;
        }
        if (rc == Z_BUF_ERROR) {
            throw Error("Compression failed: no progress");
        }
    }
}

void EntryDeflater::EndBlock(std::vector<CompressedBlock>& out,
                             std::optional<std::uint64_t> takenIn) {
    const std::size_t count = kCompressorBlockSize - stream_.avail_out;
    CompressedBlock block;
    block.bytes.assign(block_.begin(), block_.begin() + static_cast<std::ptrdiff_t>(count));
    block.takenIn = takenIn;
    recordLength_ += count;
    out.push_back(std::move(block));
    stream_.next_out = block_.data();
    stream_.avail_out = kCompressorBlockSize;
}

}  // namespace quorlix
