// What counts as covering the bound window at a point or over a region. The
// Dock overlay and the cursor window are run end to end in the pointer
// transcripts.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"
#include "windows/occlusion.h"

namespace quillgate {
namespace {

using testing::chatSceneWith;
using testing::chatWindow;
using testing::Harness;
using testing::listedWindow;

constexpr Point inside{500, 300};  // inside the chat window
const Rect display{0, 0, 1920, 1080};

Object withHitTest(Object scene, const Value& pid) {
    scene["hitTest"] = Array{Object{{"rect", Array{0, 0, 1920, 1080}}, {"pid", pid}}};
    return scene;
}

std::optional<std::string> occluderAt(const Object& scene, bool ignoreOwnPopup = false, Point point = inside) {
    Harness h(scene);
    return occluder(h.desktop(), chatWindow(), point, ignoreOwnPopup);
}

std::optional<std::string> occluderOver(const Value& front, bool ignoreOwnPopup = false) {
    return occluderAt(chatSceneWith({front}), ignoreOwnPopup);
}

TEST(Occluder, DescribesTheFrontWindowAtThePointUnlessItIsTheBoundWindow) {
    // A transparent window, and one whose right edge is the point.
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(71, 777, "Glass", display, 0, 0),
                                        listedWindow(72, 777, "Edge", {300, 200, 200, 200})})),
              std::nullopt);
    Value unnamed = listedWindow(70, 777, "", {300.9, 200, 400.9, 300.99}, 3.7);
    EXPECT_EQ(occluderOver(unnamed), "unknown layer=3 size=400x300");
    // Small floating windows of the bound application are marked transient.
    EXPECT_EQ(occluderOver(listedWindow(70, 501, "Chat", {400, 280, 160, 160}, 1)),
              "Chat layer=1 size=160x160 same-app-transient");
    EXPECT_EQ(occluderOver(listedWindow(70, 501, "Chat", {400, 280, 161, 30}, 3)), "Chat layer=3 size=161x30");
    EXPECT_EQ(occluderOver(listedWindow(70, 501, "Chat", {450, 280, 100, 30}, 0)), "Chat layer=0 size=100x30");
    EXPECT_EQ(occluderOver(listedWindow(70, 777, "Tip", {450, 280, 100, 30}, 3)), "Tip layer=3 size=100x30");

    Object scene = testing::chatScene();
    EXPECT_EQ(occluderAt(scene, false, Point{1500, 900}), "none");  // no window at the point
    scene["windows"] = Array{};
    EXPECT_EQ(occluderAt(scene), "none");
    scene["windows"] = "x";
    EXPECT_EQ(occluderAt(scene), "unknown");
}

TEST(Occluder, NamesAPointOnNoDisplayOffscreen) {
    // Input there would land on the nearest edge of a display instead.
    Object scene = testing::chatScene();
    scene["displays"] = testing::parseJson("[[0, 0, 800, 600], [800, 0, 1280, 1024]]");
    EXPECT_EQ(occluderAt(scene, false, Point{900, 620}), std::nullopt);
    EXPECT_EQ(occluderAt(scene, false, Point{700, 620}), "offscreen");
    EXPECT_EQ(occluderAt(scene, false, Point{2080, 300}), "offscreen");
    scene["displays"] = nullptr;
    EXPECT_EQ(occluderAt(scene), "offscreen");
    scene["windows"] = nullptr;
    EXPECT_EQ(occluderAt(scene), "unknown");
}

TEST(Occluder, LooksThroughANotificationOnlyWhenTheHitTestReachesTheBoundApplication) {
    const Object scene = chatSceneWith({listedWindow(70, 400, "NotificationCenter", display, 23)});
    const std::string covered = "NotificationCenter layer=23 size=1920x1080";
    EXPECT_EQ(occluderAt(withHitTest(scene, 501)), std::nullopt);
    EXPECT_EQ(occluderAt(withHitTest(scene, 777)), covered);
    EXPECT_EQ(occluderAt(withHitTest(scene, nullptr)), covered);  // a failed hit test
}

