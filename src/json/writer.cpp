#include "json/writer.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "image/base64.h"

namespace quillgate::json {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

// For each byte, the letter of its escape after the backslash ('u' for the
// \u00XX form), or 0 for a byte written as it is.
constexpr std::array<char, 256> escapes = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = 'u';
    table['"'] = '"';
    table['\\'] = '\\';
    table['/'] = '/';
    table['\n'] = 'n';
    table['\r'] = 'r';
    table['\t'] = 't';
    table['\b'] = 'b';
    table['\f'] = 'f';
    return table;
}();

// Writes the escape of byte `c`.
void writeEscape(unsigned char c, std::string& out) {
    const char escape = escapes[c];
    out.push_back('\\');
    out.push_back(escape);
    if (escape == 'u') {
        out += "00";
        out.push_back(hexDigits[c >> 4]);
        out.push_back(hexDigits[c & 15]);
    }
}

#if defined(__SSE2__)
// Bit k set when byte k of the sixteen at `p` needs an escape.
unsigned escapeMask(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Bytes below 0x20 are those whose minimum with 0x1F is themselves.
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x1F)), v);
    const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')),
                                                    _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))),
                                       _mm_cmpeq_epi8(v, _mm_set1_epi8('/')));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(control, marks)));
}
constexpr size_t blockBytes = 16;
#else
unsigned escapeMask(const char* p) {
    unsigned mask = 0;
    for (unsigned k = 0; k < 8; ++k) mask |= unsigned{escapes[static_cast<unsigned char>(p[k])] != 0} << k;
    return mask;
}
constexpr size_t blockBytes = 8;
#endif

// Room for `more` bytes at once, growing as a string would, so that a
// picture's payload is not copied again and again.
void makeRoom(std::string& out, size_t more) {
    const size_t room = out.size() + more;
    if (room > out.capacity()) out.reserve(std::max(room, 2 * out.capacity()));
}

bool writeString(const std::string& s, std::string& out) {
    if (!simdjson::validate_utf8(s.data(), s.size())) return false;
    makeRoom(out, s.size() + s.size() / 32 + 2);  // a long string and a few escapes
    out.push_back('"');
    // Long strings are mostly runs that need no escape (a Base64 picture's
    // only escaped character is the solidus, one in 64): a block's escapes
    // are found at once and the runs between them copied whole.
    const char* data = s.data();
    size_t run = 0, i = 0;
    for (; i + blockBytes <= s.size(); i += blockBytes) {
        for (unsigned mask = escapeMask(data + i); mask != 0; mask &= mask - 1) {
            const size_t at = i + static_cast<size_t>(std::countr_zero(mask));
            out.append(data + run, at - run);
            writeEscape(static_cast<unsigned char>(data[at]), out);
            run = at + 1;
        }
    }
    for (; i < s.size(); ++i) {
        if (!escapes[static_cast<unsigned char>(data[i])]) continue;
        out.append(data + run, i - run);
        writeEscape(static_cast<unsigned char>(data[i]), out);
        run = i + 1;
    }
    out.append(data + run, s.size() - run);
    out.push_back('"');
    return true;
}

bool write(const Value& value, std::string& out);

struct Writer {
    std::string& out;

    bool operator()(std::nullptr_t) { out += "null"; return true; }
    bool operator()(bool b) { out += b ? "true" : "false"; return true; }
    bool operator()(double d) {
        if (!std::isfinite(d)) return false;
        out += decimal(d);
        return true;
    }
    bool operator()(const std::string& s) { return writeString(s, out); }
    bool operator()(const Array& a) {
        out.push_back('[');
        bool first = true;
        for (const Value& v : a) {
            if (!first) out.push_back(',');
            first = false;
            if (!write(v, out)) return false;
        }
        out.push_back(']');
        return true;
    }
    bool operator()(const Object& o) {
        // std::map orders keys by their bytes, which for UTF-8 is code point order.
        out.push_back('{');
        bool first = true;
        for (const auto& [key, v] : o) {
            if (!first) out.push_back(',');
            first = false;
            if (!writeString(key, out)) return false;
            out.push_back(':');
            if (!write(v, out)) return false;
        }
        out.push_back('}');
        return true;
    }
    bool operator()(const Element&) { return false; }
    bool operator()(const Point&) { return false; }
    bool operator()(const Size&) { return false; }
    bool operator()(const Bytes& b) {
        // Base64 plus one escape in 64 characters, the share in any picture.
        makeRoom(out, (b.data.size() + 2) / 3 * 4 * 65 / 64 + 2);
        out.push_back('"');
        image::appendJsonBase64(b.data, out);
        out.push_back('"');
        return true;
    }
};

bool write(const Value& value, std::string& out) { return std::visit(Writer{out}, value.storage()); }

}  // namespace

std::string decimal(double number, bool integralFraction) {
    char buffer[400];
    // Integral values below 2^63 print as integers; beyond that the shortest
    // plain text is still exact, only longer.
    if (number == std::trunc(number) && std::fabs(number) < 9.2e18) {
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int64_t>(number));
        std::string text(buffer, end);
        if (number == 0 && std::signbit(number)) text = "-0";
        if (integralFraction) text += ".0";
        return text;
    }
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
    std::string text(buffer, end);
    if (integralFraction && text.find('.') == std::string::npos) text += ".0";
    return text;
}

std::optional<std::string> serialise(const Value& value) {
    std::string out;
    if (!write(value, out)) return std::nullopt;
    return out;
}

}  // namespace quillgate::json
