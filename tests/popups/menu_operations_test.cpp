// Menus and the Dock: which windows count as menus, which items and icons are
// found, and what is pressed.

#include <gtest/gtest.h>

#include "support/ax_trees.h"
#include "support/event_lines.h"
#include "support/harness.h"
#include "support/window_entries.h"

namespace quillgate {
namespace {

using testing::chain;
using testing::eventLines;
using testing::Harness;
using testing::listedWindow;
using testing::node;

std::string send(Harness& h, Object request) { return h.send(testing::jsonText(request)); }

TEST(DismissMenu, TakesOnlyLayersOneHundredToOneHundredAndThreeOfTheNamedApplications) {
    const Object request{{"op", "dismiss-menu"}, {"bundles", Array{"com.example.chat"}}};
    for (auto [layer, found] : std::vector<std::pair<double, bool>>{{99, false}, {100, true}, {103.9, true}, {104, false}}) {
        Harness h(testing::chatSceneWith({listedWindow(64, 501, "Chat", {400, 300, 180, 120}, layer)}));
        EXPECT_EQ(send(h, request), found ? R"({"found":true,"ok":true})" : R"({"found":false,"ok":true})") << layer;
        EXPECT_EQ(eventLines(h).size(), found ? 2u : 0u);
    }
    Harness other(testing::chatSceneWith({listedWindow(64, 777, "Other", {400, 300, 180, 120}, 101)}));
    EXPECT_EQ(send(other, request), R"({"found":false,"ok":true})");
    Harness unnamed(testing::chatSceneWith({listedWindow(64, 501, "Chat", {400, 300, 180, 120}, 101)}));
    EXPECT_EQ(send(unnamed, Object{{"op", "dismiss-menu"}}), R"({"found":false,"ok":true})");
}

// App 501 with a menu bar holding a "Window" menu with these items, and a
// second running instance of the same bundle without a menu bar.
Object menuScene(Array items) {
    Object scene = testing::chatScene();
    Value bar = node(Object{{"AXRole", "AXMenuBar"}},
                     {node(Object{{"AXTitle", "Window"}}, {node(Object{{"AXRole", "AXMenu"}}, std::move(items))})});
    testing::at(testing::at(testing::at(scene["apps"], 0), "ax"), "AXMenuBar") = std::move(bar);
    scene["apps"].asArray()->push_back(Object{{"pid", 502}, {"bundle", "com.example.chat"}});
    return scene;
}

std::string showChats(Harness& h, Object extra = {}) {
    extra["op"] = "show-chats";
    extra["bundles"] = Array{"com.example.chat"};
    return send(h, extra);
}

TEST(ShowChats, MatchesExactTitlesAndPressesOnlyEnabledItems) {
    Value chats = Object{{"id", "chats"}, {"AXTitle", "Chats"}};
    Harness h(menuScene({Object{{"AXTitle", "Chats…"}}, Object{{"AXEnabled", false}}, chats}));
    EXPECT_EQ(showChats(h, {{"items", Array{}}}), R"({"ok":true,"pressed":false,"why":"no-item"})");
    EXPECT_EQ(showChats(h, {{"items", Array{""}}}), R"({"ok":true,"pressed":false,"why":"no-item"})");
    EXPECT_EQ(showChats(h, {{"menus", Array{"窗口"}}}), R"({"ok":true,"pressed":false,"why":"no-item"})");
    EXPECT_EQ(showChats(h, {{"menus", Array{"Window"}}, {"items", Array{"Chats"}}}), R"({"ok":true,"pressed":true})");
    EXPECT_EQ(eventLines(h), eventLines({R"({"what":"action","action":"AXPress","element":"chats","ok":true})"}));

    Harness disabled(menuScene({Object{{"AXTitle", "Chat"}, {"AXEnabled", false}}}));
    EXPECT_EQ(showChats(disabled), R"({"ok":true,"pressed":false,"why":"disabled"})");
    Harness refused(menuScene({Object{{"AXTitle", "聊天"}, {"AXEnabled", "no"}, {"actions", Object{{"AXPress", false}}}}}));
    EXPECT_EQ(showChats(refused), R"({"ok":true,"pressed":false})");
}

Object dockScene(Array tree) {
    Object scene = testing::chatScene();
    scene["apps"].asArray()->push_back(Object{{"pid", 90}, {"bundle", "com.apple.dock"},
                                              {"ax", node(Object{{"AXRole", "AXApplication"}}, std::move(tree))}});
    return scene;
}

TEST(ReopenApp, FindsDockItemsDownToDepthFour) {
    auto group = [](int) { return Value(Object{{"AXRole", "AXGroup"}}); };
    Value icon = Object{{"id", "icon"}, {"AXRole", "AXDockItem"}, {"AXTitle", "Chat"}};
    const Object request{{"op", "reopen-app"}, {"names", Array{"Chat"}}};
    Harness four(dockScene(chain(3, group, icon)));
    EXPECT_EQ(send(four, request), R"({"ok":true,"pressed":true})");
    Harness five(dockScene(chain(4, group, icon)));
    EXPECT_EQ(send(five, request), R"({"ok":true,"pressed":false})");
    EXPECT_EQ(eventLines(five), std::vector<std::string>{});
}

// Cannot-complete means the application may have taken the press; answering
// "pressed": false would invite the host to press a second time.
TEST(MenuAndDockPresses, CountAnUnconfirmedPressAsPressed) {
    const Object cannotComplete{{"AXPress", axstatus::cannotComplete}};
    Harness menu(menuScene({Object{{"AXTitle", "Chats"}, {"actions", cannotComplete}}}));
    EXPECT_EQ(showChats(menu), R"({"ok":true,"pressed":true})");
    Harness dock(dockScene({Object{{"AXRole", "AXDockItem"}, {"AXTitle", "Chat"}, {"actions", cannotComplete}}}));
    EXPECT_EQ(send(dock, Object{{"op", "reopen-app"}, {"names", Array{"Chat"}}}), R"({"ok":true,"pressed":true})");
    EXPECT_EQ(eventLines(dock).size(), 1u);
}

}  // namespace
}  // namespace quillgate
