// What counts as covering the bound window at a point or over a region.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/scenes.h"
#include "support/window_entries.h"
#include "windows/occlusion.h"

namespace quillgate {
namespace {

using testing::at;
using testing::chatSceneWith;
using testing::chatWindow;
using testing::Harness;
using testing::listedWindow;

constexpr Point inside{500, 300};  // inside the chat window
constexpr int32_t dockPid = 300;
constexpr double cursorLevel = 2147483630;

Object withDock(Object scene) {
    scene["apps"].asArray()->push_back(Object{{"pid", dockPid}, {"name", "Dock"}, {"bundle", "com.apple.dock"}});
    return scene;
}

Object withHitTest(Object scene, const Value& pid) {
    scene["hitTest"] = Array{Object{{"rect", Array{0, 0, 1920, 1080}}, {"pid", pid}}};
    return scene;
}

std::optional<std::string> occluderAt(const Object& scene, Point point = inside, bool ignoreOwnPopup = false) {
    Harness h(scene);
    return occluder(h.desktop(), chatWindow(), point, ignoreOwnPopup);
}

TEST(Occluder, IsNothingWhenTheBoundWindowIsFrontMostAtThePoint) {
    EXPECT_EQ(occluderAt(testing::chatScene()), std::nullopt);
    // A window elsewhere, a transparent one, and one whose right edge is the point.
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 777, "Far", {1200, 0, 300, 300}),
                                        listedWindow(71, 777, "Glass", {0, 0, 1920, 1080}, 0, 0),
                                        listedWindow(72, 777, "Edge", {300, 200, 200, 200})})),
              std::nullopt);
}

TEST(Occluder, DescribesTheCoveringWindowByOwnerLayerAndTruncatedSize) {
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 777, "Viewer", {300, 200, 800, 600})})),
              "Viewer layer=0 size=800x600");
    Value unnamed = listedWindow(70, 777, "", {300.9, 200, 400.9, 300.99}, 3.7);
    EXPECT_EQ(occluderAt(chatSceneWith({unnamed})), "unknown layer=3 size=400x300");
    unnamed.asObject()->erase("kCGWindowOwnerName");
    unnamed.asObject()->erase("kCGWindowLayer");
    EXPECT_EQ(occluderAt(chatSceneWith({unnamed})), "unknown layer=0 size=400x300");
}

TEST(Occluder, MarksSmallFloatingWindowsOfTheBoundApplicationAsTransient) {
    const Point tip{450, 290};
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 501, "Chat", {400, 280, 100, 30}, 3)}), tip),
              "Chat layer=3 size=100x30 same-app-transient");
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 501, "Chat", {400, 280, 160, 160}, 1)}), tip),
              "Chat layer=1 size=160x160 same-app-transient");
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 501, "Chat", {400, 280, 100, 30}, 0)}), tip),
              "Chat layer=0 size=100x30");
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 501, "Chat", {400, 280, 161, 30}, 3)}), tip),
              "Chat layer=3 size=161x30");
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 777, "Other", {400, 280, 100, 30}, 3)}), tip),
              "Other layer=3 size=100x30");
}

TEST(Occluder, AnswersNoneForAnEmptyListAndUnknownForAnUnreadableOne) {
    Object scene = testing::chatScene();
    scene["windows"] = Array{};
    EXPECT_EQ(occluderAt(scene), "none");
    EXPECT_EQ(occluderAt(testing::chatScene(), Point{1500, 900}), "none");  // no window at the point
    for (const char* list : {"null", "{}", "\"x\""}) {
        scene["windows"] = testing::parseJson(list);
        EXPECT_EQ(occluderAt(scene), "unknown") << list;
    }
}

TEST(Occluder, LooksThroughTheCursorWindowOnly) {
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 0, "Window Server", {490, 290, 32, 32}, cursorLevel)})),
              std::nullopt);
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 0, "Window Server", {490, 290, 128, 128}, cursorLevel + 1)})),
              std::nullopt);
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 0, "Window Server", {400, 200, 200, 200}, cursorLevel)})),
              "Window Server layer=2147483630 size=200x200");
    EXPECT_EQ(occluderAt(chatSceneWith({listedWindow(70, 0, "Window Server", {490, 290, 32, 32}, cursorLevel - 1)})),
              "Window Server layer=2147483629 size=32x32");
}

