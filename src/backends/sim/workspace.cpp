#include "backends/sim/workspace.h"

#include <unistd.h>

#include "backends/sim/sim_platform.h"
#include "backends/sim/scene_values.h"

namespace quillgate::sim {

namespace {

RunningApplication describe(const Object& app, int32_t pid) {
    RunningApplication running;
    running.pid = pid;
    if (const std::string* name = text(member(app, "name"))) running.name = *name;
    if (const std::string* bundle = text(member(app, "bundle"))) running.bundle = *bundle;
    running.launchDate = number(member(app, "launchDate"));
    return running;
}

// Each application entry with a usable pid, in the listed order.
template <class Visit>
void forEachApp(const Value& scene, Visit visit) {
    const Value* apps = member(scene, "apps");
    if (!apps || !apps->isArray()) return;
    for (const Value& app : *apps->asArray()) {
        auto id = pid(member(app, "pid"));
        if (id && visit(*app.asObject(), *id)) return;
    }
}

}  // namespace

const Object* appEntry(const Value& scene, int32_t pid) {
    const Object* found = nullptr;
    forEachApp(scene, [&](const Object& app, int32_t id) {
        if (id != pid) return false;
        found = &app;
        return true;
    });
    return found;
}

std::optional<RunningApplication> runningApplication(const Value& scene, int32_t pid) {
    const Object* entry = appEntry(scene, pid);
    if (!entry) return std::nullopt;
    return describe(*entry, pid);
}

std::vector<RunningApplication> runningApplications(const Value& scene, std::string_view bundle) {
    std::vector<RunningApplication> found;
    forEachApp(scene, [&](const Object& app, int32_t id) {
        const std::string* appBundle = text(member(app, "bundle"));
        if (appBundle && *appBundle == bundle) found.push_back(describe(app, id));
        return false;
    });
    return found;
}

std::optional<int32_t> frontmostPid(const Value& scene) { return pid(member(scene, "frontmost")); }

bool activates(const Value& scene, int32_t pid) {
    const Object* entry = appEntry(scene, pid);
    if (!entry) return false;
    return boolean(member(*entry, "activates")) != false;
}

int32_t ownPid(const Value& scene) {
    const Value* self = member(scene, "self");
    return (self ? pid(member(*self, "pid")) : std::nullopt).value_or(static_cast<int32_t>(getpid()));
}

int32_t parentPid(const Value& scene) {
    const Value* self = member(scene, "self");
    return (self ? pid(member(*self, "parentPid")) : std::nullopt).value_or(static_cast<int32_t>(getppid()));
}

// The workspace calls of the simulated desktop.

std::optional<RunningApplication> SimPlatform::runningApplication(int32_t pid) {
    std::lock_guard lock(mutex_);
    advance();
    return sim::runningApplication(scene_, pid);
}

std::vector<RunningApplication> SimPlatform::runningApplications(const std::string& bundle) {
    std::lock_guard lock(mutex_);
    advance();
    return sim::runningApplications(scene_, bundle);
}

std::optional<RunningApplication> SimPlatform::frontmostApplication() {
    std::lock_guard lock(mutex_);
    advance();
    auto front = frontmostPid(scene_);
    return front ? sim::runningApplication(scene_, *front) : std::nullopt;
}

bool SimPlatform::activate(int32_t pid) {
    std::lock_guard lock(mutex_);
    double now = advance();
    bool ok = activates(scene_, pid);
    if (ok) (*scene_.asObject())["frontmost"] = pid;
    log_.append(now, "activate", {{"pid", pid}, {"ok", ok}});
    script_.happened(Object{{"activate", pid}}, now);
    return ok;
}

bool SimPlatform::unhide(int32_t pid) {
    std::lock_guard lock(mutex_);
    double now = advance();
    log_.append(now, "unhide", {{"pid", pid}});
    return appEntry(scene_, pid) != nullptr;
}

bool SimPlatform::inputMethod(int32_t pid) {
    std::lock_guard lock(mutex_);
    advance();
    const Object* entry = appEntry(scene_, pid);
    return entry && boolean(member(*entry, "inputMethod")) == true;
}

}  // namespace quillgate::sim
