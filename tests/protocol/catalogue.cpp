// Prints the protocol's vocabulary as the built program holds it: the
// operation names the dispatcher routes, the allowed key names and the
// failure messages, as one JSON object, for the published schema to be compared with.

#include <cstdio>

#include "input/key_posting.h"
#include "json/writer.h"
#include "service/main.h"
#include "core/message_catalogue.h"

int main() {
    using namespace quillgate;
    Array operations;
    for (std::string_view name : Main::operationNames()) operations.emplace_back(name);
    Array keys;
    for (std::string_view name : allowedKeyNames()) keys.emplace_back(name);
    Array messages;
    for (const CatalogueMessage& m : messageCatalogue()) {
        messages.emplace_back(Object{{"name", m.name}, {"text", m.text}, {"suffixed", m.suffixed}});
    }
    auto text = json::serialise(Object{{"operations", std::move(operations)}, {"keys", std::move(keys)}, {"messages", std::move(messages)}});
    if (!text) return 1;
    std::puts(text->c_str());
    return 0;
}