TEST(Occluder, TreatsTheBoundApplicationsOwnPopupAsPartOfItWhenAsked) {
    EXPECT_EQ(occluderOver(listedWindow(70, 501, "Chat", {350, 250, 400, 200}), true), std::nullopt);
    EXPECT_EQ(occluderOver(listedWindow(70, 501, "Chat", {350, 250, 400, 200}), false), "Chat layer=0 size=400x200");
    EXPECT_EQ(occluderOver(listedWindow(70, 777, "Other", {350, 250, 400, 200}), true), "Other layer=0 size=400x200");
    // Too large to be its popup.
    EXPECT_EQ(occluderOver(listedWindow(70, 501, "Chat", {150, 100, 800, 500}), true), "Chat layer=0 size=800x500");
}

std::vector<uint32_t> layerIds(Harness& h, std::optional<Point> probe, std::optional<int32_t> targetPid) {
    std::vector<uint32_t> ids;
    for (const VisibleLayer& layer : visibleLayers(h.desktop(), probe, targetPid)) ids.push_back(layer.id);
    return ids;
}

TEST(VisibleLayers, LeavesOutTransparentAndUnnumberedWindowsAndNotificationsOverTheTarget) {
    Value unnumbered = listedWindow(71, 777, "Other", {0, 0, 100, 100});
    unnumbered.asObject()->erase("kCGWindowNumber");
    Value noAlpha = listedWindow(72, 777, "Other", {0, 0, 100, 100});
    noAlpha.asObject()->erase("kCGWindowAlpha");
    // A display-sized notification, placed elsewhere: the origin is not compared.
    Harness h(withHitTest(chatSceneWith({listedWindow(70, 400, "通知中心", {5, 5, 1920.5, 1080}, 23),
                                         listedWindow(74, 777, "Glass", {0, 0, 100, 100}, 0, 0), unnumbered,
                                         noAlpha}),
                          501));
    EXPECT_EQ(layerIds(h, inside, 501), (std::vector<uint32_t>{60}));
    EXPECT_EQ(layerIds(h, inside, 777), (std::vector<uint32_t>{70, 60}));
    EXPECT_EQ(layerIds(h, std::nullopt, 501), (std::vector<uint32_t>{70, 60}));
    EXPECT_EQ(layerIds(h, inside, std::nullopt), (std::vector<uint32_t>{70, 60}));

    Harness banner(withHitTest(chatSceneWith({listedWindow(70, 400, "通知中心", {1500, 20, 350, 80}, 23)}), 501));
    EXPECT_EQ(layerIds(banner, inside, 501), (std::vector<uint32_t>{70, 60}));
}

const std::vector<VisibleLayer> stack{
    VisibleLayer{70, Rect{300, 100, 200, 100}, "Viewer"},
    VisibleLayer{60, Rect{100, 50, 900, 600}, "Chat"},
};

TEST(RegionIsVisible, RequiresTheWholeRegionInsideTheWindowWithNothingInFront) {
    EXPECT_TRUE(regionIsVisible(60, Rect{100, 250, 900, 400}, stack));
    EXPECT_TRUE(regionIsVisible(60, Rect{100, 200, 200, 50}, stack));  // touches the front layer's corner only
    EXPECT_FALSE(regionIsVisible(60, Rect{100, 250, 901, 400}, stack));
    EXPECT_FALSE(regionIsVisible(60, Rect{490, 190, 20, 20}, stack));
    EXPECT_FALSE(regionIsVisible(60, Rect{200, 300, 0, 10}, stack));
    EXPECT_FALSE(regionIsVisible(61, Rect{200, 300, 10, 10}, stack));
}

TEST(RegionOccluder, NamesTheFrontLayerOverTheRegionOnOneLine) {
    EXPECT_EQ(regionOccluder(60, Rect{490, 190, 20, 20}, stack), "Viewer");
    EXPECT_EQ(regionOccluder(60, Rect{100, 250, 100, 100}, stack), "");
    auto named = [](std::string owner) {
        return regionOccluder(60, Rect{0, 0, 10, 10}, {VisibleLayer{70, Rect{0, 0, 100, 100}, std::move(owner)}});
    };
    EXPECT_EQ(named("A;b\nc\r\nd\ve\ff\u0085g\u2028h\u2029i"), "Abcdefghi");
    // Forty user-perceived characters, counted after the cleaning.
    EXPECT_EQ(named(std::string(39, 'x') + ";e\u0301z"), std::string(39, 'x') + "e\u0301");
}

}  // namespace
}  // namespace quillgate
