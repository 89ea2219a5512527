#include "reading/composer_walk.h"

#include "reading/editor.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"
#include "windows/geometry.h"

namespace quillgate {

void composerWalk(Platform& platform, const Element& element, int depth, ComposerSearch& search) {
    if (search.found || depth > composerMaxDepth) return;
    if (search.visited >= composerMaxVisited) return;
    ++search.visited;
    if (auto value = editorValue(platform, element, search.region)) {
        search.found = std::move(value);
        return;
    }
    // Elements without a readable frame are searched: containers often have none.
    auto frame = axRect(platform, element);
    if (frame && !intersects(*frame, search.region)) return;
    for (const Element& child : axChildren(platform, element)) {
        composerWalk(platform, child, depth + 1, search);
        if (search.found) return;
    }
}

}  // namespace quillgate
