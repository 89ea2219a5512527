#include "backends/sim/script.h"

#include <algorithm>

#include "backends/sim/merge_patch.h"
#include "backends/sim/scene_values.h"

namespace quillgate::sim {

namespace {

// Each trigger kind and the test its value must pass.
struct TriggerKind {
    const char* key;
    bool (*valid)(const Value&);
    const char* expected;
};

const TriggerKind triggerKinds[] = {
    {"key", [](const Value& v) { return integer(&v).has_value(); }, "a key code"},
    {"click",
     [](const Value& v) {
         const std::string* s = v.asString();
         return s && (*s == "left" || *s == "right");
     },
     "\"left\" or \"right\""},
    {"action", [](const Value& v) { return v.isString(); }, "an action name"},
    {"activate", [](const Value& v) { return pid(&v).has_value(); }, "a pid"},
    {"tool", [](const Value& v) { return boolean(&v) == true; }, "true"},
    {"sck", [](const Value& v) { return boolean(&v) == true; }, "true"},
};

// Every member of the trigger is in the happening with the same value, so
// an action trigger without "element" matches that action on any element.
bool matches(const Value& on, const Value& what) {
    for (const auto& [key, value] : *on.asObject()) {
        const Value* actual = member(what, key);
        if (!actual || !sameJson(value, *actual)) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> triggerProblem(const Value& on) {
    const Object* trigger = on.asObject();
    if (!trigger) return "\"on\" must be an object";
    const TriggerKind* kind = nullptr;
    for (const TriggerKind& candidate : triggerKinds) {
        if (!trigger->contains(candidate.key)) continue;
        if (kind) return "\"on\" names two triggers";
        kind = &candidate;
    }
    if (!kind) return "\"on\" names no trigger (key, click, action, activate, tool or sck)";
    if (!kind->valid(trigger->at(kind->key)))
        return "\"on\".\"" + std::string(kind->key) + "\" must be " + kind->expected;
    for (const auto& [key, value] : *trigger) {
        if (key == kind->key) continue;
        if (key != "element" || std::string_view(kind->key) != "action")
            return "\"on\" has an unknown key \"" + key + "\"";
        if (!value.isString()) return "\"on\".\"element\" must be an element id";
    }
    return std::nullopt;
}

Script::Script(const Value& scene) {
    const Value* timeline = member(scene, "timeline");
    if (timeline && timeline->isArray())
        for (const Value& entry : *timeline->asArray()) schedule(*number(member(entry, "at")), *member(entry, "merge"));
    const Value* reactions = member(scene, "reactions");
    if (reactions && reactions->isArray())
        for (const Value& entry : *reactions->asArray())
            reactions_.push_back({*member(entry, "on"), *member(entry, "merge"),
                                  number(member(entry, "delay")).value_or(0),
                                  integer(member(entry, "times")).value_or(1)});
}

void Script::schedule(double due, Value merge) {
    // After every patch due at the same time: ties keep their scheduling order.
    Patch patch{due, std::move(merge)};
    auto later = std::upper_bound(pending_.begin(), pending_.end(), patch,
                                  [](const Patch& a, const Patch& b) { return a.due < b.due; });
    pending_.insert(later, std::move(patch));
}

void Script::applyDue(double now, Value& scene, const Applied& applied) {
    auto due = pending_.begin();
    for (; due != pending_.end() && due->due <= now; ++due) {
        mergePatch(scene, due->merge);
        applied(due->merge, due->due);
    }
    pending_.erase(pending_.begin(), due);
}

void Script::happened(const Value& what, double now) {
    for (Reaction& reaction : reactions_) {
        if (reaction.timesLeft <= 0 || !matches(reaction.on, what)) continue;
        --reaction.timesLeft;
        schedule(now + reaction.delay, reaction.merge);
    }
}

}  // namespace quillgate::sim
