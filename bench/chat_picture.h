#pragma once
// A synthetic chat window at Retina size for the image benchmarks: light
// background, a conversation list with avatars, white and green message
// bubbles and dark anti-aliased glyph strokes, so deflate sees about the
// redundancy of a real capture rather than flat colour or noise.

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/image.h"

namespace quillgate::bench {

using Rgb = std::array<uint8_t, 3>;

class ChatPainter {
public:
    ChatPainter(int width, int height) : image_(width, height) {}

    Image paint() {
        const int w = image_.width, h = image_.height;
        fill(0, 0, w, h, {245, 245, 245});
        const int list = w / 4;
        fill(0, 0, list, h, {230, 230, 230});
        for (int y = 120, k = 0; y + 100 < h; y += 130, ++k) {  // conversations
            photo(24, y, 88, 88);
            text(136, y + 10, list - 160, 2, {40, 40, 40});
        }
        fill(list, 0, w - list, 110, {238, 238, 238});  // conversation header
        text(list + 40, 36, 400, 1, {20, 20, 20});
        for (int y = 160, k = 0; y + 200 < h - 300; y += 220, ++k) {  // bubbles
            const bool mine = k % 3 == 1;
            const int lines = 1 + k % 3, bw = 500 + (k * 271) % 900, bh = 40 + 48 * lines;
            const int x = mine ? w - 140 - bw : list + 140;
            photo(mine ? w - 112 : list + 24, y, 88, 88);
            if (k == 3) {  // a picture message
                photo(x, y, 640, 420);
                y += 220;
                continue;
            }
            fill(x, y, bw, bh, mine ? Rgb{149, 236, 105} : Rgb{255, 255, 255});
            text(x + 24, y + 20, bw - 48, lines, {25, 25, 25});
        }
        fill(list, h - 300, w - list, 300, {250, 250, 250});  // composer
        text(list + 40, h - 260, 900, 1, {60, 60, 60});
        return std::move(image_);
    }

private:
    void put(int x, int y, Rgb c, int coverage) {
        if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
        uint8_t* p = image_.row(y) + 4 * x;
        for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>((c[i] * coverage + p[i] * (255 - coverage)) / 255);
        p[3] = 255;
    }

    void fill(int x, int y, int w, int h, Rgb c) {
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col) put(col, row, c, 255);
    }

    // A stroke three pixels thick whose sides are partly covered, by amounts
    // that vary along it as anti-aliased glyph edges do.
    void stroke(int x, int y, int length, bool horizontal, Rgb c) {
        for (int i = 0; i < length; ++i)
            for (int t = -2; t <= 2; ++t) {
                const int coverage = t >= -1 && t <= 1 ? 255 : 40 + static_cast<int>(next() % 180);
                put(horizontal ? x + i : x + t, horizontal ? y + t : y + i, c, coverage);
            }
    }

    // Smooth colour with grain, like a photo or an avatar.
    void photo(int x, int y, int w, int h) {
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                const int grain = static_cast<int>(next() % 24);
                put(x + col, y + row,
                    {static_cast<uint8_t>(40 + col * 150 / w + grain), static_cast<uint8_t>(90 + row * 120 / h + grain),
                     static_cast<uint8_t>(160 - col * 60 / w + grain)},
                    255);
            }
    }

    // Lines of 28-pixel glyphs, each a few strokes chosen by a fixed sequence.
    void text(int x, int y, int width, int lines, Rgb c) {
        for (int line = 0; line < lines; ++line)
            for (int gx = x; gx + 28 <= x + width; gx += 32) {
                const int top = y + line * 48 + 4;
                for (int s = 0; s < 4; ++s) {
                    const unsigned r = next();
                    const bool horizontal = r & 1;
                    const int off = static_cast<int>(r >> 1) % 20 + 4, len = static_cast<int>(r >> 6) % 16 + 8;
                    if (horizontal) stroke(gx + static_cast<int>(r >> 12) % (28 - len + 1), top + off, len, true, c);
                    else stroke(gx + off, top + static_cast<int>(r >> 12) % (28 - len + 1), len, false, c);
                }
            }
    }

    unsigned next() {
        seed_ = seed_ * 1103515245u + 12345u;
        return seed_ >> 8;
    }

    Image image_;
    unsigned seed_ = 20240601;
};

inline Image chatPicture(int width, int height) { return ChatPainter(width, height).paint(); }

}  // namespace quillgate::bench
