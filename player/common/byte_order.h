#pragma once

// Little-endian encoding of fixed-width integers; every binary format of ours goes through here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorlix {

inline std::uint16_t GetLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t GetLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t GetLE64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(GetLE32(p)) | (static_cast<std::uint64_t>(GetLE32(p + 4)) << 32);
}

inline void SetLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void SetLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

inline void SetLE64(std::uint8_t* p, std::uint64_t v) {
    SetLE32(p, static_cast<std::uint32_t>(v));
    SetLE32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

inline void PutLE16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void PutLE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

inline void PutLE64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    PutLE32(out, static_cast<std::uint32_t>(v));
    PutLE32(out, static_cast<std::uint32_t>(v >> 32));
}

}  // namespace quorlix
