#include "common/byte_source.h"

#include <cstring>
#include <stdexcept>

namespace quorlix {

std::uint64_t MemoryByteSource::Size() const {
    return bytes_.size();
}

void MemoryByteSource::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) {
        throw std::out_of_range("read past the end of the buffer");
    }
    if (count != 0) {
        std::memcpy(buffer, bytes_.data() + offset, count);
    }
}

ByteSourceSlice::ByteSourceSlice(ByteSource& inner, std::uint64_t offset, std::uint64_t size)
    : inner_(inner), offset_(offset), size_(size) {
    if (offset > inner.Size() || size > inner.Size() - offset) {
        throw std::out_of_range("slice beyond the end of its source");
    }
}

void ByteSourceSlice::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    if (offset > size_ || count > size_ - offset) {
        throw std::out_of_range("read past the end of the slice");
    }
    inner_.ReadAt(offset_ + offset, buffer, count);
}

}  // namespace quorlix
