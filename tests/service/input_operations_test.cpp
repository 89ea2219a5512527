// "input-idle" and "release-keys": the user's input state, and releasing keys
// left held down.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;
using testing::parseJson;

Object sceneWithInput(const char* input) {
    Object scene = testing::chatScene();
    scene["input"] = parseJson(input);
    return scene;
}

std::vector<Value> keyEvents(Harness& h) {
    std::vector<Value> keys;
    for (const Value& e : h.events()) {
        if (*e.find("what")->asString() == "key") keys.push_back(e);
    }
    return keys;
}

TEST(InputIdle, ReportsIdlenessHeldKeysAndTheFrontApplication) {
    Object scene = sceneWithInput(R"({"since": {"keyUp": 30, "keyDown": 40, "scrollWheel": 2}, "held": [56, 3, 12]})");
    scene["timeScale"] = 1;  // "since" grows with the clock; keep it near real time
    Harness h(scene);
    Object answer = h.call(Object{{"op", "input-idle"}});
    EXPECT_EQ(*answer["ok"].asBool(), true);
    EXPECT_NEAR(*answer["idleMs"].asNumber(), 2000, 500);
    EXPECT_NEAR(*answer["keyIdleMs"].asNumber(), 30000, 500);
    EXPECT_EQ(testing::jsonText(answer["heldKeys"]), "[3,12,56]");
    EXPECT_EQ(testing::jsonText(answer["frontBundle"]), R"("com.example.chat")");
    EXPECT_EQ(testing::jsonText(answer["frontPid"]), "501");
}

TEST(InputIdle, AnswersEmptyFrontValuesWithoutAFrontApplicationOrBundle) {
    Object scene = testing::chatScene();
    scene["frontmost"] = nullptr;
    Harness none(scene);
    Object answer = none.call(Object{{"op", "input-idle"}});
    EXPECT_EQ(testing::jsonText(answer["frontBundle"]), R"("")");
    EXPECT_EQ(testing::jsonText(answer["frontPid"]), "0");
    EXPECT_EQ(testing::jsonText(answer["heldKeys"]), "[]");

    scene["frontmost"] = 501;
    testing::at(scene["apps"], 0).asObject()->erase("bundle");
    Harness unbundled(scene);
    answer = unbundled.call(Object{{"op", "input-idle"}});
    EXPECT_EQ(testing::jsonText(answer["frontBundle"]), R"("")");
    EXPECT_EQ(testing::jsonText(answer["frontPid"]), "501");
}

TEST(ReleaseKeys, ConsidersOnlyHeldNonModifierKeyCodes) {
    Harness h(sceneWithInput(R"({"held": [56]})"));
    const double start = h.desktop().monotonic();
    EXPECT_EQ(h.send(R"({"op":"release-keys","keys":[56,300,-1,"a",12.7,128,-0.5,null]})"),
              R"({"ok":true,"released":[],"stillHeld":[]})");
    EXPECT_GE(h.desktop().monotonic() - start, 0.4);  // the pause after posting happens anyway
    EXPECT_EQ(h.send(R"({"op":"release-keys"})"), R"({"ok":true,"released":[],"stillHeld":[]})");
    EXPECT_EQ(h.send(R"({"op":"release-keys","keys":{"0":0}})"), R"({"ok":true,"released":[],"stillHeld":[]})");
    EXPECT_TRUE(h.events().empty());
}

TEST(ReleaseKeys, PostsAKeyUpForEachHeldKeyAndReportsStuckOnesInRequestOrder) {
    // -0.9 truncates to key 0.
    Harness h(sceneWithInput(R"({"held": [14, 12, 0, 54], "stuck": [12]})"));
    EXPECT_EQ(h.send(R"({"op":"release-keys","keys":[14.9,63,12,5,-0.9,54]})"),
              R"({"ok":true,"released":[14,0],"stillHeld":[12]})");
    auto keys = keyEvents(h);
    ASSERT_EQ(keys.size(), 3u);
    const int codes[] = {14, 12, 0};
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(*keys[i].find("code")->asNumber(), codes[i]);
        EXPECT_EQ(*keys[i].find("down")->asBool(), false);
        EXPECT_EQ(*keys[i].find("flags")->asNumber(), 0);
        EXPECT_EQ(*keys[i].find("to")->asString(), "hid");
    }
    // Released keys are no longer held; the stuck one still is.
    EXPECT_EQ(testing::jsonText(h.call(Object{{"op", "input-idle"}})["heldKeys"]), "[12,54]");
}

}  // namespace
}  // namespace quillgate
