#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quorlix {

// Random access to the bytes of an output executable: a file, a file handle or a buffer.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The number of bytes in the source; it must not change while a reader uses the source.
    virtual std::uint64_t Size() const = 0;
    // Reads exactly count bytes starting at offset; callers keep offset + count <= Size().
    // A source that cannot deliver them throws.
    virtual void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) = 0;
};

// count bytes of the source at offset, or none when they do not all lie inside it.
template <std::size_t count>
std::optional<std::array<std::uint8_t, count>> BytesAt(ByteSource& source, std::uint64_t offset) {
    if (offset > source.Size() || source.Size() - offset < count) {
        return std::nullopt;
    }
    std::array<std::uint8_t, count> bytes{};
    source.ReadAt(offset, bytes.data(), count);
    return bytes;
}

// A byte source over a buffer in memory that the caller keeps alive.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t Size() const override;
    // Throws std::out_of_range for a range outside the buffer.
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override;

private:
    std::span<const std::uint8_t> bytes_;
};

// A range of another byte source seen as a source of its own; the inner source must outlive it.
class ByteSourceSlice final : public ByteSource {
public:
    // Throws std::out_of_range when the range does not lie within the inner source.
    ByteSourceSlice(ByteSource& inner, std::uint64_t offset, std::uint64_t size);

    std::uint64_t Size() const override { return size_; }
    // Throws std::out_of_range for a range outside the slice.
    void ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) override;

private:
    ByteSource& inner_;
    std::uint64_t offset_;
    std::uint64_t size_;
};

}  // namespace quorlix
