// The search for the message editor: its depth and visit limits, pruning and
// the first hit.

#include <gtest/gtest.h>

#include "reading/composer_walk.h"
#include "support/ax_trees.h"
#include "support/harness.h"
#include "windows/ax_windows.h"

namespace quillgate {
namespace {

using testing::chain;
using testing::chatSceneWithTree;
using testing::fan;
using testing::frame;
using testing::node;

// The composer strip of the chat window, in screen points.
const Rect region{100, 550, 900, 100};

ComposerSearch search(const Object& scene) {
    testing::Harness h(scene);
    ComposerSearch s;
    s.region = region;
    composerWalk(h.desktop(), axWindows(h.desktop(), 501).value().front(), 0, s);
    return s;
}

Value editor(const std::string& text) {
    return Object{{"AXRole", "AXTextArea"}, {"AXValue", text}, {"frame", frame(110, 560, 880, 80)}};
}

Value group() { return Object{{"AXRole", "AXGroup"}}; }

TEST(ComposerWalk, StopsAtDepthFourteenAndAtThreeThousandVisits) {
    auto deep = [](int groups) { return chatSceneWithTree(chain(groups, [](int) { return group(); }, editor("draft"))); };
    auto wide = [](int groups) {
        Array children = fan(groups, [](int) { return group(); });
        children.push_back(editor("wide"));
        return chatSceneWithTree(std::move(children));
    };
    struct Boundary {
        const char* what;
        Object scene;
        std::optional<std::string> found;
        int64_t visited;
    };
    const Boundary table[] = {
        {"editor at depth 14", deep(13), "draft", 15},
        {"editor at depth 15", deep(14), std::nullopt, 15},
        {"editor as visit 3,000", wide(2998), "wide", 3000},
        {"editor as visit 3,001", wide(2999), std::nullopt, 3000},
    };
    for (const Boundary& row : table) {
        const ComposerSearch s = search(row.scene);
        EXPECT_EQ(s.found, row.found) << row.what;
        EXPECT_EQ(s.visited, row.visited) << row.what;
    }
}

TEST(ComposerWalk, PrunesFramedSubtreesOutsideTheRegionButSearchesUnframedOnes) {
    Value outside = node(Object{{"AXRole", "AXGroup"}, {"frame", frame(100, 50, 900, 400)}}, {editor("hidden")});
    ComposerSearch pruned = search(chatSceneWithTree({outside}));
    EXPECT_EQ(pruned.found, std::nullopt);
    EXPECT_EQ(pruned.visited, 2);
    ComposerSearch open = search(chatSceneWithTree({node(Object{{"AXRole", "AXGroup"}}, {editor("reached")})}));
    EXPECT_EQ(open.found, "reached");
}

TEST(ComposerWalk, StopsAtTheFirstEditorItFinds) {
    ComposerSearch s = search(chatSceneWithTree({node(Object{{"AXRole", "AXGroup"}}, {editor(""), editor("second")}),
                                                 editor("third")}));
    EXPECT_EQ(s.found, "");
    EXPECT_EQ(s.visited, 3);
}

}  // namespace
}  // namespace quillgate
