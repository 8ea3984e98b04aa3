#include "signing/image_digest.h"

#include "package/pe_headers.h"
#include "platform/error.h"
#include "signing/openssl_handles.h"

namespace quorlix {

namespace {

class Digest {
public:
    explicit Digest(const EVP_MD* md) : context_(EVP_MD_CTX_new()) {
        if (!context_ || EVP_DigestInit_ex(context_.get(), md, nullptr) != 1) {
            throw Error("cannot start the digest: " + TakeOpenSslErrors());
        }
    }

    void Add(std::span<const std::uint8_t> bytes) {
        if (EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1) {
            throw Error("cannot compute the digest: " + TakeOpenSslErrors());
        }
    }

    std::vector<std::uint8_t> Finish() {
        std::vector<std::uint8_t> value(EVP_MAX_MD_SIZE);
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(context_.get(), value.data(), &length) != 1) {
            throw Error("cannot compute the digest: " + TakeOpenSslErrors());
        }
        value.resize(length);
        return value;
    }

private:
    EvpMdCtxHandle context_;
};

}  // namespace

std::vector<std::uint8_t> ImageDigest(ByteSource& source, const ImageSignatureFields& fields,
                                      std::uint64_t end, const EVP_MD* md,
                                      PeChecksumSum* checksum) {
    Digest digest(md);
    ReadDigestedBytes(source, fields, end,
                      [&](std::uint64_t position, std::span<const std::uint8_t> chunk) {
                          digest.Add(chunk);
                          if (checksum != nullptr) {
                              checksum->Add(position, chunk);
                          }
                      });
    return digest.Finish();
}

std::vector<std::uint8_t> BytesDigest(const EVP_MD* md, std::span<const std::uint8_t> bytes) {
    Digest digest(md);
    digest.Add(bytes);
    return digest.Finish();
}

}  // namespace quorlix
