#pragma once
// The failure messages as data, for the published description of the
// protocol to be checked against the words the program really answers with.

#include <span>
#include <string_view>

namespace quillgate {

struct CatalogueMessage {
    std::string_view name;  // the constant's name in msg::
    std::string_view text;
    bool suffixed;          // the raising code appends further text
};

// Every message of msg::, in the order they are declared.
std::span<const CatalogueMessage> messageCatalogue();

}  // namespace quillgate
