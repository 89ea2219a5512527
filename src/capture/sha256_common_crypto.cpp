#include <CommonCrypto/CommonDigest.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "capture/sha256.h"

namespace quillgate {

Sha256Digest sha256(std::span<const std::span<const uint8_t>> pieces) {
    static_assert(CC_SHA256_DIGEST_LENGTH == std::tuple_size_v<Sha256Digest>);
    CC_SHA256_CTX ctx;
    bool ok = CC_SHA256_Init(&ctx) == 1;
    // Each update takes at most a 32-bit length.
    constexpr size_t largest = std::numeric_limits<CC_LONG>::max();
    for (std::span<const uint8_t> piece : pieces) {
        while (ok && !piece.empty()) {
            const size_t length = std::min(piece.size(), largest);
            ok = CC_SHA256_Update(&ctx, piece.data(), static_cast<CC_LONG>(length)) == 1;
            piece = piece.subspan(length);
        }
    }
    Sha256Digest digest{};
    if (!ok || CC_SHA256_Final(digest.data(), &ctx) != 1) throw std::runtime_error("SHA-256 failed");
    return digest;
}

}  // namespace quillgate
