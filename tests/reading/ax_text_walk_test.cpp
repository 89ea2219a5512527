// The text-dump walk: what it counts, what it records, and where it stops.

#include <gtest/gtest.h>

#include "reading/ax_text_walk.h"
#include "support/ax_trees.h"
#include "support/harness.h"
#include "support/window_entries.h"
#include "windows/ax_windows.h"

namespace quillgate {
namespace {

using testing::chain;
using testing::chatSceneWithTree;
using testing::fan;
using testing::frame;
using testing::node;

TextWalk walk(const Object& scene, const Window& window = testing::chatWindow()) {
    testing::Harness h(scene);
    TextWalk walk;
    axTextWalk(h.desktop(), axWindows(h.desktop(), 501).value().front(), 0, walk, window);
    return walk;
}

// A framed element with a text, or without one when `text` is empty.
Value item(const std::string& role, const std::string& text = "") {
    Object attributes{{"AXRole", role}, {"frame", frame(550, 350, 90, 30)}};
    if (!text.empty()) attributes["AXValue"] = text;
    return attributes;
}

std::vector<double> depths(const TextWalk& w) {
    std::vector<double> list;
    for (const Value& i : w.items) list.push_back(*i.find("depth")->asNumber());
    return list;
}

TEST(AxTextWalk, StopsAtDepthFortySixThousandVisitsAndTwelveHundredItems) {
    auto fanWithLast = [](int siblings) {
        Array children = fan(siblings - 1, [](int) { return item("AXStaticText"); });
        children.push_back(item("AXLast"));
        return chatSceneWithTree(std::move(children));
    };
    struct Boundary {
        const char* what;
        Object scene;
        int64_t visited;
        size_t items;
        std::string role;  // counted in "roles"
        int64_t roleCount;
        std::string lastText;  // of the last recorded item
    };
    const Boundary table[] = {
        {"a chain 45 deep: depth 40 is the last entered",
         chatSceneWithTree(chain(45, [](int d) { return item("AXGroup", "level " + std::to_string(d)); })), 41, 41,
         "AXGroup", 40, "level 40"},
        {"the 6,000th element is entered", fanWithLast(5999), 6000, 1, "AXLast", 1, "Chat"},
        {"the 6,001st is not", fanWithLast(6000), 6000, 1, "AXLast", 0, "Chat"},
        {"items stop at 1,200, counting goes on",
         chatSceneWithTree(fan(1300, [](int i) { return item("AXStaticText", std::to_string(i)); })), 1301, 1200,
         "AXStaticText", 1300, "1198"},
    };
    for (const Boundary& row : table) {
        TextWalk w = walk(row.scene);
        EXPECT_EQ(w.visited, row.visited) << row.what;
        ASSERT_EQ(w.items.size(), row.items) << row.what;
        EXPECT_EQ(w.roles.contains(row.role) ? w.roles[row.role] : 0, row.roleCount) << row.what;
        EXPECT_EQ(*w.items.back().find("text")->asString(), row.lastText) << row.what;
    }
}

TEST(AxTextWalk, RecordsElementsWithoutTextOnlyFromDepthNineAndOnlyWithAFrame) {
    Array tree = chain(11, [](int d) {
        Object attributes{{"AXRole", "AXGroup"}};
        if (d != 10) attributes["frame"] = frame(100, 50, 10, 10);
        return Value(attributes);
    });
    TextWalk w = walk(chatSceneWithTree(std::move(tree)));
    EXPECT_EQ(w.visited, 12);
    EXPECT_EQ(depths(w), (std::vector<double>{0, 9, 11}));
    EXPECT_EQ(*w.items[1].find("text")->asString(), "");
}

TEST(AxTextWalk, WritesFramesAsFractionsOfTheWindowAndDividesByOneForADegenerateWindow) {
    Object scene = chatSceneWithTree({item("AXButton", "OK")});
    TextWalk w = walk(scene);
    ASSERT_EQ(w.items.size(), 2u);
    const Value& ok = w.items[1];
    EXPECT_EQ(*ok.find("x")->asNumber(), 0.5);
    EXPECT_EQ(*ok.find("y")->asNumber(), 0.5);
    EXPECT_DOUBLE_EQ(*ok.find("w")->asNumber(), 0.1);
    EXPECT_DOUBLE_EQ(*ok.find("h")->asNumber(), 0.05);

    Window thin = testing::chatWindow();
    thin.rect.width = 1;
    thin.rect.height = 0.5;
    const TextWalk thinWalk = walk(scene, thin);
    const Value& sliver = thinWalk.items[1];
    EXPECT_EQ(*sliver.find("x")->asNumber(), 450);
    EXPECT_EQ(*sliver.find("w")->asNumber(), 90);
    EXPECT_EQ(*sliver.find("y")->asNumber(), 300);
    EXPECT_EQ(*sliver.find("h")->asNumber(), 30);
}

TEST(AxTextWalk, CutsTextsInUserPerceivedCharacters) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const std::string accented = "e\xCC\x81";  // e and a combining acute: one character
    Object attributes{{"AXRole", "AXStaticText"},
                      {"AXTitle", repeat(accented, 5000)},
                      {"AXHelp", repeat(accented, 100)},
                      {"AXIdentifier", repeat("i", 80)},
                      {"frame", frame(100, 50, 10, 10)}};
    TextWalk w = walk(chatSceneWithTree({Value(attributes)}));
    const Value& record = w.items[1];
    EXPECT_EQ(*record.find("title")->asString(), repeat(accented, 4000));
    EXPECT_EQ(*record.find("text")->asString(), repeat(accented, 4000));
    EXPECT_EQ(*record.find("help")->asString(), repeat(accented, 80));
    EXPECT_EQ(*record.find("id")->asString(), repeat("i", 80));
}

TEST(AxTextWalk, AddsOptionalKeysOnlyForNonEmptyStringsAndKidsOnlyForReadableChildren) {
    Object leaf{{"AXRole", "AXStaticText"}, {"AXValue", "hi"}, {"AXSubrole", ""}, {"AXRoleDescription", 7},
                {"AXDescription", "greeting"}, {"AXChildren", Array{}}, {"frame", frame(100, 50, 10, 10)}};
    Object unreadable{{"AXRole", Object{{"error", -25200}}}, {"AXValue", "x"}, {"AXChildren", "none"},
                      {"frame", frame(100, 50, 10, 10)}};
    TextWalk w = walk(chatSceneWithTree({Value(leaf), Value(unreadable)}));
    ASSERT_EQ(w.items.size(), 3u);
    const Object& first = *w.items[1].asObject();
    EXPECT_EQ(first.count("sub") + first.count("rd"), 0u);
    EXPECT_EQ(*first.at("desc").asString(), "greeting");
    EXPECT_EQ(*first.at("kids").asNumber(), 0);
    const Object& second = *w.items[2].asObject();
    EXPECT_EQ(*second.at("role").asString(), "");
    EXPECT_FALSE(second.contains("kids"));
    EXPECT_EQ(w.roles[""], 1);
    EXPECT_EQ(*w.items[0].find("kids")->asNumber(), 2);
}

}  // namespace
}  // namespace quillgate
