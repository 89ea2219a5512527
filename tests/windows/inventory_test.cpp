// The window list as the program reads it: which entries become windows and
// how they are described.

#include <gtest/gtest.h>

#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::at;
using testing::Harness;

Value window(double number, const char* title, double w, double h) {
    return testing::parseJson(R"({"kCGWindowNumber": )" + std::to_string(number) +
                              R"(, "kCGWindowLayer": 0, "kCGWindowOwnerPID": 501, "kCGWindowOwnerName": "Chat",
          "kCGWindowName": ")" + title + R"(", "kCGWindowBounds": {"X": 0, "Y": 0, "Width": )" +
                              std::to_string(w) + R"(, "Height": )" + std::to_string(h) +
                              R"(}, "kCGWindowIsOnscreen": true, "kCGWindowAlpha": 1})");
}

std::vector<std::string> listedIds(Harness& h) {
    Object answer = h.call(Object{{"op", "list"}});
    std::vector<std::string> ids;
    for (const Value& w : *answer["windows"].asArray()) ids.push_back(*w.find("id")->asString());
    return ids;
}

TEST(Inventory, ListsOnlyTitledLayerZeroWindowsOfLiveApplications) {
    Object scene = testing::chatScene();
    Array list;
    list.push_back(window(1, "", 500, 500));          // no title
    list.push_back(window(2, "ok", 10, 10));          // smallest size listed
    list.push_back(window(3, "narrow", 9.5, 400));    // too narrow
    Value other = window(4, "layer", 500, 500);
    at(other, "kCGWindowLayer") = 3;
    list.push_back(other);
    Value orphan = window(5, "orphan", 500, 500);
    at(orphan, "kCGWindowOwnerPID") = 999;           // no running application
    list.push_back(orphan);
    Value textual = window(6, "typed", 500, 500);
    at(at(textual, "kCGWindowBounds"), "X") = "0";    // bounds that are not numbers
    list.push_back(textual);
    Value boolLayer = window(7, "bool-layer", 500, 500);
    at(boolLayer, "kCGWindowLayer") = false;          // a boolean reads as the number 0
    list.push_back(boolLayer);
    Value minimised = window(8, "hidden", 500, 500);
    at(minimised, "kCGWindowIsOnscreen") = false;
    list.push_back(minimised);
    scene["windows"] = list;
    Harness h(scene);
    EXPECT_EQ(listedIds(h), (std::vector<std::string>{"2", "7", "8"}));
}

TEST(Inventory, DescribesAWindowInBothProtocolForms) {
    Object scene = testing::chatScene();
    Value& bounds = at(at(scene["windows"], 0), "kCGWindowBounds");
    at(bounds, "Width") = 300.5;
    at(at(scene["apps"], 0), "launchDate") = 1765000000.0;
    Harness h(scene);
    EXPECT_EQ(h.send(R"({"op":"inspect","hwnd":"60"})"),
              R"({"identity":{"height":600,"hwnd":"60","minimized":false,"pid":501,"process":"Chat",)"
              R"("processStart":"1765000000.0","title":"Chat","width":300},"ok":true})");
    EXPECT_EQ(h.send(R"({"op":"probe","id":"60"})"),
              R"({"ok":true,"window":{"id":"60","minimized":false,"pid":501,"process":"Chat",)"
              R"("rect":{"height":600,"width":300.5,"x":100,"y":50},"started":"1765000000.0","title":"Chat"}})");
}

TEST(Inventory, FallsBackToTheOwnerNameAndSurvivesAnUnreadableList) {
    Object scene = testing::chatScene();
    at(scene["apps"], 0).asObject()->erase("name");
    Harness named(scene);
    EXPECT_EQ(*named.call(Object{{"op", "probe"}, {"id", "60"}})["window"].find("process")->asString(), "Chat");

    for (const char* list : {"null", "{}", "[1]", "\"x\""}) {
        Object broken = testing::chatScene();
        broken["windows"] = testing::parseJson(list);
        Harness h(broken);
        EXPECT_EQ(h.send(R"({"op":"list"})"), R"({"ok":true,"windows":[]})") << list;
        EXPECT_EQ(h.send(R"({"op":"probe","id":"60"})"), R"({"error":"selected window is unavailable","ok":false})");
    }
}

}  // namespace
}  // namespace quillgate
