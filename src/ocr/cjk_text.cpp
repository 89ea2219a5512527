#include "cjk_text.h"

#include <array>
#include <vector>

namespace lumascan {
namespace {

constexpr std::array<std::pair<char32_t, std::string_view>, 5> fullWidthForms{{
    {U'!', "\uFF01"}, {U'?', "\uFF1F"}, {U',', "\uFF0C"}, {U':', "\uFF1A"}, {U';', "\uFF1B"},
}};

}  // namespace

std::pair<char32_t, std::size_t> codePointAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || i + length > text.size()) return {lead < 0x80 ? lead : 0, 1};
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    return {code, length};
}

bool isChinese(char32_t c) {
    return (c >= 0x3000 && c <= 0x303F)      // CJK symbols and punctuation
           || (c >= 0x3400 && c <= 0x4DBF)   // ideographs, extension A
           || (c >= 0x4E00 && c <= 0x9FFF)   // unified ideographs
           || (c >= 0xF900 && c <= 0xFAFF)   // compatibility ideographs
           || (c >= 0xFF00 && c <= 0xFFEF)   // full-width forms
           || (c >= 0x20000 && c <= 0x3FFFF);  // ideographs, extensions B and on
}

bool isFullWidthMark(char32_t c) {
    const bool letterOrDigit = (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||
                               (c >= 0xFF41 && c <= 0xFF5A);
    return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF && !letterOrDigit);
}

std::string_view fullWidthOf(char32_t c) {
    for (const auto& [ascii, wide] : fullWidthForms) {
        if (c == ascii) return wide;
    }
    return {};
}

std::string halfWidthPunctuation(std::string_view text) {
    std::vector<std::pair<char32_t, std::size_t>> codes;  // code point, byte offset
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, length] = codePointAt(text, i);
        codes.emplace_back(code, i);
        i += length;
    }
    const auto chineseNear = [&](std::size_t k, int direction) {
        for (auto j = static_cast<std::ptrdiff_t>(k) + direction;
             j >= 0 && j < static_cast<std::ptrdiff_t>(codes.size()); j += direction) {
            if (codes[j].first != U' ') return isChinese(codes[j].first);
        }
        return false;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const auto [code, at] = codes[k];
        const auto end = k + 1 < codes.size() ? codes[k + 1].second : text.size();
        char ascii = 0;
        for (const auto& [narrow, wide] : fullWidthForms) {
            if (codePointAt(wide, 0).first == code) ascii = static_cast<char>(narrow);
        }
        if (ascii != 0 && !chineseNear(k, -1) && !chineseNear(k, 1)) {
            out.push_back(ascii);
        } else {
            out.append(text.substr(at, end - at));
        }
    }
    return out;
}

}  // namespace lumascan
