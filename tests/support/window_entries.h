#pragma once
// Window-list entries for scenes that put other windows over the chat window
// of chatScene().

#include <string>
#include <vector>

#include "platform/value.h"
#include "windows/window.h"

namespace quillgate::testing {

// An on-screen window-list dictionary with every key the window server gives.
Value listedWindow(double number, double pid, const std::string& owner, Rect frame, double layer = 0,
                   double alpha = 1);

// chatScene() with these windows in front of the chat window, front first.
Object chatSceneWith(const std::vector<Value>& inFront);

// Window 60 of chatScene() as the inventory reads it.
Window chatWindow();

}  // namespace quillgate::testing
