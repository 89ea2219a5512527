#include "support/event_lines.h"

#include <gtest/gtest.h>

namespace quillgate::testing {

namespace {

std::string untimed(Value event) {
    if (Object* fields = event.asObject()) fields->erase("t");
    return jsonText(event);
}

std::vector<std::string> timedLines(const std::vector<Value>& events) {
    std::vector<std::string> lines;
    for (const Value& event : events) {
        const Value* t = event.find("t");
        EXPECT_TRUE(t && t->isNumber() && *t->asNumber() >= 0) << jsonText(event);
        lines.push_back(untimed(event));
    }
    return lines;
}

}  // namespace

std::vector<std::string> eventLines(const Harness& harness) { return timedLines(harness.events()); }

std::vector<std::string> eventLines(const sim::SimPlatform& desktop) { return timedLines(desktop.events()); }

std::vector<std::string> eventLines(std::initializer_list<std::string_view> expected) {
    std::vector<std::string> lines;
    for (std::string_view line : expected) lines.push_back(untimed(parseJson(line)));
    return lines;
}

}  // namespace quillgate::testing
