#include "backends/x11/stacking.h"

#include <xcb/res.h>
#include <xcb/shape.h>

#include <algorithm>
#include <unordered_map>

#include "backends/x11/proc.h"

namespace quillgate::x11 {

namespace {

constexpr uint32_t textWords = 1024;
// Reparenting window managers nest a client at most this deep below the root.
constexpr int frameDepth = 4;

// Every request for one window, sent before any reply is read, so a whole
// list costs a few round trips rather than a few per window.
struct Asked {
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_get_window_attributes_cookie_t attributes{};
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
    xcb_get_property_cookie_t pid{}, netName{}, name{}, extents{}, type{}, state{}, desktop{};
};

Asked ask(const Connection& x, xcb_window_t window) {
    xcb_connection_t* c = x.get();
    const Atoms& a = x.atoms();
    Asked asked;
    asked.window = window;
    asked.attributes = xcb_get_window_attributes(c, window);
    asked.geometry = xcb_get_geometry(c, window);
    asked.origin = xcb_translate_coordinates(c, window, x.root(), 0, 0);
    asked.pid = xcb_get_property(c, 0, window, a.wmPid, XCB_ATOM_CARDINAL, 0, 1);
    asked.netName = xcb_get_property(c, 0, window, a.wmName, a.utf8String, 0, textWords);
    asked.name = xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, textWords);
    asked.extents = xcb_get_property(c, 0, window, a.frameExtents, XCB_ATOM_CARDINAL, 0, 4);
    asked.type = xcb_get_property(c, 0, window, a.windowType, XCB_ATOM_ATOM, 0, 32);
    asked.state = xcb_get_property(c, 0, window, a.wmState, XCB_ATOM_ATOM, 0, 32);
    asked.desktop = xcb_get_property(c, 0, window, a.wmDesktop, XCB_ATOM_CARDINAL, 0, 1);
    return asked;
}

Reply<xcb_get_property_reply_t> property(const Connection& x, xcb_get_property_cookie_t cookie) {
    return x.replyTo<xcb_get_property_reply_t>(cookie);
}

WindowType typeOf(const Atoms& a, const std::vector<uint32_t>& types) {
    const std::pair<xcb_atom_t, WindowType> known[] = {
        {a.typeNormal, WindowType::normal},        {a.typeDialog, WindowType::dialog},
        {a.typeDock, WindowType::dock},            {a.typeDesktop, WindowType::desktop},
        {a.typeNotification, WindowType::notification}, {a.typePopupMenu, WindowType::popupMenu},
        {a.typeDropdownMenu, WindowType::dropdownMenu}, {a.typeTooltip, WindowType::tooltip},
        {a.typeCombo, WindowType::combo},          {a.typeUtility, WindowType::utility},
        {a.typeToolbar, WindowType::toolbar},      {a.typeMenu, WindowType::menu},
        {a.typeSplash, WindowType::splash},        {a.typeDnd, WindowType::dnd},
    };
    // The list is in order of preference; the first type we know wins.
    for (uint32_t atom : types) {
        for (const auto& [candidate, type] : known) {
            if (atom == candidate) return type;
        }
    }
    return WindowType::none;
}

WindowStates statesOf(const Atoms& a, const std::vector<uint32_t>& atoms) {
    WindowStates states;
    for (uint32_t atom : atoms) {
        states.hidden |= atom == a.stateHidden;
        states.shaded |= atom == a.stateShaded;
        states.above |= atom == a.stateAbove;
        states.below |= atom == a.stateBelow;
        states.modal |= atom == a.stateModal;
    }
    return states;
}

// Absent when the window is gone. inView: the desktop in view, where named.
std::optional<WindowFacts> answer(const Connection& x, const Asked& asked, bool unmanaged,
                                  std::optional<uint32_t> inView) {
    auto attributes = x.replyTo<xcb_get_window_attributes_reply_t>(asked.attributes);
    auto geometry = x.replyTo<xcb_get_geometry_reply_t>(asked.geometry);
    auto origin = x.replyTo<xcb_translate_coordinates_reply_t>(asked.origin);
    auto pid = property(x, asked.pid);
    auto netName = property(x, asked.netName);
    auto name = property(x, asked.name);
    auto extents = property(x, asked.extents);
    auto type = property(x, asked.type);
    auto state = property(x, asked.state);
    auto desktop = property(x, asked.desktop);
    if (!attributes || !geometry || !origin) return std::nullopt;

    WindowFacts facts;
    facts.id = asked.window;
    facts.unmanaged = unmanaged;
    facts.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    facts.client = Rect{static_cast<double>(origin->dst_x), static_cast<double>(origin->dst_y),
                        static_cast<double>(geometry->width), static_cast<double>(geometry->height)};
    if (auto items = propertyItems(pid.get()); !items.empty()) facts.pid = static_cast<int32_t>(items[0]);
    facts.title = propertyText(netName.get());
    if (!facts.title) facts.title = propertyText(name.get());
    if (auto items = propertyItems(extents.get()); items.size() == 4) {
        facts.extents = FrameExtents{static_cast<double>(items[0]), static_cast<double>(items[1]),
                                     static_cast<double>(items[2]), static_cast<double>(items[3])};
    }
    facts.type = typeOf(x.atoms(), propertyItems(type.get()));
    facts.states = statesOf(x.atoms(), propertyItems(state.get()));
    const auto desktops = propertyItems(desktop.get());
    facts.appearing =
        appearing(facts, desktops.empty() ? std::nullopt : std::optional<uint32_t>(desktops.front()), inView);
    return facts;
}

// The X-Resource extension knows which client created a window, and that
// client's pid when it is local: the answer for windows without _NET_WM_PID.
void fillMissingPids(const Connection& x, std::vector<StackedWindow>& windows) {
    if (!x.resource() || !x.answering()) return;
    std::vector<std::pair<size_t, xcb_res_query_client_ids_cookie_t>> asked;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].facts.pid) continue;
        const xcb_res_client_id_spec_t spec{windows[i].facts.id, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        asked.emplace_back(i, xcb_res_query_client_ids(x.get(), 1, &spec));
    }
    for (const auto& [index, cookie] : asked) {
        auto reply = x.replyTo<xcb_res_query_client_ids_reply_t>(cookie);
        if (!reply) continue;
        for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem; xcb_res_client_id_value_next(&it)) {
            if (it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID &&
                xcb_res_client_id_value_value_length(it.data) >= 1) {
                windows[index].facts.pid = static_cast<int32_t>(*xcb_res_client_id_value_value(it.data));
            }
        }
    }
}

