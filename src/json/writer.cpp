#include "json/writer.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// Sixteen bytes at a time in plain C++ vector extensions (SSE2 or NEON).
using Bytes16 = uint8_t __attribute__((vector_size(16)));
static_assert(std::endian::native == std::endian::little);  // the first hit is the lowest byte

// The position of the first byte at or after `from` that needs an escape,
// or the string's size. Long strings are mostly runs that need none: a
// Base64 picture's only escaped character is the solidus, one in 64.
size_t nextEscape(const std::string& s, size_t from) {
    const char* data = s.data();
    size_t i = from;
    for (; i + 16 <= s.size(); i += 16) {
        Bytes16 v;
        std::memcpy(&v, data + i, 16);
        const auto hit = (v < 0x20) | (v == '"') | (v == '\\') | (v == '/');
        uint64_t half[2];
        std::memcpy(half, &hit, 16);
        if (half[0]) return i + std::countr_zero(half[0]) / 8;
        if (half[1]) return i + 8 + std::countr_zero(half[1]) / 8;
    }
    for (; i < s.size(); ++i)
        if (escapes[static_cast<unsigned char>(data[i])]) return i;
    return s.size();
}

bool writeString(const std::string& s, std::string& out) {
    if (!simdjson::validate_utf8(s.data(), s.size())) return false;
    // Room for a long string and a few escapes at once, growing as a
    // string would, so a picture's payload is not copied again and again.
    const size_t room = out.size() + s.size() + s.size() / 32 + 2;
    if (room > out.capacity()) out.reserve(std::max(room, 2 * out.capacity()));
    out.push_back('"');
    // The runs between escapes are copied whole.
    size_t run = 0;
    for (size_t i = nextEscape(s, 0); i < s.size(); i = nextEscape(s, i + 1)) {
        const auto c = static_cast<unsigned char>(s[i]);
        const char escape = escapes[c];
        out.append(s, run, i - run);
        run = i + 1;
        out.push_back('\\');
        out.push_back(escape);
        if (escape == 'u') {
            out += "00";
            out.push_back(hexDigits[c >> 4]);
            out.push_back(hexDigits[c & 15]);
        }
    }
    out.append(s, run, s.size() - run);
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
