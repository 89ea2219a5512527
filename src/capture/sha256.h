#pragma once
// SHA-256 (FIPS 180-4) from the system: CommonCrypto on macOS, OpenSSL
// elsewhere. Both give the same digest.

#include <array>
#include <cstdint>
#include <span>

namespace quillgate {

using Sha256Digest = std::array<uint8_t, 32>;

// The digest of the pieces taken in order as one message. Throws
// std::runtime_error when the implementation fails.
Sha256Digest sha256(std::span<const std::span<const uint8_t>> pieces);

}  // namespace quillgate
