#include "grid/BarberPole.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

Polygon whole(const Rect& r) {
    return Polygon{
        {r.left(), r.top()}, {r.right(), r.top()}, {r.right(), r.bottom()}, {r.left(), r.bottom()}};
}

// Inside a convex polygon given in either winding: every edge sees the point on the same side.
bool inside(const Polygon& polygon, Point p) {
    bool positive = false;
    bool negative = false;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i];
        const Point b = polygon[(i + 1) % polygon.size()];
        const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        positive = positive || cross > 0;
        negative = negative || cross < 0;
    }
    return !(positive && negative);
}

// The paths containing p, by index; a point strictly inside one band is in exactly one.
std::vector<std::size_t> pathsAt(const std::vector<FillPath>& paths, Point p) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        for (const Polygon& polygon : paths[i]) {
            if (inside(polygon, p)) {
                found.push_back(i);
            }
        }
    }
    return found;
}

TEST(BarberPoleTest, FewerThanTwoColoursOrNoAreaGiveTheWholeRect) {
    const Rect rect{10, 20, 3, 40};
    const struct {
        const char* name;
        Rect rect;
        int count;
        double band;
    } cases[] = {
        {"no colours", rect, 0, 5},
        {"one colour", rect, 1, 5},
        {"no width", Rect{10, 20, 0, 40}, 3, 5},
        {"no height", Rect{10, 20, 3, 0}, 3, 5},
        {"no band", rect, 3, 0},
        {"band not a number", rect, 3, std::nan("")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BarberPole::paths(c.rect, c.count, c.band),
                  (std::vector<FillPath>{FillPath{whole(c.rect)}}))
            << c.name;
    }
}

TEST(BarberPoleTest, BandsRiseAt45DegreesAndTakeTurnsFromTheTop) {
    // w = 3, band 5: y runs from top − 3 while y − 3 < bottom, so bands k = 0...9 exist
    // (k < (40 + 2 × 3) / 5), and band k goes to path k mod 3.
    const Rect rect{10, 20, 3, 40};
    const auto paths = BarberPole::paths(rect, 3, 5);
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0].size(), 4u);
    EXPECT_EQ(paths[1].size(), 3u);
    EXPECT_EQ(paths[2].size(), 3u);
    EXPECT_EQ(paths[0][0], (Polygon{{10, 22}, {10, 17}, {13, 14}, {13, 19}}));
    EXPECT_EQ(paths[1][0], (Polygon{{10, 27}, {10, 22}, {13, 19}, {13, 24}}));
    EXPECT_EQ(paths[0][3], (Polygon{{10, 67}, {10, 62}, {13, 59}, {13, 64}}));
    for (const FillPath& path : paths) {
        for (const Polygon& band : path) {
            ASSERT_EQ(band.size(), 4u);
            EXPECT_DOUBLE_EQ(band[1].y - band[2].y, rect.width) << "rises by its width";
            EXPECT_DOUBLE_EQ(band[0].y - band[1].y, 5);
        }
    }
}

TEST(BarberPoleTest, BandsCoverTheRectWithColoursRepeatingInOrder) {
    const struct {
        const char* name;
        Rect rect;
        int count;
    } cases[] = {
        {"narrow tile stripe, three calendars", Rect{10, 20, 3, 40}, 3},
        {"stripe wider than a band, four calendars", Rect{-4, 7, 12, 31}, 4},
        {"two calendars", Rect{0, 0, 4, 17}, 2},
    };
    for (const auto& c : cases) {
        const auto paths = BarberPole::paths(c.rect, c.count, 5);
        // Every point of the rect lies in exactly one band (sampled off the band edges).
        for (double y = c.rect.top() + 0.13; y < c.rect.bottom(); y += 0.7) {
            for (double x = c.rect.left() + 0.11; x < c.rect.right(); x += 0.9) {
                EXPECT_EQ(pathsAt(paths, Point{x, y}).size(), 1u)
                    << c.name << " at " << x << ", " << y;
            }
        }
        // Walking down the left edge, each 5 points the next colour follows, wrapping around.
        const Point first{c.rect.left() + 0.01, c.rect.top() + 0.5};
        const std::size_t start = pathsAt(paths, first).at(0);
        for (int step = 1; first.y + 5 * step < c.rect.bottom(); ++step) {
            const auto found = pathsAt(paths, Point{first.x, first.y + 5 * step});
            ASSERT_EQ(found.size(), 1u) << c.name;
            EXPECT_EQ(found[0], (start + static_cast<std::size_t>(step)) % paths.size()) << c.name;
        }
    }
}

TEST(BarberPoleTest, BandIsOnePathOfTheStandardStripe) {
    const Rect rect{0, 0, 4, 30};
    const auto all = BarberPole::paths(rect, 3, BarberPole::standardBand);
    EXPECT_EQ((BarberBand{.index = 0, .count = 3}.path(rect)), all[0]);
    EXPECT_EQ((BarberBand{.index = 2, .count = 3}.path(rect)), all[2]);
    EXPECT_TRUE((BarberBand{.index = 3, .count = 3}.path(rect)).empty());
    EXPECT_TRUE((BarberBand{.index = -1, .count = 3}.path(rect)).empty());
    EXPECT_EQ((BarberBand{.index = 0, .count = 1}.path(rect)), FillPath{whole(rect)});
}

} // namespace
} // namespace plannery
