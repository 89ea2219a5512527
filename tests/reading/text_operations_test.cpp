// Reading the composer's draft and dumping the window's accessibility tree.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "reading/text_operations.h"
#include "support/ax_trees.h"
#include "support/harness.h"
#include "support/window_entries.h"
#include "support/refusal.h"

namespace quillgate {
namespace {

using testing::at;
using testing::chatSceneWithTree;
using testing::fan;
using testing::frame;
using testing::Harness;
using testing::node;

// The composer strip of the chat window, window-relative: screen y 560 to 640.
Object composerRegion() { return Object{{"x", 10}, {"y", 510}, {"width", 880}, {"height", 80}}; }

// The response line.
std::string composerText(Harness& h, Value region = composerRegion()) {
    return h.send(testing::jsonText(
        Object{{"op", "composer-text"}, {"bound", testing::chatBinding()}, {"region", std::move(region)}}));
}

const std::string noEditor = R"({"noEditor":true,"ok":true})";

Value editor(const std::string& text, double y = 560, double height = 80) {
    return Object{{"id", "editor"}, {"AXRole", "AXTextArea"}, {"AXValue", text}, {"frame", frame(110, y, 880, height)}};
}

// A scene whose focused element is `focused` and whose window holds `tree`.
Object focusedScene(Value focused, Array tree = {}) {
    Object scene = chatSceneWithTree(std::move(tree));
    Value& ax = at(at(scene["apps"], 0), "ax");
    at(ax, "AXFocusedUIElement") = std::move(focused);
    return scene;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(ComposerText, TakesTheFocusedEditorWithinTheEightPointMarginOnly) {
    // Centre 7 points below the region: inside the margin.
    Harness inside(focusedScene(editor("draft", 632, 30)));
    EXPECT_EQ(composerText(inside), R"({"ok":true,"text":"draft"})");
    // Centre 9 points below: the window is searched instead.
    Harness outside(focusedScene(editor("draft", 634, 30), {editor("walked")}));
    EXPECT_EQ(composerText(outside), R"({"ok":true,"text":"walked"})");
}

TEST(ComposerText, NeverReadsAPasswordField) {
    Value secure = Object{{"AXRole", "AXTextField"}, {"AXSubrole", "AXSecureTextField"}, {"AXValue", "hunter2"},
                          {"frame", frame(110, 560, 880, 80)}};
    Harness h(focusedScene(secure, {secure}));
    EXPECT_EQ(composerText(h), noEditor);
}

TEST(ComposerText, ReturnsUpTo8192CharactersAndEmptyDrafts) {
    const std::string accented = "e\xCC\x81";  // one character, two code points
    Harness full(focusedScene(editor(repeat(accented, 8192))));
    EXPECT_EQ(composerText(full), R"({"ok":true,"text":")" + repeat(accented, 8192) + "\"}");
    Harness over(focusedScene(editor(repeat(accented, 8193))));
    EXPECT_EQ(composerText(over), noEditor);
    Harness empty(focusedScene(editor("")));
    EXPECT_EQ(composerText(empty), R"({"ok":true,"text":""})");
}

TEST(ComposerText, RefusesRegionsThatAreNotTwoByTwoNumbers) {
    Harness h(focusedScene(editor("draft")));
    const std::string refused = testing::jsonText(Object{{"ok", false}, {"error", msg::invalidComposerRegion}});
    for (auto [key, value] : std::vector<std::pair<std::string, Value>>{
             {"width", 1}, {"height", 1.99}, {"x", "10"}, {"y", nullptr}, {"width", Array{}}}) {
        Object region = composerRegion();
        if (value.isNull()) {
            region.erase(key);
        } else {
            region[key] = value;
        }
        EXPECT_EQ(composerText(h, region), refused) << key;
    }
    EXPECT_EQ(composerText(h, "region"), refused);
    Object left = composerRegion();
    left["x"] = -20;
    left["width"] = 2;
    Harness wide(focusedScene(editor("draft", 560, 80)));
    // The region starts left of the window; the editor's centre is far right of it.
    EXPECT_EQ(composerText(wide, left), noEditor);
    EXPECT_EQ(composerText(wide, Object{{"x", -20}, {"y", 510}, {"width", 1000}, {"height", 80}}),
              R"({"ok":true,"text":"draft"})");
}

TEST(ComposerText, SearchesOnlyWindowsWithinThreePointsOfTheBoundOrigin) {
    Harness near(chatSceneWithTree({editor("found")}, frame(102, 47.5, 900, 600)));
    EXPECT_EQ(composerText(near), R"({"ok":true,"text":"found"})");
    Harness far(chatSceneWithTree({editor("found")}, frame(103, 50, 900, 600)));
    EXPECT_EQ(composerText(far), R"({"ok":true})");
}

TEST(ComposerText, SaysNoEditorOnlyAfterACompleteSearch) {
    auto groups = [](int count) { return fan(count, [](int) { return Value(Object{{"AXRole", "AXGroup"}}); }); };
    Harness complete(chatSceneWithTree(groups(2998)));  // 2,999 visits with the window
    EXPECT_EQ(composerText(complete), noEditor);
    Harness exhausted(chatSceneWithTree(groups(2999)));
    EXPECT_EQ(composerText(exhausted), R"({"ok":true})");
}

TEST(ComposerText, AnswersNoTextWhenTheWindowMovedSinceItWasVerified) {
    Harness h(focusedScene(editor("draft")));
    const Object request{{"region", composerRegion()}};
    const Binding bound = binding(testing::chatBinding());
    Window verified = testing::chatWindow();
    verified.rect.x += 1;  // where the gate saw it a moment ago
    EXPECT_EQ(testing::refusalOf([&] { composerTextOperation(GatedCall{{{h.main().context(), request}, bound}, verified}); }),
              msg::moved);
    verified.rect.x -= 0.5;
    Object answer = composerTextOperation(GatedCall{{{h.main().context(), request}, bound}, verified});
    EXPECT_EQ(testing::jsonText(answer), R"({"text":"draft"})");
}

Object axText(Harness& h) { return h.call(Object{{"op", "ax-text"}, {"bound", testing::chatBinding()}}); }
std::string json(const Value& v) { return testing::jsonText(v); }

TEST(AxText, ReportsNothingWalkedWithoutAccessibilityWindows) {
    Object scene = testing::chatScene();
    at(at(scene["apps"], 0), "ax") = Object{};
    Harness h(scene);
    EXPECT_EQ(json(axText(h)), R"({"items":[],"ok":true,"roles":{},"visited":0,"walked":false})");
}

TEST(AxText, WalksEveryMatchingWindowWithSharedCounts) {
    Object scene = chatSceneWithTree({node(Object{{"AXRole", "AXStaticText"}, {"AXValue", "hello"},
                                                  {"frame", frame(100, 50, 90, 60)}})});
    Array& windows = *at(at(at(scene["apps"], 0), "ax"), "AXWindows").asArray();
    windows.push_back(Object{{"AXRole", "AXWindow"}, {"frame", frame(101, 52, 10, 10)}});  // a sheet at the origin
    windows.push_back(Object{{"AXRole", "AXWindow"}, {"frame", frame(400, 300, 10, 10)}});  // elsewhere
    Harness h(scene);
    Object answer = axText(h);
    EXPECT_EQ(json(answer["walked"]), "true");
    EXPECT_EQ(json(answer["visited"]), "3");
    EXPECT_EQ(json(answer["roles"]), R"({"AXStaticText":1,"AXWindow":2})");
    ASSERT_EQ(answer["items"].asArray()->size(), 2u);
    EXPECT_EQ(json(answer["items"].asArray()->at(1)),
              R"({"depth":1,"h":0.1,"role":"AXStaticText","text":"hello","w":0.1,"x":0,"y":0})");
}

}  // namespace
}  // namespace quillgate
