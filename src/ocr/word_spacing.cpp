#include "word_spacing.h"

#include "cjk_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace lumascan {
namespace {

constexpr double spaceToHeight = 0.25;

bool fullWidthMark(const std::string& text) {
    return !text.empty() && isFullWidthMark(codePointAt(text, 0).first);
}

double centreColumn(const Glyph& glyph, double columnsPerStep) {
    return (glyph.firstStep + glyph.lastStep + 1) * 0.5 * columnsPerStep;
}

bool digit(const std::string& text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

// No space goes before closing punctuation or after opening punctuation,
// nor inside a number: between two digits (a "1" stands apart from its
// neighbours in many fonts, yet "12" is one number) or after a separator
// between digits ("12:47", "3,456", "2024/03/08").
bool spaceAllowed(const std::vector<Glyph>& glyphs, std::size_t i) {
    constexpr std::string_view closing = ",.:;!?)]}%\"'";
    constexpr std::string_view opening = "([{";
    constexpr std::string_view separators = ":.,/-";
    const auto& before = glyphs[i].text;
    const auto& after = glyphs[i + 1].text;
    if (before == " " || after == " " || fullWidthMark(before) || fullWidthMark(after)) return false;
    if (after.size() == 1 && closing.find(after[0]) != std::string_view::npos) return false;
    if (before.size() == 1 && opening.find(before[0]) != std::string_view::npos) return false;
    const bool separatorInNumber = before.size() == 1 && separators.find(before[0]) != std::string_view::npos &&
                                   i > 0 && digit(glyphs[i - 1].text) && digit(after);
    return !(digit(before) && digit(after)) && !separatorInNumber;
}

}  // namespace

std::vector<Glyph> withWordSpaces(const std::vector<Glyph>& glyphs, const InkColumns& columns) {
    const double space = spaceToHeight * columns.textHeight;
    // Each blank run between ink wide enough for a space goes to the two
    // glyphs whose centres enclose its middle.
    std::vector<bool> gapAfter(glyphs.size());
    const int width = static_cast<int>(columns.ink.size());
    int x = 0;
    while (x < width && !columns.ink[x]) ++x;
    while (x < width) {
        const int start = x;
        while (x < width && !columns.ink[x]) ++x;
        if (x < width && x - start >= space && !glyphs.empty()) {
            const double middle = (start + x) * 0.5;
            for (std::size_t i = 0; i + 1 < glyphs.size(); ++i) {
                if (centreColumn(glyphs[i], columns.columnsPerStep) <= middle &&
                    middle < centreColumn(glyphs[i + 1], columns.columnsPerStep)) {
                    gapAfter[i] = true;
                }
            }
        }
        while (x < width && columns.ink[x]) ++x;
    }
    std::vector<Glyph> spaced;
    spaced.reserve(glyphs.size() * 2);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        spaced.push_back(glyphs[i]);
        if (i + 1 < glyphs.size() && gapAfter[i] && spaceAllowed(glyphs, i)) {
            spaced.push_back({" ", std::min(glyphs[i].confidence, glyphs[i + 1].confidence),
                              glyphs[i].lastStep, glyphs[i + 1].firstStep});
        }
    }
    return spaced;
}

}  // namespace lumascan
