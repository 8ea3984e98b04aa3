#include "signing/timestamp_client.h"

#include <openssl/bn.h>
#include <openssl/http.h>
#include <openssl/rand.h>

#include "platform/error.h"
#include "signing/openssl_handles.h"

namespace quorlix {

namespace {

// A server that does not answer (or refuses the connection: the client tries again meanwhile)
// fails the output after this long.
constexpr int kTimeoutSeconds = 20;
constexpr std::size_t kMaxReplySize = 1 << 20;
constexpr int kNonceBytes = 8;

using TsMsgImprintHandle = std::unique_ptr<TS_MSG_IMPRINT, FunctionDeleter<TS_MSG_IMPRINT_free>>;
using X509AlgorHandle = std::unique_ptr<X509_ALGOR, FunctionDeleter<X509_ALGOR_free>>;
using BignumHandle = std::unique_ptr<BIGNUM, FunctionDeleter<BN_free>>;
using TsVerifyCtxHandle = std::unique_ptr<TS_VERIFY_CTX, FunctionDeleter<TS_VERIFY_CTX_free>>;

// Frees what OSSL_HTTP_parse_url hands back.
struct UrlParts {
    int tls = 0;
    char* user = nullptr;
    char* host = nullptr;
    char* port = nullptr;
    int portNumber = 0;
    char* path = nullptr;
    char* query = nullptr;
    char* fragment = nullptr;

    UrlParts() = default;
    UrlParts(const UrlParts&) = delete;
    UrlParts& operator=(const UrlParts&) = delete;
    ~UrlParts() {
        for (char* part : {user, host, port, path, query, fragment}) {
            OPENSSL_free(part);
        }
    }
};

void ParseAddress(const std::string& url, UrlParts& parts) {
    if (OSSL_HTTP_parse_url(url.c_str(), &parts.tls, &parts.user, &parts.host, &parts.port,
                            &parts.portNumber, &parts.path, &parts.query, &parts.fragment) != 1) {
        TakeOpenSslErrors();
        throw Error("the timestamp address " + url + " is not a web address");
    }
    if (parts.tls != 0 || !url.starts_with("http://")) {
        throw Error("the timestamp address " + url + " is not an http:// address");
    }
}

// The request: the digest, a fresh nonce, and the authority's certificate asked for.
TsReqHandle NewRequest(std::span<const std::uint8_t> sha256) {
    TsReqHandle request(TS_REQ_new());
    const TsMsgImprintHandle imprint(TS_MSG_IMPRINT_new());
    const X509AlgorHandle algorithm(X509_ALGOR_new());
    unsigned char nonceBytes[kNonceBytes];
    const bool ok =
        request && imprint && algorithm && TS_REQ_set_version(request.get(), 1) == 1 &&
        X509_ALGOR_set0(algorithm.get(), OBJ_nid2obj(NID_sha256), V_ASN1_NULL, nullptr) == 1 &&
        TS_MSG_IMPRINT_set_algo(imprint.get(), algorithm.get()) == 1 &&
        TS_MSG_IMPRINT_set_msg(imprint.get(), const_cast<std::uint8_t*>(sha256.data()),
                               static_cast<int>(sha256.size())) == 1 &&
        TS_REQ_set_msg_imprint(request.get(), imprint.get()) == 1 &&
        RAND_bytes(nonceBytes, kNonceBytes) == 1 && TS_REQ_set_cert_req(request.get(), 1) == 1;
    const BignumHandle nonceNumber(ok ? BN_bin2bn(nonceBytes, kNonceBytes, nullptr) : nullptr);
    const AsnIntegerHandle nonce(nonceNumber ? BN_to_ASN1_INTEGER(nonceNumber.get(), nullptr)
                                             : nullptr);
    if (!nonce || TS_REQ_set_nonce(request.get(), nonce.get()) != 1) {
        throw Error("cannot make a timestamp request: " + TakeOpenSslErrors());
    }
    return request;
}

BioHandle Post(const std::string& url, const UrlParts& parts, TS_REQ* request) {
    const BioHandle body(BIO_new(BIO_s_mem()));
    if (!body || i2d_TS_REQ_bio(body.get(), request) != 1) {
        throw Error("cannot make a timestamp request: " + TakeOpenSslErrors());
    }
    std::string path = parts.path;
    if (parts.query != nullptr && *parts.query != '\0') {
        path += std::string("?") + parts.query;
    }
    BioHandle reply(OSSL_HTTP_transfer(nullptr, parts.host, parts.port, path.c_str(), 0, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                                       "application/timestamp-query", body.get(), nullptr, 1,
                                       kMaxReplySize, kTimeoutSeconds, 0));
    if (!reply) {
        throw Error("no timestamp from " + url + " (" + TakeOpenSslErrors() + ")");
    }
    return reply;
}

// The reply must grant a timestamp for this request's digest and nonce.
void CheckReply(const std::string& url, TS_REQ* request, TS_RESP* reply) {
    const ASN1_INTEGER* status = TS_STATUS_INFO_get0_status(TS_RESP_get_status_info(reply));
    const long granted = ASN1_INTEGER_get(status);
    if (granted != 0 && granted != 1) {
        throw Error("the timestamp server at " + url + " refused the request (status " +
                    std::to_string(granted) + ")");
    }
    // The authority is not judged here (verify checks the token's signature); its answer must
    // be for this request.
    const TsVerifyCtxHandle check(TS_REQ_to_TS_VERIFY_CTX(request, nullptr));
    if (check) {
        TS_VERIFY_CTX_set_flags(check.get(), TS_VFY_VERSION | TS_VFY_IMPRINT | TS_VFY_NONCE);
    }
    if (!check || TS_RESP_verify_response(check.get(), reply) != 1) {
        throw Error("the timestamp from " + url + " is not for this request (" +
                    TakeOpenSslErrors() + ")");
    }
}

}  // namespace

void CheckTimestampAddress(const std::string& url) {
    UrlParts parts;
    ParseAddress(url, parts);
}

DerBytes RequestTimestampToken(const std::string& url, std::span<const std::uint8_t> sha256) {
    UrlParts parts;
    ParseAddress(url, parts);
    const TsReqHandle request = NewRequest(sha256);
    const BioHandle answer = Post(url, parts, request.get());
    const TsRespHandle reply(d2i_TS_RESP_bio(answer.get(), nullptr));
    if (!reply) {
        TakeOpenSslErrors();
        throw Error("the timestamp server at " + url + " did not answer with a timestamp reply");
    }
    CheckReply(url, request.get(), reply.get());
    unsigned char* der = nullptr;
    const int length = i2d_PKCS7(TS_RESP_get_token(reply.get()), &der);
    if (length <= 0) {
        throw Error("the timestamp from " + url + " holds no token");
    }
    DerBytes token(der, der + length);
    OPENSSL_free(der);
    return token;
}

}  // namespace quorlix
