#include "recorder/ax_tree.h"

#include <array>
#include <cmath>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillgate::recorder {

namespace {

// Every attribute the program reads, role and subrole first so that a
// secure field is known before its value could be asked for.
constexpr std::array<std::string_view, 22> attributes{
    "AXRole", "AXSubrole", "AXTitle", "AXValue", "AXDescription", "AXHelp", "AXIdentifier", "AXRoleDescription",
    "AXPosition", "AXSize", "AXEnabled", "AXFocused", "AXMinimized", "AXMain",
    "AXWindows", "AXChildren", "AXParent", "AXWindow", "AXFocusedWindow", "AXMainWindow", "AXFocusedUIElement",
    "AXMenuBar"};

constexpr std::string_view secureField = "AXSecureTextField";

// Elements of these are written in place; those of every other attribute
// are references to an element written elsewhere.
bool holdsInPlace(std::string_view attribute) { return attribute == "AXWindows" || attribute == "AXChildren"; }

bool impliesParent(std::string_view attribute) { return attribute == "AXChildren"; }

// In the draft of a node's attributes an element is a marker object: {"node":
// index, "inPlace": bool} for a recorded element, {"pending": index} for one
// found through a reference attribute and resolved after the walk. Real
// values never draft to objects with these keys.
Value nodeMarker(size_t node, bool inPlace) {
    return Object{{"node", static_cast<double>(node)}, {"inPlace", inPlace}};
}

struct Node {
    Element element;
    int depth = 0;
    Object draft;
    bool read = false;
    bool referenced = false;
    std::optional<size_t> impliedParent;  // the node whose AXChildren hold it
};

struct Pending {
    Element element;
    size_t owner;
    std::string attribute;
    std::optional<size_t> node;
    bool inPlace = false;  // placed where it was found, not found among the recorded
};

class Walk {
public:
    Walk(Platform& platform, int32_t pid, const TreeLimits& limits, double deadline)
        : platform_(platform), pid_(pid), limits_(limits), deadline_(deadline) {}

    RecordedTree run() {
        addNode(platform_.applicationElement(pid_), 0, std::nullopt);
        // Reading resolved references may place new elements, whose own
        // references are resolved in the next round.
        for (size_t resolved = 0;;) {
            readQueued();
            if (resolved == pending_.size()) break;
            for (; resolved < pending_.size(); ++resolved) resolve(pending_[resolved]);
        }
        for (size_t i = 0; i < nodes_.size(); ++i)
            for (const auto& [attribute, draft] : nodes_[i].draft)
                if (!impliedParent(i, attribute, draft)) markReferences(draft);
        RecordedTree tree;
        tree.ax = emit(0);
        tree.cuts = std::move(cuts_);
        tree.elements = static_cast<int>(nodes_.size());
        return tree;
    }

private:
    bool outOfTime() { return platform_.monotonic() > deadline_; }

    size_t addNode(Element element, int depth, std::optional<size_t> impliedParent) {
        nodes_.push_back(Node{std::move(element), depth, {}, false, false, impliedParent});
        queue_.push_back(nodes_.size() - 1);
        return nodes_.size() - 1;
    }

    bool roomFor(int depth) const {
        return depth <= limits_.depth && static_cast<int>(nodes_.size()) < limits_.elements;
    }

    std::optional<size_t> find(const Element& element) {
        for (size_t i = 0; i < nodes_.size(); ++i)
            if (nodes_[i].element == element || platform_.elementsEqual(nodes_[i].element, element)) return i;
        return std::nullopt;
    }

    std::string cutReason(int depth) const { return depth > limits_.depth ? "depth" : "elements"; }

    void cut(size_t node, std::string reason, std::optional<std::string> attribute = std::nullopt, int dropped = 0) {
        nodes_[node].referenced = true;
        Object entry;
        entry["element"] = idOf(node);
        entry["reason"] = std::move(reason);
        if (attribute) entry["attribute"] = *attribute;
        if (dropped) entry["dropped"] = dropped;
        cuts_.emplace_back(std::move(entry));
    }

    std::string idOf(size_t node) const { return "e" + std::to_string(pid_) + "-" + std::to_string(node); }

    void readQueued() {
        while (!queue_.empty()) {
            const size_t index = queue_.front();
            queue_.pop_front();
            if (outOfTime()) {
                cut(index, "time");
                continue;
            }
            read(index);
        }
    }

    bool secure(const Object& draft) const {
        for (const char* key : {"AXRole", "AXSubrole"}) {
            auto it = draft.find(key);
            if (it != draft.end() && it->second.asString() && *it->second.asString() == secureField) return true;
        }
        return false;
    }

    void read(size_t index) {
        nodes_[index].read = true;
        for (std::string_view name : attributes) {
            const std::string attribute(name);
            // An application that stopped answering costs the platform's
            // time-out on every read: the bound holds between reads too.
            if (outOfTime()) {
                cut(index, "time", attribute);
                return;
            }
            if (attribute == "AXValue" && secure(nodes_[index].draft)) continue;
            AxResult result = platform_.copyAttribute(nodes_[index].element, attribute);
            if (result.status == axstatus::noValue) continue;
            if (!result.ok()) {
                nodes_[index].draft[attribute] = Object{{"error", result.status}};
                continue;
            }
            int dropped = 0;
            std::optional<Value> drafted = draft(result.value, index, attribute, dropped);
            if (dropped) cut(index, cutReason(nodes_[index].depth + 1), attribute, dropped);
            if (drafted)
                nodes_[index].draft[attribute] = std::move(*drafted);
            else if (!dropped)
                cut(index, "unrepresentable", attribute);
        }
    }

