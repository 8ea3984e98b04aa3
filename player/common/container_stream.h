#pragma once

// The container stream, the form in which the document container saves its object:
//
//   +--------+-------------+--------+----------------------------------+
//   | "BDOC" | draw aspect | N      | compound file holding the object |
//   | 4 B    | u32 (1)     | u32    | N bytes                          |
//   +--------+-------------+--------+----------------------------------+

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorlix {

inline constexpr std::array<std::uint8_t, 4> kContainerSignature = {'B', 'D', 'O', 'C'};
inline constexpr std::uint32_t kDrawAspectContent = 1;
inline constexpr std::size_t kContainerHeaderSize = 12;

}  // namespace quorlix
