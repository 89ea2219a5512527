// The label match of "popup-press": trimming, depth and the five-match limit.

#include <gtest/gtest.h>

#include "reading/label_walk.h"
#include "support/ax_trees.h"
#include "support/harness.h"
#include "windows/ax_windows.h"

namespace quillgate {
namespace {

using testing::chain;
using testing::chatSceneWithTree;
using testing::fan;

TEST(LabelWalk, TrimsSpaceSeparatorsAndTabsButNotLineBreaks) {
    EXPECT_EQ(trimmedLabel(" \t OK \t"), "OK");
    EXPECT_EQ(trimmedLabel("\xC2\xA0\xE3\x80\x80" "确定\xE2\x80\x83"), "确定");  // no-break, ideographic, em spaces
    EXPECT_EQ(trimmedLabel(" Not now "), "Not now");
    EXPECT_EQ(trimmedLabel("OK\n"), "OK\n");
    EXPECT_EQ(trimmedLabel("\xE2\x80\xA8OK"), "\xE2\x80\xA8OK");  // a line separator stays
    EXPECT_EQ(trimmedLabel("  \t "), "");
    EXPECT_EQ(trimmedLabel(" \xFF "), "\xFF");
}

std::vector<std::string> matched(Array tree, std::set<std::string> labels = {"OK"}) {
    testing::Harness h(chatSceneWithTree(std::move(tree)));
    std::vector<Element> matches;
    labelWalk(h.desktop(), axWindows(h.desktop(), 501).value().front(), 0, labels, matches);
    std::vector<std::string> ids;
    for (const Element& e : matches) {
        auto id = h.desktop().copyAttribute(e, "AXIdentifier");
        ids.push_back(id.value.asString() ? *id.value.asString() : "?");
    }
    return ids;
}

Value labelled(const std::string& id, Object attributes = {{"AXTitle", "OK"}}) {
    attributes["AXIdentifier"] = id;
    return attributes;
}

TEST(LabelWalk, ReadsTitleValueAndDescriptionUntilOneMatches) {
    EXPECT_EQ(matched({labelled("value", {{"AXTitle", "Cancel"}, {"AXValue", " OK"}}),
                       labelled("desc", {{"AXTitle", 3}, {"AXDescription", "OK "}}),
                       labelled("twice", {{"AXTitle", "OK"}, {"AXValue", "OK"}}),
                       labelled("other", {{"AXTitle", "OKAY"}})}),
              (std::vector<std::string>{"value", "desc", "twice"}));
    // Labels are compared as given: padding in a label never matches.
    EXPECT_EQ(matched({labelled("a")}, {" OK"}), std::vector<std::string>{});
}

TEST(LabelWalk, StopsAtDepthFourteenAndAtFiveMatches) {
    auto plain = [](int) { return Value(Object{{"AXRole", "AXGroup"}}); };
    auto numbered = [](int n) { return labelled(std::to_string(n)); };
    using Ids = std::vector<std::string>;
    const struct {
        const char* what;
        Array tree;
        Ids found;
    } table[] = {
        // Matches at depths 1 to 5: the limit, not the depth, ends it; a
        // match is searched below too.
        {"a chain of matches", chain(15, numbered), Ids{"1", "2", "3", "4", "5"}},
        {"a match at depth 14", chain(13, plain, labelled("deep")), Ids{"deep"}},
        {"a match at depth 15", chain(14, plain, labelled("deeper")), Ids{}},
        {"seven sibling matches", fan(7, numbered), Ids{"0", "1", "2", "3", "4"}},
    };
    for (const auto& row : table) EXPECT_EQ(matched(row.tree), row.found) << row.what;
}

}  // namespace
}  // namespace quillgate
