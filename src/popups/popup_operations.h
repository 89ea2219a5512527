#pragma once
// The operations on a popup over the bound window. Each answers "found":
// false, with the overlapping windows listed, when there is no popup.

#include "core/operation.h"

namespace quillgate {

// "popup": the popup's texts and frame, optionally its elements and picture.
Object popupOperation(const Call& call);

// "popup-close": dismisses the popup with Escape.
Object popupCloseOperation(const Call& call);

// "popup-press": presses the popup's button with one of the named labels.
Object popupPressOperation(const Call& call);

}  // namespace quillgate
