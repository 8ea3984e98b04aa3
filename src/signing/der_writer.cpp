#include "signing/der_writer.h"

#include <openssl/asn1.h>

#include "platform/error.h"

namespace quorlix {

DerBytes DerEncoded(std::uint8_t tag, std::span<const std::uint8_t> contents) {
    DerBytes bytes{tag};
    const std::size_t length = contents.size();
    if (length < 0x80) {
        bytes.push_back(static_cast<std::uint8_t>(length));
    } else {
        int count = 0;
        for (std::size_t rest = length; rest != 0; rest >>= 8) {
            ++count;
        }
        bytes.push_back(static_cast<std::uint8_t>(0x80 | count));
        for (int i = count - 1; i >= 0; --i) {
            bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        }
    }
    bytes.insert(bytes.end(), contents.begin(), contents.end());
    return bytes;
}

DerBytes DerJoined(std::initializer_list<std::span<const std::uint8_t>> elements) {
    DerBytes bytes;
    for (const std::span<const std::uint8_t> element : elements) {
        bytes.insert(bytes.end(), element.begin(), element.end());
    }
    return bytes;
}

std::span<const std::uint8_t> DerContents(std::span<const std::uint8_t> element) {
    const unsigned char* at = element.data();
    long length = 0;
    int tag = 0;
    int objectClass = 0;
    const int result =
        ASN1_get_object(&at, &length, &tag, &objectClass, static_cast<long>(element.size()));
    const auto header = static_cast<std::size_t>(at - element.data());
    if ((result & 0x80) != 0 || result == 0x21 ||
        header + static_cast<std::size_t>(length) != element.size()) {
        throw Error("not one whole DER element");
    }
    return element.subspan(header);
}

}  // namespace quorlix
