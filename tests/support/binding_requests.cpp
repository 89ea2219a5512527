#include "support/binding_requests.h"

#include <gtest/gtest.h>

#include "support/scenes.h"

namespace quillgate::testing {

Object headerRegion() { return Object{{"x", 0}, {"y", 0}, {"width", 900}, {"height", 56}}; }

Object boundRequest(const std::string& op, const Value& guard) {
    Object bound = chatBinding();
    if (!guard.isNull()) bound["guard"] = guard;
    return Object{{"op", op}, {"bound", std::move(bound)}};
}

Object pinnedGuard(Harness& h, const Object& region) {
    Object captured = h.call(boundRequest("capture"));
    Object request = boundRequest("bind-region");
    request["region"] = region;
    request["reference"] = captured["base64"];
    Object answer = h.call(request);
    EXPECT_EQ(errorOf(answer), "");
    const Object* guard = answer["guard"].asObject();
    return guard ? *guard : Object{};
}

std::string errorOf(const Object& response) {
    auto it = response.find("error");
    if (it == response.end()) return "";
    const std::string* text = it->second.asString();
    return text ? *text : "(not a string)";
}

}  // namespace quillgate::testing
