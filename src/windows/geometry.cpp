#include "windows/geometry.h"

#include <algorithm>
#include <cmath>

namespace quillgate {

namespace {

struct Edges {
    double minX, minY, maxX, maxY;
};

Edges edges(const Rect& r) {
    return Edges{std::min(r.x, r.x + r.width), std::min(r.y, r.y + r.height), std::max(r.x, r.x + r.width),
                 std::max(r.y, r.y + r.height)};
}

}  // namespace

double rectWidth(const Rect& r) { return std::fabs(r.width); }
double rectHeight(const Rect& r) { return std::fabs(r.height); }

bool isEmpty(const Rect& r) { return r.width == 0 || r.height == 0 || std::isinf(r.x) || std::isinf(r.y); }

bool intersects(const Rect& a, const Rect& b) {
    if (isEmpty(a) || isEmpty(b)) return false;
    Edges p = edges(a);
    Edges q = edges(b);
    return std::max(p.minX, q.minX) < std::min(p.maxX, q.maxX) && std::max(p.minY, q.minY) < std::min(p.maxY, q.maxY);
}

bool contains(const Rect& outer, const Rect& inner) {
    if (isEmpty(outer) || isEmpty(inner)) return false;
    Edges o = edges(outer);
    Edges i = edges(inner);
    return o.minX <= i.minX && o.minY <= i.minY && i.maxX <= o.maxX && i.maxY <= o.maxY;
}

bool contains(const Rect& r, Point p) {
    Edges e = edges(r);
    return p.x >= e.minX && p.x < e.maxX && p.y >= e.minY && p.y < e.maxY;
}

Point centre(const Rect& r) { return Point{r.x + r.width / 2, r.y + r.height / 2}; }

}  // namespace quillgate
