#pragma once
// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillgate::image {

std::string base64Encode(std::span<const uint8_t> bytes);
inline std::string base64Encode(std::string_view bytes) {
    return base64Encode(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

// Strict decoding: any character outside the alphabet (whitespace included),
// a length that is not a multiple of four or misplaced padding make the text
// invalid.
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

}  // namespace quillgate::image
