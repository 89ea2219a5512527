#pragma once
// Rectangle tests with the window server's conventions, so that frames from
// the window list and regions from the host are compared the way the
// platform compares them: a negative width or height extends to the left or
// upwards, rectangles intersect only when they share some area, and a
// rectangle holds a point on its top and left edges but not on the others.

#include "platform/value.h"

namespace quillgate {

// Width and height as lengths, whichever way the rectangle extends.
double rectWidth(const Rect& r);
double rectHeight(const Rect& r);

// No area: zero width or height, or the null rectangle (an infinite origin).
bool isEmpty(const Rect& r);

bool intersects(const Rect& a, const Rect& b);

// Whether `inner` lies entirely within `outer`, edges included.
bool contains(const Rect& outer, const Rect& inner);

bool contains(const Rect& r, Point p);

// The point halfway across and halfway down.
Point centre(const Rect& r);

}  // namespace quillgate
