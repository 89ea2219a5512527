#pragma once
// "execute" requests on window 60 of chatScene() and a compact view of their
// answers, shared by the execute tests.

#include <string>

#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate::testing {

// "ok" when the answer is exactly {"ok":true}; otherwise the refusal's
// message, or the whole line when it is neither. The action is any value.
inline std::string executeAction(Harness& h, const Value& action, const Object& bound = chatBinding()) {
    const std::string line = h.send(jsonText(Object{{"op", "execute"}, {"bound", bound}, {"action", action}}));
    if (line == R"({"ok":true})") return "ok";
    const Value answer = parseJson(line);
    const Value* error = answer.find("error");
    return error && error->isString() ? *error->asString() : line;
}

// The same with the action written as JSON.
inline std::string execute(Harness& h, std::string_view actionJson, const Object& bound = chatBinding()) {
    return executeAction(h, parseJson(actionJson), bound);
}

}  // namespace quillgate::testing
