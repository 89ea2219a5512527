#include "tesseract_line.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "cjk_text.h"
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
