#include "grid/BarberPole.h"

#include <cmath>

namespace plannery {

namespace {

Polygon whole(const Rect& rect) {
    return Polygon{{rect.left(), rect.top()},
                   {rect.right(), rect.top()},
                   {rect.right(), rect.bottom()},
                   {rect.left(), rect.bottom()}};
}

bool finite(const Rect& rect) {
    return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
           std::isfinite(rect.height);
}

} // namespace

std::vector<FillPath> BarberPole::paths(const Rect& rect, int count, double band) {
    if (count < 2 || rect.isEmpty() || !finite(rect) || !std::isfinite(band) || band <= 0) {
        return {FillPath{whole(rect)}};
    }
    std::vector<FillPath> result(static_cast<std::size_t>(count));
    const double w = rect.width;
    const double left = rect.left();
    const double right = rect.right();
    // Starting a full width above the top, the first band's right end lies above the rect, so
    // the bands cover the top-right corner too; the last one is the first whose right end starts
    // at or below the bottom. Counting bands, not adding to y, keeps the edges exact.
    const double start = rect.top() - w;
    for (long k = 0;; ++k) {
        const double y = start + band * static_cast<double>(k);
        if (!(y - w < rect.bottom())) {
            break;
        }
        result[static_cast<std::size_t>(k % count)].push_back(
            Polygon{{left, y + band}, {left, y}, {right, y - w}, {right, y + band - w}});
    }
    return result;
}

FillPath BarberBand::path(const Rect& rect) const {
    auto all = BarberPole::paths(rect, count, BarberPole::standardBand);
    if (index < 0 || static_cast<std::size_t>(index) >= all.size()) {
        return {};
    }
    return std::move(all[static_cast<std::size_t>(index)]);
}

} // namespace plannery
