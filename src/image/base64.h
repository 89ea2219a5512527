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

// Appends the Base64 text of `bytes` as the inside of a JSON string: the
// same characters, but each '/' written as the escape "\/".
void appendJsonBase64(std::span<const uint8_t> bytes, std::string& out);
inline void appendJsonBase64(std::string_view bytes, std::string& out) {
    appendJsonBase64(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), out);
}

// Strict decoding: any character outside the alphabet (whitespace included),
// a length that is not a multiple of four or misplaced padding make the text
// invalid.
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

// What came of Base64 text as it stands inside a JSON string.
enum class JsonBase64 { decoded, invalid, otherEscape };

// Strict decoding as above of the text between a JSON string's quotes, where
// "\/" stands for '/', straight into `out` (whose memory a caller may keep
// for the next picture). otherEscape when the text holds any other escape:
// such a string is to be read as JSON and its value decoded.
JsonBase64 base64DecodeJson(std::string_view text, std::vector<uint8_t>& out);

}  // namespace quillgate::image
