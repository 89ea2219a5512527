// Reading a popup's texts and text elements: the windows read, the limits.

#include <gtest/gtest.h>

#include "popups/popup_reading.h"
#include "support/ax_trees.h"
#include "support/harness.h"

namespace quillgate {
namespace {

using testing::at;
using testing::chain;
using testing::fan;
using testing::frame;

const PopupInfo popup{61, 501, Rect{350, 250, 400, 200}};

// The chat scene with an accessibility window at `origin` holding `children`.
testing::Harness withPopupTree(Array children, Point origin = {350, 250}) {
    Object scene = testing::chatScene();
    Array& windows = *at(at(at(scene["apps"], 0), "ax"), "AXWindows").asArray();
    windows.push_back(testing::node(Object{{"AXRole", "AXWindow"}, {"frame", frame(origin.x, origin.y, 400, 200)}},
                                    std::move(children)));
    return testing::Harness(scene);
}

Value text(const std::string& value, double size = 20) {
    return Object{{"AXRole", "AXStaticText"}, {"AXValue", value}, {"frame", frame(360, 260, size, size)}};
}

TEST(PopupTexts, CollectsDistinctTextsOfUpToTwoHundredCharactersFromMatchingWindows) {
    Object three{{"AXValue", "a"}, {"AXTitle", "b"}, {"AXDescription", "a"}};
    auto h = withPopupTree({three, text(std::string(200, 'x')), text(std::string(201, 'y')), text("b"), text("")});
    EXPECT_EQ(popupTexts(h.desktop(), popup), (std::vector<std::string>{"a", "b", std::string(200, 'x')}));
    EXPECT_EQ(popupTexts(withPopupTree({text("near")}, {352.9, 247.1}).desktop(), popup),
              std::vector<std::string>{"near"});
    EXPECT_EQ(popupTexts(withPopupTree({text("far")}, {353, 250}).desktop(), popup), std::vector<std::string>{});
}

TEST(PopupTexts, TestsTheEightyLimitOnEnteringAndStopsBelowDepthTen) {
    Array many = fan(79, [](int i) { return text(std::to_string(i)); });
    many.push_back(Object{{"AXValue", "v"}, {"AXTitle", "t"}, {"AXDescription", "d"}});
    many.push_back(text("late"));
    EXPECT_EQ(popupTexts(withPopupTree(many).desktop(), popup).size(), 82u);
    auto level = [](int depth) { return text("level " + std::to_string(depth)); };
    EXPECT_EQ(popupTexts(withPopupTree(chain(11, level)).desktop(), popup).back(), "level 10");
}

TEST(PopupElements, TakesTheFirstUsableTextOfFramedElementsOfFourPointsOrMore) {
    Object skipLong{{"AXValue", std::string(201, 'v')}, {"AXTitle", "title"}, {"frame", frame(360, 260, 4, 4)}};
    auto h = withPopupTree({skipLong, text("small", 3.9), text("same"), text("same"), Object{{"AXValue", "frameless"}}});
    std::vector<std::string> texts;
    for (const PopupElement& e : popupElements(h.desktop(), popup)) texts.push_back(e.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"title", "same", "same"}));
}

TEST(PopupElements, StopsAtOneHundredTwentyAndBelowDepthTwelve) {
    EXPECT_EQ(popupElements(withPopupTree(fan(130, [](int) { return text("row"); })).desktop(), popup).size(), 120u);
    auto level = [](int depth) { return text("level " + std::to_string(depth)); };
    EXPECT_EQ(popupElements(withPopupTree(chain(13, level)).desktop(), popup).back().text, "level 12");
}

}  // namespace
}  // namespace quillgate
