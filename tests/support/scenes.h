#pragma once
// Scenes shared by the tests: a chat application with one bound window.

#include "platform/value.h"

namespace quillgate::testing {

// App 501 "Chat" (bundle com.example.chat, launched at 1765000000.25) with
// window 60 "Chat" at (100, 50, 900, 600), on screen, frontmost and focused.
// Tests change the returned value before building a Harness from it.
Object chatScene();

// The identity the host keeps for window 60 of chatScene().
Object chatBinding();

// Mutable member access for editing scenes: scene["windows"][0] etc.
Value& at(Value& value, const std::string& key);
Value& at(Value& value, size_t index);

}  // namespace quillgate::testing
