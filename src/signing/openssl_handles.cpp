#include "signing/openssl_handles.h"

#include <openssl/err.h>

#include "platform/error.h"

namespace quorlix {

std::string TakeOpenSslErrors() {
    std::string text;
    for (unsigned long code; (code = ERR_get_error()) != 0;) {
        char line[256];
        ERR_error_string_n(code, line, sizeof line);
        text += (text.empty() ? "" : "; ") + std::string(line);
    }
    return text;
}

AsnObjectHandle ObjectId(const char* dotted) {
    AsnObjectHandle object(OBJ_txt2obj(dotted, 1));
    if (!object) {
        throw Error(std::string("bad object identifier ") + dotted);
    }
    return object;
}

std::span<const std::uint8_t> AsnBytes(const ASN1_STRING* text) {
    return {ASN1_STRING_get0_data(text), static_cast<std::size_t>(ASN1_STRING_length(text))};
}

std::string NameText(const X509_NAME* name) {
    const BioHandle bio(BIO_new(BIO_s_mem()));
    if (!bio ||
        X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0) {
        return {};
    }
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace quorlix
