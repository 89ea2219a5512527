#pragma once
// The label match behind "popup-press": the elements of a popup whose title,
// value or description is one of the labels the host names.

#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillgate {

inline constexpr int labelMaxDepth = 14;
inline constexpr size_t labelMaxMatches = 5;

// Appends to `matches` the matching elements of the tree under `element`,
// pre-order, stopping once five are held. Attribute values are compared with
// surrounding spaces and tabs removed; the labels are compared as they stand.
void labelWalk(Platform& platform, const Element& element, int depth, const std::set<std::string>& labels,
               std::vector<Element>& matches);

// The text without leading and trailing space separators and tabs; line
// breaks are kept.
std::string trimmedLabel(const std::string& text);

}  // namespace quillgate
