#include "json/writer.h"

#include <simdjson.h>

#include <array>
#include <charconv>
#include <cmath>

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

bool writeString(const std::string& s, std::string& out) {
    if (!simdjson::validate_utf8(s.data(), s.size())) return false;
    out.push_back('"');
    // Runs that need no escape, such as a Base64 picture, are copied whole.
    size_t run = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const char escape = escapes[c];
        if (!escape) continue;
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
