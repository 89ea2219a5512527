#include "backends/sim/merge_patch.h"

namespace quillgate::sim {

void mergePatch(Value& target, const Value& patch) {
    const Object* members = patch.asObject();
    if (!members) {
        target = patch;
        return;
    }
    if (!target.isObject()) target = Object{};
    Object& object = *target.asObject();
    for (const auto& [key, value] : *members) {
        if (value.isNull()) {
            object.erase(key);
            continue;
        }
        // A new key starts from null so that nested nulls in the patch are
        // dropped rather than stored.
        mergePatch(object[key], value);
    }
}

}  // namespace quillgate::sim
