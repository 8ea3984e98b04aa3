#pragma once

#include <openssl/evp.h>

#include <span>

#include "signing/der_writer.h"

namespace quorlix {

// The content a program's code signature signs: Microsoft's indirect data naming a PE image and
// its digest (SpcIndirectDataContent), DER encoded, tag and length included.
//
//   SEQUENCE { SEQUENCE { OID pe-image-data, SEQUENCE { BIT STRING flags (none),
//                         [0] { [2] { [0] "<<<Obsolete>>>" (UTF-16BE) } } } },
//              DigestInfo { SEQUENCE { OID digest algorithm, NULL }, OCTET STRING digest } }
DerBytes ImageIndirectData(const EVP_MD* md, std::span<const std::uint8_t> digest);

// The signed attribute values that say what was signed: an empty program description
// (SpcSpOpusInfo) and the statement "individual code signing" (SpcStatementType).
DerBytes EmptyOpusInfo();
DerBytes IndividualStatementType();

// An object identifier as a DER element.
DerBytes ObjectIdElement(const char* dotted);

}  // namespace quorlix
