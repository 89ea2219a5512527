#pragma once
// The two pure functions on captured pictures: the PNG sent to the host, and
// the region hash that fingerprints the conversation header. The hash is a
// contract with the host (it stores what "bind-region" issued and hands it
// back), so the exact bytes hashed must never change.

#include <string>

#include "core/binding.h"
#include "platform/image.h"

namespace quillgate {

// The picture as PNG bytes. Throws GuardFailure(msg::captureEmpty) when
// encoding gives nothing.
std::string png(const Image& image);

// SHA-256, as 64 lowercase hex digits, of the region's premultiplied RGBA
// rows (4 x width bytes each, top to bottom, no gaps). The region's sides
// must all be there and whole, with the region at least 2x2 and inside the
// picture; otherwise throws GuardFailure(msg::invalidGuardRegion).
std::string hash(const Image& image, const GuardRegion& region);

// Whether `image` would give the same hash as `hashed` for the region, told
// by comparing the hashed bytes themselves rather than a second digest.
// Throws as `hash` does for `image`; `hashed` must already have been hashed
// with this region.
bool sameHash(const Image& image, const Image& hashed, const GuardRegion& region);

}  // namespace quillgate
