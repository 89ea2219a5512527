#include "platform/sim/desktop.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/sim/permissions.h"
#include "platform/sim/scene.h"
#include "platform/sim/scene_values.h"
#include "platform/sim/window_server.h"
#include "platform/sim/workspace.h"

namespace quillgate::sim {

namespace {

// The program prints this message as its one line on standard error.
std::runtime_error sceneFailure(const std::string& name, const std::string& problem) {
    std::string line = name + ": " + problem;
    std::ranges::replace_if(
        line, [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return std::runtime_error(line);
}

Value parsed(std::string_view text, const std::string& name) {
    try {
        return parseScene(text);
    } catch (const SceneError& e) {
        throw sceneFailure(name, e.what());
    }
}

Value checked(Value scene, const DesktopSetup& setup) {
    try {
        if (!scene.isObject()) throw SceneError("the scene must be a JSON object");
        checkScene(scene, setup.baseDir);
    } catch (const SceneError& e) {
        throw sceneFailure(setup.name, e.what());
    }
    return scene;
}

}  // namespace

Desktop::Desktop(Value scene, DesktopSetup setup)
    : baseDir_(setup.baseDir),
      scene_(checked(std::move(scene), setup)),
      epoch_(number(member(scene_, "epoch")).value_or(defaults::epoch)),
      clock_(number(member(scene_, "timeScale")).value_or(defaults::timeScale)),
      script_(scene_),
      log_(setup.logPath) {}

std::shared_ptr<Desktop> Desktop::fromText(std::string_view json, std::string baseDir,
                                           std::optional<std::string> logPath) {
    DesktopSetup setup{std::move(baseDir), std::move(logPath)};
    Value scene = parsed(json, setup.name);
    return std::make_shared<Desktop>(std::move(scene), std::move(setup));
}

std::shared_ptr<Desktop> Desktop::fromFile(const std::string& path, std::optional<std::string> logPath) {
    std::string text;
    try {
        text = readFile(path);
    } catch (const SceneError& e) {
        throw sceneFailure(path, std::string("cannot read: ") + e.what());
    }
    return std::make_shared<Desktop>(parsed(text, path), DesktopSetup{folderOf(path), std::move(logPath), path});
}

void Desktop::keepEvents() {
    std::lock_guard lock(mutex_);
    log_.keep();
}

std::vector<Value> Desktop::events() const {
    std::lock_guard lock(mutex_);
    return log_.events();
}

double Desktop::advance() {
    double now = clock_.now();
    script_.applyDue(now, scene_, [this](const Value& patch, double time) { since_.patched(patch, time); });
    return now;
}

// --- window server and permissions ---

std::optional<Value> Desktop::windowList(WindowListOption option) {
    std::lock_guard lock(mutex_);
    advance();
    bool onScreenOnly = (static_cast<uint32_t>(option) & 1) != 0;
    return sim::windowList(scene_, onScreenOnly);
}

std::optional<std::vector<Rect>> Desktop::displayBounds() {
    std::lock_guard lock(mutex_);
    advance();
    return displays(scene_);
}

int64_t Desktop::cursorWindowLevel() {
    std::lock_guard lock(mutex_);
    advance();
    return cursorLevel(scene_);
}

std::optional<Value> Desktop::sessionDictionary() {
    std::lock_guard lock(mutex_);
    advance();
    return session(scene_);
}

bool Desktop::screenCapturePreflight() {
    std::lock_guard lock(mutex_);
    advance();
    return screenRecording(scene_);
}

bool Desktop::screenCaptureRequest() {
    std::lock_guard lock(mutex_);
    double now = advance();
    if (!screenRecording(scene_)) log_.append(now, "prompt", {{"kind", "screen"}});
    return screenRecordingGrant(scene_);
}

bool Desktop::accessibilityTrusted(bool prompt) {
    std::lock_guard lock(mutex_);
    double now = advance();
    bool trusted = sim::accessibilityTrusted(scene_);
    if (prompt && !trusted) log_.append(now, "prompt", {{"kind", "accessibility"}});
    return trusted;
}

// --- workspace ---

std::optional<RunningApplication> Desktop::runningApplication(int32_t pid) {
    std::lock_guard lock(mutex_);
    advance();
    return sim::runningApplication(scene_, pid);
}

std::vector<RunningApplication> Desktop::runningApplications(const std::string& bundle) {
    std::lock_guard lock(mutex_);
    advance();
    return sim::runningApplications(scene_, bundle);
}

std::optional<RunningApplication> Desktop::frontmostApplication() {
    std::lock_guard lock(mutex_);
    advance();
    auto front = frontmostPid(scene_);
    return front ? sim::runningApplication(scene_, *front) : std::nullopt;
}

bool Desktop::activate(int32_t pid) {
    std::lock_guard lock(mutex_);
    double now = advance();
    bool ok = activates(scene_, pid);
    if (ok) (*scene_.asObject())["frontmost"] = pid;
    log_.append(now, "activate", {{"pid", pid}, {"ok", ok}});
    script_.happened(Object{{"activate", pid}}, now);
    return ok;
}

bool Desktop::unhide(int32_t pid) {
    std::lock_guard lock(mutex_);
    double now = advance();
    log_.append(now, "unhide", {{"pid", pid}});
    return appEntry(scene_, pid) != nullptr;
}

// --- process and time ---

int32_t Desktop::ownPid() {
    std::lock_guard lock(mutex_);
    advance();
    return sim::ownPid(scene_);
}

int32_t Desktop::parentPid() {
    std::lock_guard lock(mutex_);
    advance();
    return sim::parentPid(scene_);
}

std::string Desktop::temporaryDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (!folder.ends_with('/')) folder.push_back('/');
    return folder;
}

double Desktop::now() { return epoch_ + clock_.now(); }

double Desktop::monotonic() { return clock_.now(); }

void Desktop::sleep(double seconds) {
    if (seconds > 0) clock_.sleepUntil(clock_.now() + seconds);
}

bool Desktop::waitUntil(std::condition_variable& condition, std::unique_lock<std::mutex>& lock, double deadline,
                        const std::function<bool()>& ready) {
    if (std::isnan(deadline)) return ready();
    return condition.wait_until(lock, clock_.realTime(deadline), ready);
}

}  // namespace quillgate::sim
