#pragma once
// The host's binding, read once at the gate: the window it names and, once
// the conversation has been pinned with "bind-region", the guarded region
// and its hash. The host's JSON is loosely typed, so each field holds what
// the request-value coercions make of it; the rules that judge a field (a
// window number's form, whole pixel coordinates) are applied where the field
// is used, so every refusal comes at the same step as it always has.

#include <optional>
#include <string>

#include "platform/value.h"

namespace quillgate {

// A region of the window's picture, each side read with `number`.
struct GuardRegion {
    std::optional<double> x, y, width, height;
};

// The pinned conversation header: its region and the hash "bind-region" issued.
struct Guard {
    GuardRegion region;
    std::string hash;
};

struct Binding {
    std::string hwnd;                     // the window number's text
    std::optional<double> pid;
    std::string process;                  // application name
    std::string processStart;             // launch time text
    std::string title;
    std::optional<double> width, height;  // the frame's size when bound
    std::optional<Guard> guard;           // when "guard" holds an object
};

// "x", "y", "width" and "height" of a region object; other keys are ignored.
GuardRegion guardRegion(const Object& region);

// The binding a request's "bound" object describes; reading never fails.
Binding binding(const Object& bound);

}  // namespace quillgate
