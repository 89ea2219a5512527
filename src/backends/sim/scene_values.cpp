#include "backends/sim/scene_values.h"

#include <cmath>
#include <limits>

namespace quillgate::sim {

std::optional<double> number(const Value* value) {
    if (!value) return std::nullopt;
    const double* n = value->asNumber();
    if (!n || !std::isfinite(*n)) return std::nullopt;
    return *n;
}

std::optional<int64_t> integer(const Value* value) {
    auto n = number(value);
    // 2^63 itself is not representable as int64_t, hence the strict bound.
    if (!n || std::trunc(*n) != *n || *n < -9223372036854775808.0 || *n >= 9223372036854775808.0) return std::nullopt;
    return static_cast<int64_t>(*n);
}

std::optional<int32_t> pid(const Value* value) {
    auto n = integer(value);
    if (!n || *n < std::numeric_limits<int32_t>::min() || *n > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(*n);
}

std::optional<uint32_t> windowNumber(const Value* value) {
    auto n = integer(value);
    if (!n || *n < 0 || *n > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(*n);
}

std::optional<bool> boolean(const Value* value) {
    if (!value || !value->asBool()) return std::nullopt;
    return *value->asBool();
}

const std::string* text(const Value* value) { return value ? value->asString() : nullptr; }

std::optional<Rect> rectFromArray(const Value* value) {
    const Array* a = value ? value->asArray() : nullptr;
    if (!a || a->size() != 4) return std::nullopt;
    auto x = number(&(*a)[0]), y = number(&(*a)[1]), w = number(&(*a)[2]), h = number(&(*a)[3]);
    if (!x || !y || !w || !h) return std::nullopt;
    return Rect{*x, *y, *w, *h};
}

std::optional<std::pair<double, double>> pairFromArray(const Value* value) {
    const Array* a = value ? value->asArray() : nullptr;
    if (!a || a->size() != 2) return std::nullopt;
    auto first = number(&(*a)[0]), second = number(&(*a)[1]);
    if (!first || !second) return std::nullopt;
    return std::pair{*first, *second};
}

bool contains(const Rect& rect, Point point) {
    return point.x >= rect.x && point.x < rect.x + rect.width && point.y >= rect.y && point.y < rect.y + rect.height;
}

bool sameJson(const Value& a, const Value& b) {
    if (a.storage().index() != b.storage().index()) return false;
    if (const Array* left = a.asArray()) {
        const Array& right = *b.asArray();
        if (left->size() != right.size()) return false;
        for (size_t i = 0; i < left->size(); ++i)
            if (!sameJson((*left)[i], right[i])) return false;
        return true;
    }
    if (const Object* left = a.asObject()) {
        const Object& right = *b.asObject();
        if (left->size() != right.size()) return false;
        for (auto l = left->begin(), r = right.begin(); l != left->end(); ++l, ++r)
            if (l->first != r->first || !sameJson(l->second, r->second)) return false;
        return true;
    }
    if (a.isNull()) return true;
    if (a.isBool()) return *a.asBool() == *b.asBool();
    if (a.isNumber()) return *a.asNumber() == *b.asNumber();
    if (a.isString()) return *a.asString() == *b.asString();
    // Platform values never come from JSON.
    return false;
}

Object& objectAt(Object& object, const std::string& key) {
    Value& slot = object[key];
    if (!slot.isObject()) slot = Object{};
    return *slot.asObject();
}

}  // namespace quillgate::sim
