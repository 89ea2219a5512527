#include "support/event_lines.h"

namespace quillgate::testing {

namespace {

std::string untimed(Value event) {
    if (Object* fields = event.asObject()) fields->erase("t");
    return jsonText(event);
}

}  // namespace

std::vector<std::string> eventLines(const Harness& harness) {
    std::vector<std::string> lines;
    for (const Value& event : harness.events()) lines.push_back(untimed(event));
    return lines;
}

std::vector<std::string> eventLines(std::initializer_list<std::string_view> expected) {
    std::vector<std::string> lines;
    for (std::string_view line : expected) lines.push_back(untimed(parseJson(line)));
    return lines;
}

}  // namespace quillgate::testing
