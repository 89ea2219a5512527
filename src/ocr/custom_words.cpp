#include "custom_words.h"

#include "cjk_text.h"
#include "tesseract_line.h"

namespace lumascan {

void trustCustomWords(std::vector<Glyph>& glyphs, std::span<const std::string> words) {
    std::string text;
    std::vector<std::size_t> glyphAt;  // for each byte of text, its glyph
    std::vector<bool> startsGlyph;
    for (std::size_t g = 0; g < glyphs.size(); ++g) {
        for (std::size_t b = 0; b < glyphs[g].text.size(); ++b) {
            glyphAt.push_back(g);
            startsGlyph.push_back(b == 0);
        }
        text += glyphs[g].text;
    }
    for (const auto& word : words) {
        if (word.empty()) continue;
        for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
            const auto end = at + word.size();
            if (!startsGlyph[at] || (end < text.size() && !startsGlyph[end])) continue;
            for (auto b = at; b < end; ++b) glyphs[glyphAt[b]].confidence = 1.0F;
        }
    }
}

LineText joinGlyphs(const std::vector<Glyph>& glyphs) {
    std::string text;
    double sum = 0;
    for (const auto& glyph : glyphs) {
        sum += glyph.confidence;
        if (glyph.text == " " && (text.empty() || text.back() == ' ')) continue;
        text += glyph.text;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) return {};
    return {fullWidthPunctuation(halfWidthPunctuation(text)),
            static_cast<float>(sum / static_cast<double>(glyphs.size()))};
}

}  // namespace lumascan