// A window on the root whose input region (Shape extension) is empty takes
// no pointer event: the pointer reaches what is below it. Any other window,
// input-only or fully transparent ones included, takes the events over its
// whole frame.
void markInputPassing(const Connection& x, std::vector<StackedWindow>& windows) {
    if (!x.shape() || !x.answering()) return;
    std::vector<xcb_shape_get_rectangles_cookie_t> asked;
    for (const StackedWindow& window : windows) {
        const xcb_window_t top = window.frame == XCB_WINDOW_NONE ? window.facts.id : window.frame;
        asked.push_back(xcb_shape_get_rectangles(x.get(), top, XCB_SHAPE_SK_INPUT));
    }
    for (size_t i = 0; i < windows.size(); ++i) {
        auto input = x.replyTo<xcb_shape_get_rectangles_reply_t>(asked[i]);
        windows[i].facts.passesInput = input && input->rectangles_len == 0;
    }
}

// A list read while windows come and go is read again, this many times at most.
constexpr int listAttempts = 3;

// What decides which windows are listed: the clients, the root's children
// (both bottom to top), and which children are viewable (a client's frame
// is mapped to show it) and which override-redirect.
struct Snapshot {
    std::optional<uint32_t> inView;  // _NET_CURRENT_DESKTOP
    std::vector<uint32_t> clients;
    std::vector<xcb_window_t> children;
    std::vector<bool> viewable;
    std::vector<bool> unmanaged;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Connection& x) {
    xcb_connection_t* c = x.get();
    auto stackingCookie = xcb_get_property(c, 0, x.root(), x.atoms().clientListStacking, XCB_ATOM_WINDOW, 0, 1 << 16);
    auto treeCookie = xcb_query_tree(c, x.root());
    auto inViewCookie = xcb_get_property(c, 0, x.root(), x.atoms().currentDesktop, XCB_ATOM_CARDINAL, 0, 1);
    Snapshot seen;
    seen.clients = propertyItems(property(x, stackingCookie).get());
    if (auto inView = propertyItems(property(x, inViewCookie).get()); !inView.empty()) seen.inView = inView.front();
    auto tree = x.replyTo<xcb_query_tree_reply_t>(treeCookie);
    if (tree) {
        const xcb_window_t* first = xcb_query_tree_children(tree.get());
        seen.children.assign(first, first + xcb_query_tree_children_length(tree.get()));
    }
    std::vector<xcb_get_window_attributes_cookie_t> asked;
    for (xcb_window_t child : seen.children) asked.push_back(xcb_get_window_attributes(c, child));
    for (const auto& cookie : asked) {
        auto attributes = x.replyTo<xcb_get_window_attributes_reply_t>(cookie);
        seen.viewable.push_back(attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE);
        seen.unmanaged.push_back(attributes && attributes->override_redirect);
    }
    return seen;
}

