#include "json/writer.h"

#include <simdjson.h>

#include <charconv>
#include <cmath>

namespace quillgate::json {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

bool writeString(const std::string& s, std::string& out) {
    if (!simdjson::validate_utf8(s.data(), s.size())) return false;
    out.push_back('"');
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '/': out += "\\/"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out.push_back(hexDigits[c >> 4]);
                out.push_back(hexDigits[c & 15]);
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    out.push_back('"');
    return true;
}

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

bool write(const Value& value, std::string& out) { return std::visit(Writer{out}, value.storage()); }

std::optional<std::string> serialise(const Value& value) {
    std::string out;
    if (!write(value, out)) return std::nullopt;
    return out;
}

}  // namespace quillgate::json