    // The value as the scene writes it, elements as markers; nothing when
    // JSON has no form for it. Elements that the bounds leave out of an
    // in-place list are dropped from it and counted.
    std::optional<Value> draft(const Value& value, size_t owner, const std::string& attribute, int& dropped) {
        if (const Element* element = value.asElement()) {
            if (!holdsInPlace(attribute)) {
                pending_.push_back(Pending{*element, owner, attribute, std::nullopt});
                return Object{{"pending", static_cast<double>(pending_.size() - 1)}};
            }
            if (auto known = find(*element)) return nodeMarker(*known, false);
            const int depth = nodes_[owner].depth + 1;
            if (!roomFor(depth)) {
                ++dropped;
                return std::nullopt;
            }
            auto parent = impliesParent(attribute) ? std::optional<size_t>(owner) : std::nullopt;
            return nodeMarker(addNode(*element, depth, parent), true);
        }
        if (const Point* point = value.asPoint()) return Object{{"point", Array{point->x, point->y}}};
        if (const Size* size = value.asSize()) return Object{{"size", Array{size->width, size->height}}};
        if (const double* number = value.asNumber())
            return std::isfinite(*number) ? std::optional<Value>(value) : std::nullopt;
        if (const Array* members = value.asArray()) {
            Array drafted;
            for (const Value& member : *members) {
                const int before = dropped;
                std::optional<Value> m = draft(member, owner, attribute, dropped);
                if (m)
                    drafted.push_back(std::move(*m));
                else if (dropped == before)
                    return std::nullopt;
            }
            return drafted;
        }
        if (value.isObject()) return std::nullopt;
        return value;
    }

    // A reference found outside the in-place lists: to a recorded element,
    // else the element is placed where it was found, bounds permitting.
    void resolve(Pending& pending) {
        if (auto known = find(pending.element)) {
            pending.node = known;
            return;
        }
        // Another application's element (a parent on the desktop) is not
        // this tree's to record.
        if (platform_.pidOfElement(pending.element) != pid_) {
            cut(pending.owner, "other application", pending.attribute);
            return;
        }
        const int depth = nodes_[pending.owner].depth + 1;
        if (!roomFor(depth) || outOfTime()) {
            cut(pending.owner, outOfTime() ? "time" : cutReason(depth), pending.attribute);
            return;
        }
        pending.node = addNode(pending.element, depth, std::nullopt);
        pending.inPlace = true;
    }

    // An AXParent that the scene implies: the child's own parent list.
    bool impliedParent(size_t index, const std::string& attribute, const Value& draft) const {
        return attribute == "AXParent" && nodes_[index].impliedParent &&
               pendingNode(draft) == nodes_[index].impliedParent;
    }

    void markReferences(const Value& draft) {
        if (const Array* members = draft.asArray()) {
            for (const Value& member : *members) markReferences(member);
            return;
        }
        if (const Value* node = draft.find("node")) {
            if (!*draft.find("inPlace")->asBool()) nodes_[static_cast<size_t>(*node->asNumber())].referenced = true;
            return;
        }
        if (const Value* index = draft.find("pending")) {
            const size_t k = static_cast<size_t>(*index->asNumber());
            if (pending_[k].node && !pending_[k].inPlace) nodes_[*pending_[k].node].referenced = true;
            return;
        }
        if (const Object* members = draft.asObject())
            for (const auto& [key, member] : *members) markReferences(member);
    }

    Value emit(size_t index) {
        const Node& node = nodes_[index];
        Object out;
        if (node.referenced) out["id"] = idOf(index);
        for (const auto& [attribute, draft] : node.draft) {
            // The scene implies the parent of an element listed as a child.
            if (impliedParent(index, attribute, draft)) continue;
            std::optional<Value> value = emitValue(draft);
            if (!value) continue;
            out[attribute] = std::move(*value);
        }
        // A child whose parent cannot be read must not get the implied one.
        if (node.impliedParent && node.read && !node.draft.contains("AXParent")) out["AXParent"] = nullptr;
        return out;
    }

    std::optional<size_t> pendingNode(const Value& draft) const {
        const Value* index = draft.find("pending");
        return index ? pending_[static_cast<size_t>(*index->asNumber())].node : std::nullopt;
    }

    Value reference(size_t node) const { return Object{{"ref", idOf(node)}}; }

    std::optional<Value> emitValue(const Value& draft) {
        if (const Array* members = draft.asArray()) {
            Array out;
            for (const Value& member : *members) {
                std::optional<Value> value = emitValue(member);
                if (!value) return std::nullopt;
                out.push_back(std::move(*value));
            }
            return out;
        }
        if (const Value* node = draft.find("node")) {
            const size_t index = static_cast<size_t>(*node->asNumber());
            return *draft.find("inPlace")->asBool() ? emit(index) : reference(index);
        }
        if (const Value* pendingIndex = draft.find("pending")) {
            const size_t k = static_cast<size_t>(*pendingIndex->asNumber());
            if (!pending_[k].node) return std::nullopt;
            return pending_[k].inPlace ? emit(*pending_[k].node) : reference(*pending_[k].node);
        }
        return draft;
    }

    Platform& platform_;
    int32_t pid_;
    TreeLimits limits_;
    double deadline_;
    std::vector<Node> nodes_;
    std::deque<size_t> queue_;
    std::vector<Pending> pending_;
    Array cuts_;
};

}  // namespace

RecordedTree recordTree(Platform& platform, int32_t pid, const TreeLimits& limits, double deadline) {
    return Walk(platform, pid, limits, deadline).run();
}

}  // namespace quillgate::recorder
