// The strict Base64 codec: any bytes encode and decode back unchanged, and
// any text decodes exactly when it is strict Base64, to bytes that encode
// back to the same text but for the unused low bits of its last character.
// As JSON string text (each '/' written "\/") the same bytes are written and
// read, and a text with any other escape is left to the JSON reader.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "image/base64.h"

namespace {

bool inAlphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Four-character groups of the alphabet; the last may end in "=" or "==".
bool strict(std::string_view text) {
    if (text.size() % 4 != 0) return false;
    size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
    return std::all_of(text.begin(), text.end() - static_cast<std::ptrdiff_t>(padding), inAlphabet);
}

// The text as a JSON string holds it, quotes left out.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '/') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using quillgate::image::base64Decode;
    using quillgate::image::base64DecodeJson;
    using quillgate::image::base64Encode;
    using quillgate::image::JsonBase64;

    const std::string encoded = base64Encode(std::span(data, size));
    const auto back = base64Decode(encoded);
    if (encoded.size() != (size + 2) / 3 * 4 || !back || !std::equal(back->begin(), back->end(), data, data + size))
        std::abort();

    std::string json = "kept";
    quillgate::image::appendJsonBase64(std::span(data, size), json);
    if (json != "kept" + escaped(encoded)) std::abort();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto decoded = base64Decode(text);
    if (decoded.has_value() != strict(text)) std::abort();
    std::vector<uint8_t> fromJson{1, 2, 3};
    const JsonBase64 read = base64DecodeJson(escaped(text), fromJson);
    if (text.find('\\') != std::string_view::npos ? read != JsonBase64::otherEscape
                                                   : (read == JsonBase64::decoded) != decoded.has_value() ||
                                                         (decoded && fromJson != *decoded))
        std::abort();
    if (!decoded) return 0;
    const std::string again = base64Encode(*decoded);
    const size_t padding = static_cast<size_t>(std::count(text.end() - std::min<size_t>(2, size), text.end(), '='));
    const size_t exact = size > padding ? size - padding - 1 : 0;  // all but the last character's free bits
    if (again.size() != size || again.compare(0, exact, text, 0, exact) != 0 ||
        again.compare(size - padding, padding, text, size - padding, padding) != 0)
        std::abort();
    return 0;
}
