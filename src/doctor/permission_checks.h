#pragma once
// What the system allows this process, read without ever showing a prompt.

#include "doctor/finding.h"
#include "platform/platform.h"

namespace quillgate::doctor {

Finding accessibilityCheck(Platform& platform);
Finding screenRecordingCheck(Platform& platform);
Finding sessionCheck(Platform& platform);

}  // namespace quillgate::doctor
