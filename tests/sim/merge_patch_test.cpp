#include "backends/sim/merge_patch.h"

#include <gtest/gtest.h>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::jsonText;
using testing::parseJson;

struct Case {
    const char* target;
    const char* patch;
    const char* result;
};

// The examples of RFC 7386, appendix A.
TEST(MergePatch, FollowsTheRfcExamples) {
    const Case cases[] = {
        {R"({"a":"b"})", R"({"a":"c"})", R"({"a":"c"})"},
        {R"({"a":"b"})", R"({"b":"c"})", R"({"a":"b","b":"c"})"},
        {R"({"a":"b"})", R"({"a":null})", R"({})"},
        {R"({"a":"b","b":"c"})", R"({"a":null})", R"({"b":"c"})"},
        {R"({"a":["b"]})", R"({"a":"c"})", R"({"a":"c"})"},
        {R"({"a":"c"})", R"({"a":["b"]})", R"({"a":["b"]})"},
        {R"({"a":{"b":"c"}})", R"({"a":{"b":"d","c":null}})", R"({"a":{"b":"d"}})"},
        {R"({"a":[{"b":"c"}]})", R"({"a":[1]})", R"({"a":[1]})"},
        {R"(["a","b"])", R"(["c","d"])", R"(["c","d"])"},
        {R"({"a":"b"})", R"(["c"])", R"(["c"])"},
        {R"({"a":"foo"})", R"(null)", R"(null)"},
        {R"({"a":"foo"})", R"("bar")", R"("bar")"},
        {R"({"e":null})", R"({"a":1})", R"({"a":1,"e":null})"},
        {R"([1,2])", R"({"a":"b","c":null})", R"({"a":"b"})"},
        {R"({})", R"({"a":{"bb":{"ccc":null}}})", R"({"a":{"bb":{}}})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " + " + c.patch);
        Value target = parseJson(c.target);
        mergePatch(target, parseJson(c.patch));
        EXPECT_EQ(jsonText(target), jsonText(parseJson(c.result)));
    }
}

TEST(MergePatch, ReplacesArraysWholeAndLeavesThePatchUntouched) {
    Value target = parseJson(R"({"windows":[{"n":1},{"n":2}],"keep":{"x":1}})");
    Value patch = parseJson(R"({"windows":[{"n":2}],"keep":{"y":null,"z":{"w":null}}})");
    std::string patchBefore = jsonText(patch);
    mergePatch(target, patch);
    EXPECT_EQ(jsonText(target), R"({"keep":{"x":1,"z":{}},"windows":[{"n":2}]})");
    EXPECT_EQ(jsonText(patch), patchBefore);
}

}  // namespace
}  // namespace quillgate::sim
