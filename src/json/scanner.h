#pragma once
// A JSON text read by hand, in one pass that allocates nothing: simdjson's
// document model needs some twelve times the text for its tape and index,
// which a request of the full line limit cannot afford. What it accepts is
// what simdjson's parser accepts (the reader's tests hold the two together):
// numbers that fit a double (integers a 64-bit one), strings without raw
// control characters or lone surrogates, at most 1023 nested non-empty arrays
// and objects. UTF-8 is checked beforehand, over the whole text.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"

namespace quillgate::json {

class Scanner {
public:
    explicit Scanner(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    // The text of the one JSON value the text holds with nothing but
    // whitespace around it; absent when it holds anything else.
    std::optional<std::string_view> document();

    // The value at the start of a checked text. Containers are built through
    // when `deep`, otherwise left unread on the text (UnreadJson), as are
    // long strings.
    Value read(bool deep);
    // The string at the start of a checked text, or the members of the
    // container there, each read as read(false) does.
    Value build();
    // The elements of the array at the start of a checked text, one at a time.
    void eachElement(const std::function<bool(const Value&)>& visit);

    // A checked array, object or string, left unread on its text.
    static Value unread(std::string_view text);

private:
    char peek() const { return p_ < end_ ? *p_ : '\0'; }
    void skipSpace();
    bool value(int depth);
    bool container(int depth, char closing);
    // The string or number at p_, checked; its value is stored when asked for.
    bool string(std::string* out);
    bool number(double* out);
    bool literal(std::string_view word);
    // The text of the value at p_, which is skipped.
    std::string_view span();
    // Calls member(key) at each member of the container at p_ (the key is
    // empty in an array) until it returns false; member reads the value.
    template <typename Member>
    void members(char closing, Member&& member);
    Value readMembers(bool deep);

    const char* p_;
    const char* end_;
};

}  // namespace quillgate::json
