#include "common/der_reader.h"

#include <string>

#include "common/signature_error.h"

namespace quorlix {

namespace {

constexpr std::uint8_t kHighTagNumber = 0x1F;
constexpr std::uint8_t kLongLength = 0x80;
constexpr std::size_t kMaxLengthBytes = 4;

[[noreturn]] void Malformed(const std::string& what) {
    throw SignatureError("the code signature is malformed: " + what);
}

}  // namespace

DerElement DerReader::Next() {
    if (rest_.size() < 2) {
        Malformed("an element is cut short");
    }
    const std::uint8_t tag = rest_[0];
    if ((tag & kHighTagNumber) == kHighTagNumber) {
        Malformed("an element has a multi-byte tag");
    }
    std::size_t length = rest_[1];
    std::size_t header = 2;
    if ((length & kLongLength) != 0) {
        const std::size_t count = length & ~std::size_t{kLongLength};
        if (count == 0 || count > kMaxLengthBytes) {
            Malformed("an element has an indefinite or oversized length");
        }
        if (rest_.size() - header < count) {
            Malformed("an element's length is cut short");
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = (length << 8) | rest_[header + i];
        }
        header += count;
    }
    if (length > rest_.size() - header) {
        Malformed("an element runs past its enclosing one");
    }
    const DerElement element{tag, rest_.subspan(header, length)};
    rest_ = rest_.subspan(header + length);
    return element;
}

DerElement DerReader::Expect(std::uint8_t tag, const char* what) {
    if (rest_.empty()) {
        Malformed(std::string("no ") + what);
    }
    const DerElement element = Next();
    if (element.tag != tag) {
        Malformed(std::string("no ") + what + " where one belongs");
    }
    return element;
}

}  // namespace quorlix