// Each window's ancestor just below the root, level by level for all at once.
std::vector<xcb_window_t> framesOf(const Connection& x, const std::vector<xcb_window_t>& windows) {
    std::vector<xcb_window_t> current = windows;
    std::vector<xcb_window_t> frames(windows.size(), XCB_WINDOW_NONE);
    for (int depth = 0; depth < frameDepth && x.answering(); ++depth) {
        std::vector<std::pair<size_t, xcb_query_tree_cookie_t>> asked;
        for (size_t i = 0; i < current.size(); ++i) {
            if (frames[i] == XCB_WINDOW_NONE && current[i] != XCB_WINDOW_NONE)
                asked.emplace_back(i, xcb_query_tree(x.get(), current[i]));
        }
        if (asked.empty()) break;
        for (const auto& [i, cookie] : asked) {
            auto tree = x.replyTo<xcb_query_tree_reply_t>(cookie);
            if (!tree) {
                current[i] = XCB_WINDOW_NONE;
            } else if (tree->parent == x.root()) {
                frames[i] = current[i];
            } else {
                current[i] = tree->parent;
            }
        }
    }
    return frames;
}

}  // namespace

xcb_window_t frameWindow(const Connection& x, xcb_window_t window) {
    const xcb_window_t frame = framesOf(x, {window}).front();
    return frame == XCB_WINDOW_NONE ? window : frame;
}

namespace {

// The windows as the snapshot names them, with all they say about themselves.
std::vector<StackedWindow> stackedFrom(const Connection& x, const Snapshot& seen, bool onScreenOnly) {
    const std::vector<uint32_t>& clients = seen.clients;    // bottom to top
    const std::vector<xcb_window_t>& children = seen.children;  // bottom to top

    // Everything that needs no earlier answer goes out before the frames
    // are looked up, so its replies are in when they are read.
    std::vector<Asked> askedClients;
    for (uint32_t client : clients) askedClients.push_back(ask(x, client));

    const std::vector<xcb_window_t> frames = framesOf(x, std::vector<xcb_window_t>(clients.begin(), clients.end()));
    std::unordered_map<xcb_window_t, size_t> clientOfFrame;
    for (size_t i = 0; i < clients.size(); ++i) clientOfFrame.emplace(frames[i], i);

    // Viewable root children that are no client's frame take input where
    // they are too: override-redirect windows (menus, tooltips,
    // notifications), and a frame the window manager has put on the screen
    // before it names the client in its list, listed as the frame.
    std::vector<size_t> others;  // indices into children
    for (size_t i = 0; i < children.size(); ++i) {
        if (!clientOfFrame.contains(children[i]) && seen.viewable[i]) others.push_back(i);
    }
    std::vector<Asked> askedOthers;
    for (size_t i : others) askedOthers.push_back(ask(x, children[i]));

    std::unordered_map<xcb_window_t, StackedWindow> byFrame;
    std::vector<StackedWindow> frameless;  // not found in the tree: kept in stacking order
    for (size_t i = 0; i < clients.size(); ++i) {
        auto facts = answer(x, askedClients[i], false, seen.inView);
        if (!facts) continue;
        StackedWindow window{std::move(*facts), frames[i]};
        if (frames[i] == XCB_WINDOW_NONE) {
            frameless.push_back(std::move(window));
        } else {
            byFrame.emplace(frames[i], std::move(window));
        }
    }
    for (size_t k = 0; k < others.size(); ++k) {
        const xcb_window_t window = children[others[k]];
        if (auto facts = answer(x, askedOthers[k], seen.unmanaged[others[k]], seen.inView))
            byFrame.emplace(window, StackedWindow{*facts, window});
    }

    std::vector<StackedWindow> ordered;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto found = byFrame.find(*it);
        if (found != byFrame.end()) ordered.push_back(std::move(found->second));
    }
    std::reverse(frameless.begin(), frameless.end());
    for (StackedWindow& window : frameless) ordered.push_back(std::move(window));

    std::erase_if(ordered, [&](const StackedWindow& w) {
        return w.facts.type == WindowType::desktop || (onScreenOnly && !onScreen(w.facts));
    });
    fillMissingPids(x, ordered);
    markInputPassing(x, ordered);
    // An application's windows share one process: its name is read once.
    std::unordered_map<int32_t, std::optional<std::string>> owners;
    for (StackedWindow& window : ordered) {
        if (!window.facts.pid) continue;
        auto [known, fresh] = owners.try_emplace(*window.facts.pid);
        if (fresh) known->second = processName(*window.facts.pid);
        window.facts.owner = known->second;
    }
    return ordered;
}

}  // namespace

std::vector<StackedWindow> stackedWindows(const Connection& x, bool onScreenOnly) {
    if (!x.answering()) return {};
    // The list is read as of its end: when the clients or the root's children
    // changed while it was read, it is read again.
    Snapshot seen = snapshot(x);
    for (int attempt = 1;; ++attempt) {
        std::vector<StackedWindow> windows = stackedFrom(x, seen, onScreenOnly);
        Snapshot now = snapshot(x);
        if (now == seen || attempt == listAttempts) return windows;
        seen = std::move(now);
    }
}

}  // namespace quillgate::x11