TEST(Occluder, LooksThroughTheDocksDisplayOverlayOnly) {
    EXPECT_EQ(occluderAt(withDock(chatSceneWith({listedWindow(70, dockPid, "Dock", {0.5, 0, 1920.5, 1079.2}, 20)}))),
              std::nullopt);
    EXPECT_EQ(occluderAt(withDock(chatSceneWith({listedWindow(70, dockPid, "Dock", {1, 1, 1918, 1078}, 20)}))),
              "Dock layer=20 size=1918x1078");
    EXPECT_EQ(occluderAt(withDock(chatSceneWith({listedWindow(70, dockPid, "Dock", {0, 0, 1920, 1080}, 0)}))),
              "Dock layer=0 size=1920x1080");
    // Same frame and layer, but not the Dock's process.
    EXPECT_EQ(occluderAt(withDock(chatSceneWith({listedWindow(70, 777, "Dock", {0, 0, 1920, 1080}, 20)}))),
              "Dock layer=20 size=1920x1080");
}

TEST(Occluder, LooksThroughANotificationOnlyWhenTheHitTestReachesTheBoundApplication) {
    const Value banner = listedWindow(70, 400, "NotificationCenter", {0, 0, 1920, 1080}, 23);
    const Object scene = chatSceneWith({banner});
    EXPECT_EQ(occluderAt(withHitTest(scene, 501)), std::nullopt);
    EXPECT_EQ(occluderAt(withHitTest(scene, 777)), "NotificationCenter layer=23 size=1920x1080");
    EXPECT_EQ(occluderAt(withHitTest(scene, nullptr)), "NotificationCenter layer=23 size=1920x1080");
    // Without a scripted hit test the banner itself is hit.
    EXPECT_EQ(occluderAt(scene), "NotificationCenter layer=23 size=1920x1080");
}

TEST(Occluder, TreatsTheBoundApplicationsOwnPopupAsPartOfItWhenAsked) {
    const Object own = chatSceneWith({listedWindow(70, 501, "Chat", {350, 250, 400, 200})});
    EXPECT_EQ(occluderAt(own, inside, true), std::nullopt);
    EXPECT_EQ(occluderAt(own, inside, false), "Chat layer=0 size=400x200");
    const Object foreign = chatSceneWith({listedWindow(70, 777, "Other", {350, 250, 400, 200})});
    EXPECT_EQ(occluderAt(foreign, inside, true), "Other layer=0 size=400x200");
    // A window of the bound application that is not its popup (too big) still covers.
    const Object large = chatSceneWith({listedWindow(70, 501, "Chat", {150, 100, 800, 500})});
    EXPECT_EQ(occluderAt(large, inside, true), "Chat layer=0 size=800x500");
}

TEST(HitPid, NamesTheOwnerOfTheElementAtAPoint) {
    Harness h(withHitTest(testing::chatScene(), 501));
    EXPECT_EQ(hitPid(h.desktop(), inside), 501);
    Harness failing(withHitTest(testing::chatScene(), nullptr));
    EXPECT_EQ(hitPid(failing.desktop(), inside), std::nullopt);
    Harness empty(testing::chatScene());
    EXPECT_EQ(hitPid(empty.desktop(), Point{1500, 900}), std::nullopt);
}

std::vector<uint32_t> layerIds(const std::vector<VisibleLayer>& layers) {
    std::vector<uint32_t> ids;
    for (const VisibleLayer& layer : layers) ids.push_back(layer.id);
    return ids;
}

TEST(VisibleLayers, LeavesOutTransparentUnnumberedAndPassThroughWindows) {
    Value unnumbered = listedWindow(71, 777, "Other", {0, 0, 100, 100});
    unnumbered.asObject()->erase("kCGWindowNumber");
    Value noAlpha = listedWindow(72, 777, "Other", {0, 0, 100, 100});
    noAlpha.asObject()->erase("kCGWindowAlpha");
    Object scene = withDock(chatSceneWith({
        listedWindow(70, 0, "Window Server", {10, 10, 32, 32}, cursorLevel),
        listedWindow(73, dockPid, "Dock", {0, 0, 1920, 1080}, 20),
        listedWindow(74, 777, "Glass", {0, 0, 100, 100}, 0, 0),
        unnumbered,
        noAlpha,
        listedWindow(75, 777, "Viewer", {0, 0, 100, 100}),
    }));
    Harness h(scene);
    auto layers = visibleLayers(h.desktop(), std::nullopt, std::nullopt);
    EXPECT_EQ(layerIds(layers), (std::vector<uint32_t>{75, 60}));
    EXPECT_EQ(layers[0].owner, "Viewer");
    EXPECT_EQ(layers[1].rect, (Rect{100, 50, 900, 600}));

    Object broken = testing::chatScene();
    broken["windows"] = nullptr;
    Harness unreadable(broken);
    EXPECT_TRUE(visibleLayers(unreadable.desktop(), inside, 501).empty());
}

