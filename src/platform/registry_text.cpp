#include "platform/registry_text.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "platform/error.h"

namespace quorlix {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

[[noreturn]] void Fail(std::size_t line, const std::string& why) {
    throw Error("line " + std::to_string(line) + ": " + why);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) {
        return (c | 0x20) - 'a' + 10;
    }
    return -1;
}

// Reads up to limit hexadecimal digits from the front of s; count gets how many there were.
std::uint32_t TakeHex(std::string_view& s, std::size_t limit, std::size_t& count) {
    std::uint32_t value = 0;
    count = 0;
    while (count < limit && count < s.size() && HexDigit(s[count]) >= 0) {
        value = value * 16 + static_cast<std::uint32_t>(HexDigit(s[count]));
        ++count;
    }
    s.remove_prefix(count);
    return value;
}

// The lines of a text, LF or CR LF ended, numbered from 1.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) {
        if (position_ >= text_.size()) {
            return false;
        }
        const std::size_t end = std::min(text_.find('\n', position_), text_.size());
        line = text_.substr(position_, end - position_);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        position_ = end + 1;
        ++number_;
        return true;
    }

    std::size_t number() const { return number_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

// Reads a quoted text with \\ and \" escapes from the front of s, which starts with '"'.
std::string TakeQuoted(std::string_view& s, std::size_t line) {
    std::string text;
    std::size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                Fail(line, "a backslash in a quoted text must be followed by \\ or \"");
            }
            ++i;
        }
        text += s[i];
    }
    if (i >= s.size()) {
        Fail(line, "a quoted text has no closing quote");
    }
    s.remove_prefix(i + 1);
    return text;
}

void ExpectLineEnd(std::string_view rest, std::size_t line) {
    if (!TrimLeft(rest).empty()) {
        Fail(line, "unexpected text after the value");
    }
}

// Reads comma-separated hexadecimal bytes; a trailing "\" continues them on the next line.
std::string TakeHexBytes(std::string_view rest, LineReader& lines) {
    std::string bytes;
    bool needComma = false;
    for (;;) {
        rest = TrimLeft(rest);
        if (rest.empty()) {
            return bytes;
        }
        if (rest.front() == '\\' && TrimLeft(rest.substr(1)).empty()) {
            if (!lines.Next(rest)) {
                Fail(lines.number(), "the file ends inside a hexadecimal value");
            }
            continue;
        }
        if (needComma) {
            if (rest.front() != ',') {
                Fail(lines.number(), "expected ',' between hexadecimal bytes");
            }
            rest.remove_prefix(1);
            needComma = false;
            continue;
        }
        std::size_t digits = 0;
        bytes += static_cast<char>(TakeHex(rest, 2, digits));
        if (digits == 0) {
            Fail(lines.number(), "expected a hexadecimal byte");
        }
        needComma = true;
    }
}

std::string DwordBytes(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// Reads the part after '=' of a value line into value.
void TakeData(std::string_view rest, LineReader& lines, RegistryValue& value) {
    const std::size_t line = lines.number();
    std::size_t digits = 0;
    if (!rest.empty() && rest.front() == '"') {
        value.type = kRegString;
        value.data = TakeQuoted(rest, line);
        ExpectLineEnd(rest, line);
    } else if (rest.starts_with("dword:")) {
        rest.remove_prefix(6);
        value.type = kRegDword;
        value.data = DwordBytes(TakeHex(rest, 8, digits));
        if (digits == 0) {
            Fail(line, "expected 1 to 8 hexadecimal digits after dword:");
        }
        ExpectLineEnd(rest, line);
    } else if (rest.starts_with("hex:")) {
        value.type = kRegBinary;
        value.data = TakeHexBytes(rest.substr(4), lines);
    } else if (rest.starts_with("hex(")) {
        rest.remove_prefix(4);
        value.type = TakeHex(rest, 8, digits);
        if (digits == 0 || !rest.starts_with("):")) {
            Fail(line, "expected hex(type): with a hexadecimal type");
        }
        value.data = TakeHexBytes(rest.substr(2), lines);
    } else {
        Fail(line, "expected a quoted text, dword: or hex: after '='");
    }
}

RegistryValue TakeValue(std::string_view rest, LineReader& lines) {
    const std::size_t line = lines.number();
    RegistryValue value;
    if (rest.front() == '@') {
        rest.remove_prefix(1);
    } else if (rest.front() == '"') {
        value.name = TakeQuoted(rest, line);
    } else {
        Fail(line, "expected a key in [ ], a quoted value name or @");
    }
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=') {
        Fail(line, "expected '=' after the value name");
    }
    TakeData(TrimLeft(rest.substr(1)), lines, value);
    return value;
}

