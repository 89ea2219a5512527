// "input-idle" and "release-keys"; releasing held and stuck keys is run end to
// end in its transcript.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;

TEST(InputIdle, ReportsHeldKeysAscendingAndEmptyFrontValuesWithoutAFrontApplication) {
    Object scene = testing::chatScene();
    scene["input"] = testing::parseJson(R"({"since": {"keyUp": 30, "keyDown": 40, "scrollWheel": 2},
                                            "held": [56, 3, 12]})");
    scene["frontmost"] = nullptr;
    Harness h(scene);
    Object answer = h.call(Object{{"op", "input-idle"}});
    EXPECT_EQ(testing::jsonText(answer),
              R"({"frontBundle":"","frontPid":0,"heldButtons":[],"heldKeys":[3,12,56],"idleMs":2000,)"
              R"("keyIdleMs":30000,"ok":true})");
}

TEST(ReleaseKeys, ConsidersOnlyHeldNonModifierKeyCodesAndPausesAnyway) {
    Object scene = testing::chatScene();
    scene["input"] = testing::parseJson(R"({"held": [56]})");
    Harness h(scene);
    const std::string nothing = R"({"ok":true,"released":[],"stillHeld":[]})";
    EXPECT_EQ(h.send(R"({"op":"release-keys","keys":[56,300,-1,"a",12.7,128,-0.5,null]})"), nothing);
    EXPECT_GE(h.desktop().monotonic(), 0.4);
    EXPECT_EQ(h.send(R"({"op":"release-keys"})"), nothing);
    EXPECT_EQ(h.send(R"({"op":"release-keys","keys":{"0":0}})"), nothing);
    EXPECT_TRUE(h.events().empty());
}

}  // namespace
}  // namespace quillgate
