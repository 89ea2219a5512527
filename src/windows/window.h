#pragma once
// One top-level application window as the window list shows it, and the two
// dictionaries through which the protocol describes it.

#include <cstdint>
#include <string>

#include "platform/value.h"

namespace quillgate {

struct Window {
    uint32_t id = 0;        // window number
    int32_t pid = 0;        // owning process
    std::string process;    // application name
    std::string started;    // launch time text
    std::string title;      // never empty in a listed window
    Rect rect;              // frame in global points
    bool visible = false;   // on screen; false when minimised

    // What the host stores when it binds the window and sends back as "bound".
    Object identity() const;
    // How the window is described in listings.
    Object companion() const;
};

// The launch date as the shortest decimal text that reads back the same,
// plain notation, integral values with a trailing ".0". Compared as text by
// the verification, so it must be deterministic.
std::string startedText(double secondsSince1970);

}  // namespace quillgate