std::string TakeKeyPath(std::string_view rest, std::size_t line) {
    const std::size_t close = rest.rfind(']');
    if (close == rest.npos || !TrimLeft(rest.substr(close + 1)).empty()) {
        Fail(line, "a key name has no closing ']'");
    }
    const std::string_view path = rest.substr(1, close - 1);
    if (path.empty() || path.front() == '-') {
        Fail(line, "expected a key name in [ ]");
    }
    return std::string(path);
}

// A registry name with ASCII letters folded to lower case, as names are compared.
std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c | 0x20);
        }
    }
    return folded;
}

// The file being read, with the place of each key and value by folded name, so that every
// line is placed in constant time.
class FileBuilder {
public:
    // Makes the key of that path current, added when the file has none yet.
    void StartKey(const std::string& path) {
        const auto [at, added] = keys_.try_emplace(FoldedName(path), file_.keys.size());
        if (added) {
            file_.keys.push_back(RegistryKey{path, {}});
            values_.emplace_back();
        }
        key_ = at->second;
    }

    // Adds a value to the current key; a name it holds already has its value replaced in place.
    void AddValue(RegistryValue value) {
        RegistryKey& key = file_.keys[key_];
        const auto [at, added] =
            values_[key_].try_emplace(FoldedName(value.name), key.values.size());
        if (added) {
            key.values.push_back(std::move(value));
            return;
        }
        RegistryValue& old = key.values[at->second];
        old.type = value.type;
        old.data = std::move(value.data);
    }

    bool InKey() const { return !file_.keys.empty(); }
    RegistryFile Take() { return std::move(file_); }

private:
    RegistryFile file_;
    std::unordered_map<std::string, std::size_t> keys_;
    std::vector<std::unordered_map<std::string, std::size_t>> values_;
    std::size_t key_ = 0;
};

void ReadHeader(LineReader& lines) {
    std::string_view first;
    if (!lines.Next(first) || TrimRight(first) != kHeader) {
        Fail(1, "the file does not start with \"" + std::string(kHeader) + "\"");
    }
}

bool NeedsHexForm(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string HexBytes(std::string_view bytes) {
    std::string text;
    char digits[4];
    for (const char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        text += (text.empty() ? "" : ",") + std::string(digits);
    }
    return text;
}

std::uint32_t DwordOf(std::string_view bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

std::string DataText(const RegistryValue& value) {
    char prefix[32];
    if (value.type == kRegString && !NeedsHexForm(value.data)) {
        return Quoted(value.data);
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        std::snprintf(prefix, sizeof prefix, "dword:%08x", DwordOf(value.data));
        return prefix;
    }
    if (value.type == kRegBinary) {
        return "hex:" + HexBytes(value.data);
    }
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
    return prefix + HexBytes(value.data);
}

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] | 0x20) : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] | 0x20) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

RegistryFile ParseRegistryText(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    LineReader lines(text);
    ReadHeader(lines);
    FileBuilder file;
    std::string_view line;
    while (lines.Next(line)) {
        line = TrimLeft(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            file.StartKey(TakeKeyPath(line, lines.number()));
        } else if (!file.InKey()) {
            Fail(lines.number(), "a value before the first key");
        } else {
            file.AddValue(TakeValue(line, lines));
        }
    }
    return file.Take();
}

std::string RegistryText(const RegistryFile& file) {
    std::string text = std::string(kHeader) + std::string(kLineEnd);
    for (const RegistryKey& key : file.keys) {
        text += std::string(kLineEnd) + "[" + key.path + "]" + std::string(kLineEnd);
        for (const RegistryValue& value : key.values) {
            text += RegistryValueLine(value) + std::string(kLineEnd);
        }
    }
    return text + std::string(kLineEnd);
}

std::string RegistryValueLine(const RegistryValue& value) {
    return (value.name.empty() ? std::string("@") : Quoted(value.name)) + "=" + DataText(value);
}

}  // namespace quorlix
