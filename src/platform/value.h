#pragma once
// The one loosely typed value of the program. It carries request and response
// JSON, the window server's dictionaries and accessibility attribute values,
// so the core runs the same type tests ("a number", "a string") on all of them.

#include <concepts>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace quillgate {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect&) const = default;
};

// An accessibility element. The backend owns what the handle points at; two
// handles name the same element only when the platform says so
// (Platform::elementsEqual), never by comparing handles.
class ElementHandle {
public:
    virtual ~ElementHandle() = default;
};
using Element = std::shared_ptr<const ElementHandle>;

class Value;
using Array = std::vector<Value>;
using Object = std::map<std::string, Value, std::less<>>;

class Value {
public:
    using Storage = std::variant<std::nullptr_t, bool, double, std::string, Array, Object, Element, Point, Size>;

    Value() : v_(nullptr) {}
    Value(std::nullptr_t) : v_(nullptr) {}
    Value(bool b) : v_(b) {}
    Value(double d) : v_(d) {}
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    Value(T i) : v_(static_cast<double>(i)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(Object o) : v_(std::move(o)) {}
    Value(Element e) : v_(std::move(e)) {}
    Value(Point p) : v_(p) {}
    Value(Size s) : v_(s) {}

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }
    bool isNumber() const { return std::holds_alternative<double>(v_); }
    bool isString() const { return std::holds_alternative<std::string>(v_); }
    bool isArray() const { return std::holds_alternative<Array>(v_); }
    bool isObject() const { return std::holds_alternative<Object>(v_); }
    bool isElement() const { return std::holds_alternative<Element>(v_); }

    // Typed views: null when the value holds another type.
    const bool* asBool() const { return std::get_if<bool>(&v_); }
    const double* asNumber() const { return std::get_if<double>(&v_); }
    const std::string* asString() const { return std::get_if<std::string>(&v_); }
    const Array* asArray() const { return std::get_if<Array>(&v_); }
    const Object* asObject() const { return std::get_if<Object>(&v_); }
    Array* asArray() { return std::get_if<Array>(&v_); }
    Object* asObject() { return std::get_if<Object>(&v_); }
    const Element* asElement() const { return std::get_if<Element>(&v_); }
    const Point* asPoint() const { return std::get_if<Point>(&v_); }
    const Size* asSize() const { return std::get_if<Size>(&v_); }

    const Storage& storage() const { return v_; }

    // Member of an object value; null when this is not an object or has no such key.
    const Value* find(std::string_view key) const;

private:
    Storage v_;
};

inline const Value* Value::find(std::string_view key) const {
    const Object* o = asObject();
    if (!o) return nullptr;
    auto it = o->find(key);
    return it == o->end() ? nullptr : &it->second;
}

}  // namespace quillgate
