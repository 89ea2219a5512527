#include "reading/text_operations.h"

#include "core/failure.h"
#include "core/values.h"
#include "reading/ax_text_walk.h"
#include "reading/composer_walk.h"
#include "reading/editor.h"
#include "windows/accessibility.h"
#include "windows/ax_windows.h"
#include "windows/verification.h"

namespace quillgate {

namespace {

// The editor may draw its frame slightly outside the region the host measured.
constexpr double composerMargin = 8;
constexpr double composerMinSize = 2;

// The request's region, window-relative points, moved to the screen and grown
// by the margin.
Rect searchRect(const Object& request, const Window& window) {
    const Object* region = objectAt(request, "region");
    if (!region) reject(msg::invalidComposerRegion);
    auto x = number(member(*region, "x"));
    auto y = number(member(*region, "y"));
    auto width = number(member(*region, "width"));
    auto height = number(member(*region, "height"));
    if (!x || !y || !width || !height) reject(msg::invalidComposerRegion);
    if (!(*width >= composerMinSize) || !(*height >= composerMinSize)) reject(msg::invalidComposerRegion);
    return Rect{window.rect.x + *x - composerMargin, window.rect.y + *y - composerMargin,
                *width + 2 * composerMargin, *height + 2 * composerMargin};
}

// The text is answered only if the window is still where it was when it was read.
Object verifiedText(const GatedCall& call, std::string text) {
    requireUnmoved(call.platform(), call.bound, call.window.rect);
    return Object{{"text", std::move(text)}};
}

}  // namespace

Object composerTextOperation(const GatedCall& call) {
    Platform& platform = call.platform();
    const Window& window = call.window;
    ComposerSearch search;
    search.region = searchRect(call.request, window);

    // The focused element first: usually it is the composer, and that costs a few reads.
    if (auto focused = axElement(platform, platform.applicationElement(window.pid), "AXFocusedUIElement")) {
        if (auto text = editorValue(platform, *focused, search.region)) return verifiedText(call, std::move(*text));
    }

    const std::vector<Element> targets = axWindowsAt(platform, window.pid, window.rect);
    for (const Element& w : targets) composerWalk(platform, w, 0, search);
    const bool searched = !targets.empty();
    if (search.found) return verifiedText(call, std::move(*search.found));
    // Only a complete search may say there is no editor.
    if (searched && search.visited < composerMaxVisited) return Object{{"noEditor", true}};
    return Object{};
}

Object axTextOperation(const GatedCall& call) {
    Platform& platform = call.platform();
    const Window& window = call.window;
    TextWalk walk;
    const std::vector<Element> targets = axWindowsAt(platform, window.pid, window.rect);
    for (const Element& w : targets) axTextWalk(platform, w, 0, walk, window);
    const bool walked = !targets.empty();
    Object roles;
    for (const auto& [role, count] : walk.roles) roles.emplace(role, count);
    return Object{{"walked", walked}, {"visited", walk.visited}, {"roles", std::move(roles)},
                  {"items", std::move(walk.items)}};
}

}  // namespace quillgate
