#pragma once
// The operations on a popup over the bound window. Each answers "found":
// false, with the overlapping windows listed, when there is no popup.

#include "core/operation.h"

namespace quillgate {

// "popup": the popup's texts and frame, optionally its elements and picture.
Object popupOperation(const GatedCall& call);

// "popup-close": dismisses the popup with Escape.
Object popupCloseOperation(const GatedCall& call);

// "popup-press": presses the popup's button with one of the named labels.
Object popupPressOperation(const GatedCall& call);

}  // namespace quillgate
