#include "json_writer.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include <simdjson.h>

namespace lumascan {
namespace {

constexpr char hexDigits[] = "0123456789abcdef";

bool appendString(std::string& out, std::string_view text) {
    if (!simdjson::validate_utf8(text.data(), text.size())) return false;
    out.push_back('"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out.push_back(hexDigits[byte >> 4]);
                    out.push_back(hexDigits[byte & 0xF]);
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
    return true;
}

// Shortest text that reads back as the same value, so a float score stays
// the float it was and whole pixel coordinates print without a fraction.
template <typename Number>
bool appendNumber(std::string& out, Number value) {
    if (!std::isfinite(value)) return false;
    char buffer[32];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    out.append(buffer, result.ptr);
    return true;
}

bool appendLine(std::string& out, const TextLine& line) {
    out += "{\"text\":";
    if (!appendString(out, line.text)) return false;
    out += ",\"score\":";
    if (!appendNumber(out, line.score)) return false;
    out += ",\"box\":[";
    for (std::size_t i = 0; i < line.box.size(); ++i) {
        if (i > 0) out.push_back(',');
        out.push_back('[');
        if (!appendNumber(out, line.box[i].x)) return false;
        out.push_back(',');
        if (!appendNumber(out, line.box[i].y)) return false;
        out.push_back(']');
    }
    out += "]}";
    return true;
}

}  // namespace

std::optional<std::string> toJson(std::span<const TextLine> lines) {
    std::string out = "[";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out.push_back(',');
        if (!appendLine(out, lines[i])) return std::nullopt;
    }
    out.push_back(']');
    return out;
}

}  // namespace lumascan
