#include "core/message_catalogue.h"

#include <array>

#include "core/failure.h"

namespace quillgate {

namespace {

// The name is spelled once, so the entry cannot name one constant and hold another's text.
#define MESSAGE(constant, suffixed) CatalogueMessage{#constant, msg::constant, suffixed}

constexpr std::array entries{
    MESSAGE(nativeFailed, false),
    MESSAGE(invalidRequest, false),
    MESSAGE(unsupportedOperation, false),
    MESSAGE(bindingRequired, false),
    MESSAGE(activateFailed, false),
    MESSAGE(identityOrSizeChanged, false),
    MESSAGE(accessibilityPermission, false),
    MESSAGE(sessionUnavailable, false),
    MESSAGE(windowUnavailable, false),
    MESSAGE(windowAmbiguous, true),
    MESSAGE(selectedUnavailable, false),
    MESSAGE(processChanged, false),
    MESSAGE(titleChanged, false),
    MESSAGE(sizeChanged, true),
    MESSAGE(minimized, false),
    MESSAGE(lostFocus, false),
    MESSAGE(moved, false),
    MESSAGE(invalidPointer, false),
    MESSAGE(pointerOccluded, true),
    MESSAGE(titleBarZone, false),
    MESSAGE(screenPermission, false),
    MESSAGE(captureUnavailable, false),
    MESSAGE(captureEmptyOrResized, false),
    MESSAGE(captureTimeout, false),
    MESSAGE(screenWaiting, true),
    MESSAGE(captureEmpty, false),
    MESSAGE(invalidGuardRegion, false),
    MESSAGE(invalidGuardImage, false),
    MESSAGE(headerChanged, false),
    MESSAGE(headerObscured, true),
    MESSAGE(keyNotPermitted, false),
    MESSAGE(actionRequired, false),
    MESSAGE(invalidClick, false),
    MESSAGE(invalidScroll, false),
    MESSAGE(targetOccluded, true),
    MESSAGE(textInputUnsupported, false),
    MESSAGE(invalidComposerRegion, false),
    MESSAGE(invalidReference, false),
    MESSAGE(headerChangedSinceVerification, false),
    MESSAGE(popupCaptureUnavailable, false),
    MESSAGE(selfTestFailed, false),
    MESSAGE(keyUnavailable, false),
    MESSAGE(buttonHeld, true),
    MESSAGE(pointerGrabbed, false),
    MESSAGE(inputMethodComposing, false),
};

#undef MESSAGE

}  // namespace

std::span<const CatalogueMessage> messageCatalogue() { return entries; }

}  // namespace quillgate
