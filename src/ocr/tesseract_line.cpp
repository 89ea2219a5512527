#include "tesseract_line.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "geometry.h"

namespace lumascan {
namespace {

std::string_view trim(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

float scoreFromPercent(float percent) {
    if (std::isnan(percent)) return 0.0F;
    return std::clamp(percent / 100.0F, 0.0F, 1.0F);
}

// The code point at text[i] and its length in bytes. A malformed sequence
// yields one byte that is never taken for a Chinese character.
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

// The full-width form Chinese text writes for an ASCII punctuation mark, if
// it has one that the rule below changes.
std::string_view fullWidthOf(char32_t c) {
    static constexpr std::array<std::pair<char32_t, std::string_view>, 5> fullWidthForms{{
        {U'!', "\uFF01"}, {U'?', "\uFF1F"}, {U',', "\uFF0C"}, {U':', "\uFF1A"}, {U';', "\uFF1B"},
    }};
    for (const auto& [ascii, wide] : fullWidthForms) {
        if (c == ascii) return wide;
    }
    return {};
}

}  // namespace

std::string fullWidthPunctuation(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t before = 0;  // the last character that is not a space
    std::size_t i = 0;
    while (i < text.size()) {
        const auto [code, length] = codePointAt(text, i);
        const auto wide = fullWidthOf(code);
        const bool chineseAfter = i + length < text.size() && isChinese(codePointAt(text, i + length).first);
        if (!wide.empty() && (isChinese(before) || chineseAfter)) {
            out.append(wide);
            before = codePointAt(wide, 0).first;
        } else {
            out.append(text.substr(i, length));
            if (code != U' ') before = code;
        }
        i += length;
    }
    return out;
}

std::string closeCjkGaps(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t previous = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            const auto end = std::min(text.find_first_not_of(' ', i), text.size());
            const bool betweenChinese = end < text.size() && isChinese(previous) &&
                                         isChinese(codePointAt(text, end).first);
            if (!betweenChinese) out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        const auto [code, length] = codePointAt(text, i);
        out.append(text.substr(i, length));
        previous = code;
        i += length;
    }
    return out;
}

std::optional<TextLine> makeTextLine(std::string_view rawText, float confidencePercent,
                                     int left, int top, int right, int bottom) {
    const auto text = trim(rawText);
    if (text.empty()) return std::nullopt;
    return TextLine{closeCjkGaps(fullWidthPunctuation(text)), scoreFromPercent(confidencePercent),
                    quadFromBox(left, top, right, bottom)};
}

}  // namespace lumascan
