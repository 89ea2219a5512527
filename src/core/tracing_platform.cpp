#include "core/tracing_platform.h"

#include "core/trace.h"

namespace quillgate {

namespace {

// Counts what was posted: an event that could not be created never was.
bool posted(Input kind, bool ok) {
    if (ok) traceCount(kind);
    return ok;
}

Input mouseKind(int32_t type) { return type == mouse::moved ? Input::mouseMove : Input::mouseButton; }

}  // namespace

std::optional<Value> TracingPlatform::windowList(WindowListOption option) {
    const TraceStage timer(Stage::windowList);
    return platform_->windowList(option);
}

AxResult TracingPlatform::copyAttribute(const Element& element, const std::string& attribute) {
    const TraceStage timer(Stage::axRead);
    return platform_->copyAttribute(element, attribute);
}

AxResult TracingPlatform::elementAtPosition(const Element& element, Point point) {
    const TraceStage timer(Stage::axRead);
    return platform_->elementAtPosition(element, point);
}

// Actions and settings reach the application whatever status they report.
int32_t TracingPlatform::setAttribute(const Element& element, const std::string& attribute, const Value& value) {
    traceCount(Input::axSet);
    return platform_->setAttribute(element, attribute, value);
}

int32_t TracingPlatform::performAction(const Element& element, const std::string& action) {
    traceCount(Input::axAction);
    return platform_->performAction(element, action);
}

bool TracingPlatform::post(const KeyboardEvent& event) { return posted(Input::key, platform_->post(event)); }

bool TracingPlatform::post(const MouseEvent& event) { return posted(mouseKind(event.type), platform_->post(event)); }

bool TracingPlatform::post(const ScrollEvent& event) { return posted(Input::scroll, platform_->post(event)); }

bool TracingPlatform::activate(int32_t pid) {
    traceCount(Input::activation);
    return platform_->activate(pid);
}

bool TracingPlatform::unhide(int32_t pid) {
    traceCount(Input::activation);
    return platform_->unhide(pid);
}

}  // namespace quillgate
