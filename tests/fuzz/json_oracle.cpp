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

}  // namespace

std::string compareJsonReaders(std::string_view text) {
    simdjson::dom::parser parser;
    simdjson::dom::element expected;
    const bool accepted = parser.parse(simdjson::padded_string(text)).get(expected) == simdjson::SUCCESS;
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
