#pragma once

namespace quorlix {

// Object identifiers of Microsoft's code signing (Authenticode) structures.
inline constexpr char kIndirectDataOid[] = "1.3.6.1.4.1.311.2.1.4";
inline constexpr char kPeImageDataOid[] = "1.3.6.1.4.1.311.2.1.15";
inline constexpr char kStatementTypeOid[] = "1.3.6.1.4.1.311.2.1.11";
inline constexpr char kOpusInfoOid[] = "1.3.6.1.4.1.311.2.1.12";
inline constexpr char kIndividualSigningOid[] = "1.3.6.1.4.1.311.2.1.21";
// An RFC 3161 timestamp token kept as an unsigned attribute of the signer.
inline constexpr char kRfc3161TimestampOid[] = "1.3.6.1.4.1.311.3.3.1";

}  // namespace quorlix
