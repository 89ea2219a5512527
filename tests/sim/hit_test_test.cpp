// The element at a screen point: which process owns it, and which of its
// elements is there.
#include <gtest/gtest.h>

#include "sim/sim_support.h"

namespace quillgate::sim {
namespace {

using testing::desktop;

constexpr const char* scene = R"({
  "apps": [
    {"pid": 10, "ax": {"AXWindows": [
      {"id": "front", "frame": [100, 100, 400, 300], "children": [
        {"AXRole": "AXGroup", "children": [
          {"id": "deep", "frame": [120, 120, 50, 50]}
        ]},
        {"id": "panel", "frame": [100, 100, 200, 300], "children": [
          {"id": "button", "frame": [110, 350, 80, 30]}
        ]}
      ]},
      {"id": "back", "frame": [0, 0, 1000, 800]}
    ]}},
    {"pid": 20, "ax": {"AXRole": "AXApplication"}}
  ],
  "windows": [
    {"kCGWindowNumber": 1, "kCGWindowOwnerPID": 30, "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 0,
     "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 2000, "Height": 2000}},
    {"kCGWindowNumber": 2, "kCGWindowOwnerPID": 31, "kCGWindowIsOnscreen": false, "kCGWindowAlpha": 1,
     "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 2000, "Height": 2000}},
    {"kCGWindowNumber": 3, "kCGWindowOwnerPID": 20, "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1,
     "kCGWindowBounds": {"X": 600, "Y": 0, "Width": 200, "Height": 200}},
    {"kCGWindowNumber": 4, "kCGWindowOwnerPID": 10, "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 0.5,
     "kCGWindowBounds": {"X": 0, "Y": 0, "Width": 1000, "Height": 800}},
    {"kCGWindowNumber": 5, "kCGWindowOwnerPID": "40", "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1,
     "kCGWindowBounds": {"X": 1000, "Y": 0, "Width": 100, "Height": 100}}
  ],
  "hitTest": [
    {"rect": [900, 700, 100, 100], "pid": null},
    {"rect": [0, 0, 50, 50], "pid": 20},
    {"rect": "malformed", "pid": 10}
  ]
})";

class SimHitTest : public ::testing::Test {
protected:
    std::shared_ptr<SimPlatform> d = desktop(scene);

    AxResult at(double x, double y) { return d->elementAtPosition(d->systemWideElement(), Point{x, y}); }
    std::optional<int32_t> pidAt(double x, double y) {
        AxResult hit = at(x, y);
        if (!hit.ok()) return std::nullopt;
        return d->pidOfElement(*hit.value.asElement());
    }
};

TEST_F(SimHitTest, RulesFirstThenTheFrontmostVisibleWindow) {
    EXPECT_EQ(pidAt(10, 10), 20);   // the first containing rule
    EXPECT_FALSE(pidAt(950, 750));  // a rule with no owner fails the call
    EXPECT_EQ(pidAt(50, 50), 10);   // rules are half-open: (50, 50) is outside the second
    EXPECT_EQ(pidAt(650, 50), 20);  // transparent and off-screen windows are passed over
    EXPECT_EQ(pidAt(650, 250), 10);
    EXPECT_FALSE(pidAt(1050, 50));    // an owner that is not a pid
    EXPECT_FALSE(pidAt(1500, 1500));  // no window there
    EXPECT_EQ(at(1500, 1500).status, axstatus::noValue);
}

TEST_F(SimHitTest, AnswersTheDeepestElementWithAFrameThere) {
    auto windows = *d->copyAttribute(d->applicationElement(10), "AXWindows").value.asArray();
    Element front = *windows[0].asElement(), back = *windows[1].asElement();
    auto children = [&](const Element& e) { return *d->copyAttribute(e, "AXChildren").value.asArray(); };
    Element deep = *children(*children(front)[0].asElement())[0].asElement();
    Element panel = *children(front)[1].asElement();
    Element button = *children(panel)[0].asElement();
    auto hit = [&](double x, double y) { return *at(x, y).value.asElement(); };

    EXPECT_TRUE(d->elementsEqual(hit(130, 130), deep));  // through a group without a frame
    EXPECT_TRUE(d->elementsEqual(hit(150, 360), button));
    EXPECT_TRUE(d->elementsEqual(hit(200, 200), panel));
    EXPECT_TRUE(d->elementsEqual(hit(450, 200), front));
    EXPECT_TRUE(d->elementsEqual(hit(700, 700), back));
    // No element of the owner there: the application itself.
    EXPECT_TRUE(d->elementsEqual(hit(10, 10), d->applicationElement(20)));
    // Asked of an application element, the answer is the same.
    AxResult viaApp = d->elementAtPosition(d->applicationElement(20), Point{130, 130});
    EXPECT_TRUE(d->elementsEqual(*viaApp.value.asElement(), deep));
}

}  // namespace
}  // namespace quillgate::sim
