#pragma once
// Refusals and the catalogue of every message the program can answer with.
// The wording is part of the protocol: hosts match on it, so each message is
// written here once and nowhere else.

#include <stdexcept>
#include <string>
#include <string_view>

namespace quillgate {

// The one refusal type; its message becomes the response's "error" unchanged.
class GuardFailure : public std::exception {
public:
    explicit GuardFailure(std::string message) : message(std::move(message)) {}
    const char* what() const noexcept override { return message.c_str(); }
    std::string message;
};

// The capture timer's error; consumed inside the capture pipeline.
struct CaptureTimeout : std::exception {
    const char* what() const noexcept override { return "capture timed out"; }
};

namespace msg {
inline constexpr std::string_view nativeFailed = "MAC_NATIVE_FAILED: 原生操作未完成，已停止；请检查权限与所选窗口。";
inline constexpr std::string_view invalidRequest = "invalid request";
inline constexpr std::string_view unsupportedOperation = "MAC_UNSUPPORTED_OPERATION: 此操作尚未完成 Mac 适配，未执行。";
inline constexpr std::string_view bindingRequired = "window binding is required";
inline constexpr std::string_view activateFailed = "MAC_ACTIVATE_FAILED";
inline constexpr std::string_view identityOrSizeChanged = "selected window identity or size changed";
inline constexpr std::string_view accessibilityPermission = "MAC_ACCESSIBILITY_PERMISSION: 请在系统设置中允许Veskor使用辅助功能。";
inline constexpr std::string_view sessionUnavailable = "MAC_SESSION_UNAVAILABLE: 请解锁当前桌面。";
inline constexpr std::string_view windowUnavailable = "MAC_WINDOW_UNAVAILABLE: 无法核对所选窗口。";
inline constexpr std::string_view windowAmbiguous = "MAC_WINDOW_AMBIGUOUS: 所选窗口身份不唯一。windows=";  // + counts
inline constexpr std::string_view selectedUnavailable = "selected window is unavailable";
inline constexpr std::string_view processChanged = "selected window identity changed; change=process";
inline constexpr std::string_view titleChanged = "selected window identity or size changed; change=title";
inline constexpr std::string_view sizeChanged = "selected window identity or size changed; change=size ";  // + size tail
inline constexpr std::string_view minimized = "selected window is minimized";
inline constexpr std::string_view lostFocus = "selected window lost focus; action cancelled; focus_source=other";
inline constexpr std::string_view moved = "selected window moved; action cancelled";
inline constexpr std::string_view invalidPointer = "invalid pointer coordinates";
inline constexpr std::string_view pointerOccluded = "目标窗口被遮挡，未执行点击。occluder=";  // + occluder
inline constexpr std::string_view titleBarZone = "目标点位于窗口标题栏控制按钮区域，未执行点击。";
inline constexpr std::string_view screenPermission = "MAC_SCREEN_PERMISSION: 没有屏幕录制权限。";
inline constexpr std::string_view captureUnavailable = "MAC_CAPTURE_EMPTY: 所选窗口不可采集。";
inline constexpr std::string_view captureEmptyOrResized = "MAC_CAPTURE_EMPTY: 所选窗口画面为空或尺寸变化。";
inline constexpr std::string_view captureTimeout = "MAC_CAPTURE_EMPTY: 截图超时。";
inline constexpr std::string_view screenWaiting =
    "MAC_SCREEN_WAITING: 系统正在询问是否允许Veskor录屏，请在系统弹窗里点「允许」，Veskor会自动继续。";  // + "; prompt=" ...
inline constexpr std::string_view captureEmpty = "MAC_CAPTURE_EMPTY";
inline constexpr std::string_view invalidGuardRegion = "invalid conversation guard region";
inline constexpr std::string_view invalidGuardImage = "invalid conversation guard image";
inline constexpr std::string_view headerChanged = "conversation header changed; action cancelled";
inline constexpr std::string_view headerObscured = "conversation header is obscured; action cancelled";  // + suffix
inline constexpr std::string_view keyNotPermitted = "key is not permitted";
inline constexpr std::string_view actionRequired = "action is required";
inline constexpr std::string_view invalidClick = "invalid click";
inline constexpr std::string_view invalidScroll = "invalid scroll";
inline constexpr std::string_view targetOccluded = "目标窗口被遮挡 occluder=";  // + occluder
inline constexpr std::string_view textInputUnsupported = "Mac 软件模式仅允许已核对的快捷键粘贴，不支持直接输入任意文本。";
inline constexpr std::string_view invalidComposerRegion = "invalid composer region";
inline constexpr std::string_view invalidReference = "invalid conversation reference";
inline constexpr std::string_view headerChangedSinceVerification =
    "conversation header changed since verification; action cancelled";
inline constexpr std::string_view popupCaptureUnavailable = "MAC_CAPTURE_EMPTY: 弹窗不可采集。";
inline constexpr std::string_view selfTestFailed = "self-test failed";
inline constexpr std::string_view keyUnavailable = "MAC_KEY_UNAVAILABLE: 当前键盘布局按不出此键，未执行。";
inline constexpr std::string_view buttonHeld = "mouse button held down; action cancelled; buttons=";  // + numbers
inline constexpr std::string_view pointerGrabbed = "pointer grabbed by another application; action cancelled";
inline constexpr std::string_view inputMethodComposing = "input method is composing text; action cancelled";
}  // namespace msg

[[noreturn]] inline void reject(std::string_view message) { throw GuardFailure(std::string(message)); }

}  // namespace quillgate
