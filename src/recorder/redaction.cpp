#include "recorder/redaction.h"

#include <algorithm>
#include <array>

namespace quillgate::recorder {

namespace {

constexpr std::array<std::string_view, 3> vocabulary{"AXRole", "AXSubrole", "AXRoleDescription"};

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void redactTexts(Value& value) {
    if (const std::string* text = value.asString()) {
        value = placeholder(*text);
    } else if (Array* members = value.asArray()) {
        for (Value& member : *members) redactTexts(member);
    } else if (Object* members = value.asObject()) {
        for (auto& [key, member] : *members) redactTexts(member);
    }
}

void redactElement(Value& element);

// An attribute's value: texts, arrays of them, and the elements inside; a
// {"ref"} names an element and stays.
void redactAttribute(Value& value) {
    if (value.asString()) {
        redactTexts(value);
    } else if (Array* members = value.asArray()) {
        for (Value& member : *members) redactAttribute(member);
    } else if (Object* object = value.asObject(); object && !object->contains("ref")) {
        redactElement(value);
    }
}

void redactElement(Value& element) {
    Object* attributes = element.asObject();
    if (!attributes) return;
    for (auto& [key, value] : *attributes) {
        if (!key.starts_with("AX") || std::find(vocabulary.begin(), vocabulary.end(), key) != vocabulary.end()) continue;
        redactAttribute(value);
    }
}

}  // namespace

std::string placeholder(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (continuation(c)) continue;
        out += c == ' ' || c == '\n' || c == '\r' || c == '\t' ? static_cast<char>(c) : 'x';
    }
    return out;
}

void redact(Object& scene) {
    auto part = [&scene](std::string_view key) -> Value* {
        auto it = scene.find(key);
        return it == scene.end() ? nullptr : &it->second;
    };
    if (Value* session = part("session")) redactTexts(*session);
    if (Value* windows = part("windows"); windows && windows->asArray())
        for (Value& window : *windows->asArray())
            if (Object* entry = window.asObject(); entry && entry->contains("kCGWindowName"))
                redactTexts((*entry)["kCGWindowName"]);
    if (Value* apps = part("apps"); apps && apps->asArray())
        for (Value& app : *apps->asArray())
            if (Object* entry = app.asObject(); entry && entry->contains("ax")) redactElement((*entry)["ax"]);
    if (Value* pixels = part("pixels"); pixels && pixels->asObject())
        for (auto& [number, picture] : *pixels->asObject()) picture = Object{{"fill", "#ffffff"}};
}

}  // namespace quillgate::recorder
