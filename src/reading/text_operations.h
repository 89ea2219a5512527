#pragma once
// Reading text out of the bound window through the accessibility interface:
// the composer's draft, and a bounded dump of the window's tree. Neither posts
// input.

#include "core/operation.h"

namespace quillgate {

// "composer-text": the text of the editor in the request's "region".
Object composerTextOperation(const GatedCall& call);

// "ax-text": visited count, role counts and text-bearing items of the window.
Object axTextOperation(const GatedCall& call);

}  // namespace quillgate
