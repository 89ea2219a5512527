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

TEST(ComposerWalk, ReachesDepthFourteenButNotFifteen) {
    ComposerSearch deep = search(chatSceneWithTree(chain(13, [](int) { return group(); }, editor("draft"))));
    EXPECT_EQ(deep.found, "draft");
    ComposerSearch deeper = search(chatSceneWithTree(chain(14, [](int) { return group(); }, editor("draft"))));
    EXPECT_EQ(deeper.found, std::nullopt);
    EXPECT_EQ(deeper.visited, 15);
}

TEST(ComposerWalk, SpendsAtMostThreeThousandVisits) {
    auto groupsThenEditor = [](int groups) {
        Array children = fan(groups, [](int) { return group(); });
        children.push_back(editor("late"));
        return chatSceneWithTree(std::move(children));
    };
    ComposerSearch last = search(groupsThenEditor(2998));  // the editor is visit 3,000
    EXPECT_EQ(last.found, "late");
    EXPECT_EQ(last.visited, 3000);
    ComposerSearch beyond = search(groupsThenEditor(2999));
    EXPECT_EQ(beyond.found, std::nullopt);
    EXPECT_EQ(beyond.visited, 3000);
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
