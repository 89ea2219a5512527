#include "json_oracle.h"

#include <simdjson.h>

#include <cmath>
#include <map>

#include "json/reader.h"

namespace quillgate::fuzz {
namespace {

// Whether a value read by the reader is the one simdjson's document holds.
bool same(const Value& v, simdjson::dom::element e) {
    using simdjson::dom::element_type;
    switch (e.type()) {
    case element_type::OBJECT: {
        const Object* o = v.asObject();
        simdjson::dom::object members(e);
        if (!o) return false;
        std::map<std::string_view, simdjson::dom::element> last;  // a repeated key keeps its last value
        for (auto field : members) last.insert_or_assign(field.key, field.value);
        if (last.size() != o->size()) return false;
        for (const auto& [key, value] : last) {
            const Value* mine = v.find(key);
            if (!mine || !same(*mine, value)) return false;
        }
        return true;
    }
    case element_type::ARRAY: {
        const Array* a = v.asArray();
        simdjson::dom::array items(e);
        if (!a || a->size() != items.size()) return false;
        size_t i = 0;
        for (auto item : items) {
            if (!same((*a)[i++], item)) return false;
        }
        return true;
    }
    case element_type::STRING:
        return v.asString() && *v.asString() == std::string_view(e);
    case element_type::INT64:
        return v.asNumber() && std::signbit(*v.asNumber()) == std::signbit(double(int64_t(e))) &&
               *v.asNumber() == static_cast<double>(int64_t(e));
    case element_type::UINT64:
        return v.asNumber() && *v.asNumber() == static_cast<double>(uint64_t(e));
    case element_type::DOUBLE:
        return v.asNumber() && std::signbit(*v.asNumber()) == std::signbit(double(e)) && *v.asNumber() == double(e);
    case element_type::BOOL:
        return v.asBool() && *v.asBool() == bool(e);
    case element_type::NULL_VALUE:
        return v.isNull();
    }
    return false;
}

// Whether the digits of an integer literal fit simdjson's 64-bit integers
// (signed when negative).
bool fits64(std::string_view digits, bool negative) {
    uint64_t magnitude = 0;
    for (char d : digits) {
        const uint64_t digit = static_cast<uint64_t>(d - '0');
        if (magnitude > (UINT64_MAX - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    return !negative || magnitude <= uint64_t{1} << 63;
}

// The text with ".0" after every integer literal (outside strings) beyond
// 64 bits: simdjson refuses those, and the reader reads them as the same
// number with a fraction, which simdjson reads too.
std::string bigIntegersAsDecimals(std::string_view text) {
    std::string out;
    bool inString = false;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < text.size()) out += text[++i];
            else if (c == '"') inString = false;
            ++i;
            continue;
        }
        if (c == '"') inString = true;
        if (c != '-' && (c < '0' || c > '9')) {
            out += c;
            ++i;
            continue;
        }
        // The whole number-like token, so that an exponent's digits are never
        // taken for an integer of their own.
        size_t end = i + 1;
        while (end < text.size() && std::string_view("0123456789+-.eE").find(text[end]) != std::string_view::npos) ++end;
        const std::string_view token = text.substr(i, end - i);
        out.append(token);
        const bool negative = c == '-';
        const std::string_view digits = token.substr(negative ? 1 : 0);
        if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos &&
            !fits64(digits, negative))
            out += ".0";
        i = end;
    }
    return out;
}

}  // namespace

std::string compareJsonReaders(std::string_view text) {
    simdjson::dom::parser parser;
    simdjson::dom::element expected;
    auto error = parser.parse(simdjson::padded_string(text)).get(expected);
    // Integers beyond 64 bits are numbers to the reader, which simdjson
    // refuses as a number error: it is asked again with them written as
    // decimals.
    if (error == simdjson::NUMBER_ERROR) {
        if (const std::string decimals = bigIntegersAsDecimals(text); decimals != text)
            error = parser.parse(simdjson::padded_string(decimals)).get(expected);
    }
    const bool accepted = error == simdjson::SUCCESS;
    json::Reader reader;
    const std::string copy(text);  // the in-place reading keeps pointing into its text
    const auto inPlace = reader.parse(copy.data(), copy.size());
    const auto built = reader.parse(text);
    if (inPlace.has_value() != accepted) return accepted ? "refused in place" : "accepted in place";
    if (built.has_value() != accepted) return accepted ? "refused built through" : "accepted built through";
    if (!accepted) return {};
    if (!same(*inPlace, expected)) return "another value in place";
    if (!same(*built, expected)) return "another value built through";
    return {};
}

}  // namespace quillgate::fuzz
