#include "json/reader.h"

#include <simdjson.h>

namespace quillgate::json {

namespace {

Value convert(simdjson::dom::element element) {
    using simdjson::dom::element_type;
    switch (element.type()) {
    case element_type::OBJECT: {
        Object object;
        for (auto field : simdjson::dom::object(element)) {
            // A repeated key keeps its last value, as the platform reader does.
            object.insert_or_assign(std::string(field.key), convert(field.value));
        }
        return object;
    }
    case element_type::ARRAY: {
        Array array;
        simdjson::dom::array items(element);
        array.reserve(items.size());
        for (auto item : items) array.push_back(convert(item));
        return array;
    }
    case element_type::STRING:
        return std::string(std::string_view(element));
    case element_type::INT64:
        return static_cast<double>(int64_t(element));
    case element_type::UINT64:
        return static_cast<double>(uint64_t(element));
    case element_type::DOUBLE:
        return double(element);
    case element_type::BOOL:
        return bool(element);
    case element_type::NULL_VALUE:
        break;
    }
    return nullptr;
}

}  // namespace

struct Reader::Impl {
    simdjson::dom::parser parser;
};

Reader::Reader() : impl_(std::make_unique<Impl>()) {}
Reader::~Reader() = default;

size_t Reader::paddingBytes() { return simdjson::SIMDJSON_PADDING; }

std::optional<Value> Reader::parse(const char* padded, size_t length) {
    simdjson::dom::element root;
    if (impl_->parser.parse(padded, length, false).get(root) != simdjson::SUCCESS) return std::nullopt;
    return convert(root);
}

std::optional<Value> Reader::parse(std::string_view text) {
    simdjson::padded_string copy(text);
    return parse(copy.data(), copy.size());
}

}  // namespace quillgate::json
