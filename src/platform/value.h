#pragma once
// The one loosely typed value of the program. It carries request and response
// JSON, the window server's dictionaries and accessibility attribute values,
// so the core runs the same type tests ("a number", "a string") on all of them.

#include <concepts>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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

// Binary data of a response, such as a picture's PNG file. JSON has no form
// for it: the writer gives it as a Base64 string, encoded straight into the
// response text, so megabytes are neither held twice nor scanned for escapes.
struct Bytes {
    std::string data;
};

class Value;
using Array = std::vector<Value>;
using Object = std::map<std::string, Value, std::less<>>;

// An array, an object or a long string still in its JSON text. A request is
// read in place and these are built only when an operation looks at them, so
// a large member nobody reads costs no memory beyond the line, and a picture
// can be decoded straight from the text. The text must outlive the value and
// its copies.
struct UnreadJson {
    struct Reading {
        // The string, or the container with its members read (containers and
        // long strings among them stay unread).
        Value (*read)(std::string_view text);
        // An array's elements in order, each built only for `visit`, until it returns false.
        void (*elements)(std::string_view text, const std::function<bool(const Value&)>& visit);
    };
    std::string_view text;  // valid JSON starting with '[', '{' or '"'
    const Reading* reading;
};

// Reading a value may build it from its text, so a value is used on one
// thread at a time, even through const access.
class Value {
public:
    using Storage = std::variant<std::nullptr_t, bool, double, std::string, Array, Object, Element, Point, Size, Bytes>;

    Value() : v_(std::in_place_index<0>, nullptr) {}
    Value(std::nullptr_t) : v_(std::in_place_index<0>, nullptr) {}
    Value(bool b) : v_(std::in_place_index<0>, b) {}
    Value(double d) : v_(std::in_place_index<0>, d) {}
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    Value(T i) : v_(std::in_place_index<0>, static_cast<double>(i)) {}
    Value(const char* s) : v_(std::in_place_index<0>, std::string(s)) {}
    Value(std::string s) : v_(std::in_place_index<0>, std::move(s)) {}
    Value(std::string_view s) : v_(std::in_place_index<0>, std::string(s)) {}
    Value(Array a) : v_(std::in_place_index<0>, std::move(a)) {}
    Value(Object o) : v_(std::in_place_index<0>, std::move(o)) {}
    Value(Element e) : v_(std::in_place_index<0>, std::move(e)) {}
    Value(Point p) : v_(std::in_place_index<0>, p) {}
    Value(Size s) : v_(std::in_place_index<0>, s) {}
    Value(Bytes b) : v_(std::in_place_index<0>, std::move(b)) {}
    Value(UnreadJson unread) : v_(unread) {}

    bool isNull() const { return holds<std::nullptr_t>(); }
    bool isBool() const { return holds<bool>(); }
    bool isNumber() const { return holds<double>(); }
    bool isString() const { return holds<std::string>() || unreadOf('"'); }
    bool isArray() const { return holds<Array>() || unreadOf('['); }
    bool isObject() const { return holds<Object>() || unreadOf('{'); }
    bool isElement() const { return holds<Element>(); }

    // Typed views: null when the value holds another type.
    const bool* asBool() const { return get<bool>(); }
    const double* asNumber() const { return get<double>(); }
    const std::string* asString() const { return get<std::string>(); }
    const Array* asArray() const { return get<Array>(); }
    const Object* asObject() const { return get<Object>(); }
    Array* asArray() { return get<Array>(); }
    Object* asObject() { return get<Object>(); }
    const Element* asElement() const { return get<Element>(); }
    const Point* asPoint() const { return get<Point>(); }
    const Size* asSize() const { return get<Size>(); }
    const Bytes* asBytes() const { return get<Bytes>(); }

    const Storage& storage() const { return read(); }

    // The JSON text of a string not yet read from its request line, quotes
    // included; null for any other value.
    const std::string_view* unreadString() const {
        const UnreadJson* unread = std::get_if<UnreadJson>(&v_);
        return unread && unreadOf('"') ? &unread->text : nullptr;
    }

    // Member of an object value; null when this is not an object or has no such key.
    const Value* find(std::string_view key) const;

    // Visits an array's elements in order until `visit` returns false, without
    // building the whole array when it is still unread; false when this is no array.
    bool elements(const std::function<bool(const Value&)>& visit) const;

private:
    Storage& read() const {
        if (const UnreadJson* unread = std::get_if<UnreadJson>(&v_)) {
            Value built = unread->reading->read(unread->text);
            v_ = std::move(built.read());
        }
        return std::get<Storage>(v_);
    }
    template <typename T>
    T* get() const {
        return std::get_if<T>(&read());
    }
    template <typename T>
    bool holds() const {
        const Storage* stored = std::get_if<Storage>(&v_);
        return stored && std::holds_alternative<T>(*stored);
    }
    bool unreadOf(char opening) const {
        const UnreadJson* unread = std::get_if<UnreadJson>(&v_);
        return unread && unread->text.front() == opening;
    }

    mutable std::variant<Storage, UnreadJson> v_;
};

inline const Value* Value::find(std::string_view key) const {
    const Object* o = asObject();
    if (!o) return nullptr;
    auto it = o->find(key);
    return it == o->end() ? nullptr : &it->second;
}

inline bool Value::elements(const std::function<bool(const Value&)>& visit) const {
    if (const UnreadJson* unread = std::get_if<UnreadJson>(&v_)) {
        if (!unreadOf('[')) return false;
        unread->reading->elements(unread->text, visit);
        return true;
    }
    const Array* items = asArray();
    if (!items) return false;
    for (const Value& item : *items) {
        if (!visit(item)) break;
    }
    return true;
}

}  // namespace quillgate
