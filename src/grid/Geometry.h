#pragma once

#include <algorithm>
#include <vector>

// Plain geometry in points for the time grid's pure layout code: the views turn these into their
// toolkit's types at the edge.
namespace plannery {

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;

    double left() const { return x; }
    double top() const { return y; }
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool isEmpty() const { return !(width > 0) || !(height > 0); }

    // The overlap of two rectangles; empty (zero size) when they do not overlap.
    Rect intersected(const Rect& other) const {
        const double l = std::max(left(), other.left());
        const double t = std::max(top(), other.top());
        const double r = std::min(right(), other.right());
        const double b = std::min(bottom(), other.bottom());
        if (r <= l || b <= t) {
            return Rect{};
        }
        return Rect{.x = l, .y = t, .width = r - l, .height = b - t};
    }
};

// A closed range of reals, lower bound first.
struct Stretch {
    double lower = 0;
    double upper = 0;

    friend bool operator==(const Stretch&, const Stretch&) = default;
};

// A closed polygon, corners in order.
using Polygon = std::vector<Point>;

} // namespace plannery
