// Prints the protocol's vocabulary as the built program holds it: the
// operation names the dispatcher routes, the allowed key names, the failure
// messages and the names of the trace line, as one JSON object, for the
// published schema to be compared with.

#include <cstdio>

#include "core/message_catalogue.h"
#include "core/trace.h"
#include "input/key_posting.h"
#include "json/writer.h"
#include "service/request_service.h"

namespace {

template <typename Names>
quillgate::Array array(const Names& names) {
    quillgate::Array list;
    for (std::string_view name : names) list.emplace_back(name);
    return list;
}

}  // namespace

int main() {
    using namespace quillgate;
    Array messages;
    for (const CatalogueMessage& m : messageCatalogue()) {
        messages.emplace_back(Object{{"name", m.name}, {"text", m.text}, {"suffixed", m.suffixed}});
    }
    const TraceVocabulary trace = traceVocabulary();
    auto text = json::serialise(Object{{"operations", array(RequestService::operationNames())},
                                       {"keys", array(allowedKeyNames())},
                                       {"messages", std::move(messages)},
                                       {"trace", Object{{"stages", array(trace.stages)},
                                                        {"waits", array(trace.waits)},
                                                        {"input", array(trace.inputs)},
                                                        {"screenshots", array(trace.screenshots)}}}});
    if (!text) return 1;
    std::puts(text->c_str());
    return 0;
}
