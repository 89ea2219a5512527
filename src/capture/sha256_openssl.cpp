#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

#include "capture/sha256.h"

namespace quillgate {
namespace {

struct DigestFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

}  // namespace

Sha256Digest sha256(std::span<const std::span<const uint8_t>> pieces) {
    std::unique_ptr<EVP_MD_CTX, DigestFree> ctx(EVP_MD_CTX_new());
    bool ok = ctx && EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr);
    for (size_t i = 0; ok && i < pieces.size(); ++i)
        ok = EVP_DigestUpdate(ctx.get(), pieces[i].data(), pieces[i].size());
    Sha256Digest digest{};
    unsigned int size = 0;
    if (!ok || !EVP_DigestFinal_ex(ctx.get(), digest.data(), &size) || size != digest.size())
        throw std::runtime_error("SHA-256 failed");
    return digest;
}

}  // namespace quillgate