TEST(VisibleLayers, LeavesOutADisplaySizedNotificationOnlyWithAProbeHittingTheTarget) {
    // Display-sized but placed elsewhere: the origin is not compared.
    const Value banner = listedWindow(70, 400, "通知中心", {5, 5, 1920.5, 1080}, 23);
    Harness h(withHitTest(chatSceneWith({banner}), 501));
    EXPECT_EQ(layerIds(visibleLayers(h.desktop(), inside, 501)), (std::vector<uint32_t>{60}));
    EXPECT_EQ(layerIds(visibleLayers(h.desktop(), inside, 777)), (std::vector<uint32_t>{70, 60}));
    EXPECT_EQ(layerIds(visibleLayers(h.desktop(), std::nullopt, 501)), (std::vector<uint32_t>{70, 60}));
    EXPECT_EQ(layerIds(visibleLayers(h.desktop(), inside, std::nullopt)), (std::vector<uint32_t>{70, 60}));

    const Value small = listedWindow(70, 400, "NotificationCenter", {1500, 20, 350, 80}, 23);
    Harness banners(withHitTest(chatSceneWith({small}), 501));
    EXPECT_EQ(layerIds(visibleLayers(banners.desktop(), inside, 501)), (std::vector<uint32_t>{70, 60}));
}

const std::vector<VisibleLayer> stack{
    VisibleLayer{70, Rect{300, 100, 200, 100}, "Viewer"},
    VisibleLayer{60, Rect{100, 50, 900, 600}, "Chat"},
    VisibleLayer{80, Rect{0, 0, 1920, 1080}, "Behind"},
};

TEST(RegionIsVisible, RequiresTheWholeRegionInsideTheWindowWithNothingInFront) {
    EXPECT_TRUE(regionIsVisible(60, Rect{100, 250, 900, 400}, stack));
    EXPECT_TRUE(regionIsVisible(60, Rect{100, 200, 200, 50}, stack));  // touches the front layer's edges only
    EXPECT_FALSE(regionIsVisible(60, Rect{100, 250, 901, 400}, stack));
    EXPECT_FALSE(regionIsVisible(60, Rect{99, 250, 100, 100}, stack));
    EXPECT_FALSE(regionIsVisible(60, Rect{490, 190, 20, 20}, stack));
    EXPECT_FALSE(regionIsVisible(60, Rect{200, 300, 0, 10}, stack));
    EXPECT_FALSE(regionIsVisible(61, Rect{200, 300, 10, 10}, stack));
    EXPECT_FALSE(regionIsVisible(60, Rect{200, 300, 10, 10}, {}));
}

TEST(RegionOccluder, NamesTheFrontLayerOverTheRegionOnOneLine) {
    EXPECT_EQ(regionOccluder(60, Rect{490, 190, 20, 20}, stack), "Viewer");
    EXPECT_EQ(regionOccluder(60, Rect{100, 250, 100, 100}, stack), "");
    EXPECT_EQ(regionOccluder(80, Rect{1500, 900, 10, 10}, stack), "");
    EXPECT_EQ(regionOccluder(60, Rect{1500, 900, 10, 10}, {}), "");

    auto named = [](std::string owner) {
        return regionOccluder(60, Rect{0, 0, 10, 10}, {VisibleLayer{70, Rect{0, 0, 100, 100}, std::move(owner)}});
    };
    EXPECT_EQ(named("A;b\nc\r\nd\ve\ff\u0085g\u2028h\u2029i"), "Abcdefghi");
    EXPECT_EQ(named(""), "");
    EXPECT_EQ(named(";\n"), "");
    // Forty user-perceived characters, a thumbs-up with its skin tone being one.
    std::string thumbs;
    for (int i = 0; i < 45; ++i) thumbs += "\U0001F44D\U0001F3FD";
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += "\U0001F44D\U0001F3FD";
    EXPECT_EQ(named(thumbs), forty);
    EXPECT_EQ(named(std::string(39, 'x') + ";e\u0301z"), std::string(39, 'x') + "e\u0301");
}

}  // namespace
}  // namespace quillgate
