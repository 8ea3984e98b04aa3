#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// Registry value types that the text form names.
inline constexpr std::uint32_t kRegString = 1;  // REG_SZ
inline constexpr std::uint32_t kRegBinary = 3;  // REG_BINARY
inline constexpr std::uint32_t kRegDword = 4;   // REG_DWORD

// One named value: its type and its data (a string's text as UTF-8 bytes, a DWORD's four bytes
// little-endian, any other type's bytes as given). An empty name is the key's default value.
struct RegistryValue {
    std::string name;
    std::uint32_t type = kRegString;
    std::string data;

    bool operator==(const RegistryValue&) const = default;
};

// One key and its values, in file order.
struct RegistryKey {
    std::string path;
    std::vector<RegistryValue> values;

    bool operator==(const RegistryKey&) const = default;
};

// The keys of one registry export file, in file order.
struct RegistryFile {
    std::vector<RegistryKey> keys;

    bool operator==(const RegistryFile&) const = default;
};

// Names and key paths compare without regard to ASCII case, as the registry does.
bool SameRegistryName(std::string_view a, std::string_view b);

// Reads the text form of a registry export file:
//
//   Windows Registry Editor Version 5.00        first line (a UTF-8 byte order mark may precede)
//                                               blank lines and lines starting ";" are skipped
//   [HKEY_CURRENT_USER\SOFTWARE\...]            a key; its values follow
//   "name"="text"                               string, \\ and \" escaped
//   @="text"                                    the key's default value
//   "name"=dword:0000000a                       DWORD, 1 to 8 hexadecimal digits
//   "name"=hex:01,02,\                          binary; a line ending "\" goes on in the next
//     03                                        line; hex(N): is a value of type N
//
// Lines end with LF or CR LF. A name repeated in a key replaces the earlier value in its place;
// a key repeated adds to the earlier one. Throws quorlix::Error "line N: reason" for text that
// is not of this form.
RegistryFile ParseRegistryText(std::string_view text);

// Writes the text form with CR LF line ends: the header, then each key after a blank line, one
// value a line, and a blank line at the end. A string holding a control character (which a
// quoted text cannot carry on one line) is written as hex(1): with its bytes.
std::string RegistryText(const RegistryFile& file);

// One value as its line of the text form, without the line end ("name"="text").
std::string RegistryValueLine(const RegistryValue& value);

}  // namespace quorlix
