#include "support/harness.h"

#include <gtest/gtest.h>

#include "capture/pending_capture.h"
#include "json/reader.h"
#include "json/writer.h"

namespace quillgate::testing {

Harness::Harness(const Object& scene) : desktop_(sim::SimPlatform::fromText(jsonText(scene))), main_(desktop_) {
    desktop_->keepEvents();
}

std::string Harness::send(std::string_view line) {
    return main_.respond(line.data(), line.size());
}

Object Harness::call(const Object& request) {
    Value response = parseJson(send(jsonText(request)));
    const Object* object = response.asObject();
    EXPECT_NE(object, nullptr);
    return object ? *object : Object{};
}

std::vector<Value> Harness::events() const { return desktop_->events(); }

bool Harness::settle(double seconds) {
    for (double waited = 0; main_.context().pendingCapture->pending(); waited += 0.25) {
        if (waited >= seconds) return false;
        desktop_->sleep(0.25);
    }
    return true;
}

std::string jsonText(const Value& value) {
    auto text = json::serialise(value);
    EXPECT_TRUE(text.has_value());
    return text.value_or("");
}

Value parseJson(std::string_view text) {
    json::Reader reader;
    auto value = reader.parse(text);
    EXPECT_TRUE(value.has_value()) << text;
    return value.value_or(Value());
}

}  // namespace quillgate::testing
