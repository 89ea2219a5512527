#pragma once
// The PNG reader checked against libspng on the same bytes: the same pixels,
// or both refuse. Where the reader is deliberately stricter than libspng the
// harness confirms the reason on its own before it lets a refusal pass: an
// image stream that is not exactly one complete zlib stream of the header's
// size (libspng stops reading once it has its rows), an IEND chunk cut short
// or with a wrong CRC (libspng never reads it), or a second palette (libspng
// lets a later one overwrite the first).

#include <cstdint>
#include <span>
#include <string>

#include "image/png.h"

namespace quillgate::fuzz {

// Empty when the two readers agree on `bytes` under `limits`; otherwise
// what differs.
std::string comparePngReaders(std::span<const uint8_t> bytes, const image::DecodeLimits& limits);

}  // namespace quillgate::fuzz
