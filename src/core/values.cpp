#include "core/values.h"

#include <iterator>

namespace quillgate {

std::optional<double> number(const Value* value) {
    if (!value) return std::nullopt;
    if (const double* d = value->asNumber()) return *d;
    if (const bool* b = value->asBool()) return *b ? 1.0 : 0.0;
    return std::nullopt;
}

const std::string& text(const Value* value) {
    static const std::string none;
    const std::string* s = value ? value->asString() : nullptr;
    return s ? *s : none;
}

const Object* objectAt(const Object& request, std::string_view key) {
    const Value* v = member(request, key);
    return v ? v->asObject() : nullptr;
}

std::vector<std::string> stringList(const Object& request, std::string_view key, std::vector<std::string> fallback) {
    const Value* v = member(request, key);
    std::vector<std::string> list;
    bool allStrings = true;
    const bool isArray = v && v->elements([&](const Value& item) {
        const std::string* s = item.asString();
        if (s) list.push_back(*s);
        allStrings = s != nullptr;
        return allStrings;
    });
    return isArray && allStrings ? list : fallback;
}

std::set<std::string> stringSet(const Object& request, std::string_view key, std::vector<std::string> fallback) {
    std::vector<std::string> list = stringList(request, key, std::move(fallback));
    return std::set<std::string>(std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()));
}

std::vector<double> numberList(const Object& request, std::string_view key) {
    std::vector<double> list;
    const Value* v = member(request, key);
    if (v) v->elements([&](const Value& item) {
        if (auto n = number(&item)) list.push_back(*n);
        return true;
    });
    return list;
}

bool flag(const Object& request, std::string_view key) {
    const Value* v = member(request, key);
    if (!v) return false;
    if (const bool* b = v->asBool()) return *b;
    if (const double* d = v->asNumber()) return *d == 1;
    return false;
}

}  // namespace quillgate
