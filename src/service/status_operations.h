#pragma once
// Operations that report state without touching the chat application.

#include "core/operation.h"

namespace quillgate {

Object permissionsOperation(const Call& call);
Object listOperation(const Call& call);
Object probeOperation(const Call& call);
Object inspectOperation(const Call& call);

}  // namespace quillgate
