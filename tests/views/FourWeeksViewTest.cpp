#include "GridViewTestSupport.h"
#include "TestSupport.h"

#include "views/FourWeeksView.h"
#include "views/GridPalette.h"
#include "views/MonthDayCell.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;
using test::near;
using test::pixelAt;

// A view in Berlin on Wednesday 11 March 2026 at 10:30, 700 points wide, with cells 80 points
// high (room for three event rows), anchored on the page that starts on Monday 9 March.
struct FourWeeks {
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    FourWeeksView view{cal};
    std::vector<Instant> anchors;
    std::vector<Instant> selected;
    std::set<Instant> asked;

    explicit FourWeeks(std::vector<CalEvent> events = {}) {
        auto provider = test::providerFor(std::move(events), cal);
        view.setEventsProvider([this, provider](Instant day) {
            asked.insert(day);
            return provider(day);
        });
        view.setNow(now);
        view.setOnAnchorChange([this](Instant day) { anchors.push_back(day); });
        view.setOnSelectDay([this](Instant day) { selected.push_back(day); });
        view.resize(700, 22 + 4 * 81);
        view.setAnchor(at(cal, 2026, 3, 9));
    }
    void showAndSettle() {
        view.show();
        settle();
    }
    void settle() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !view.isPaging(); }, 3000));
        QCoreApplication::processEvents();
    }
    QImage render(double dpr = 1) {
        QImage image(static_cast<int>(std::ceil(view.width() * dpr)),
                     static_cast<int>(std::ceil(view.height() * dpr)),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::magenta);
        view.render(&image);
        return image;
    }
    void wheel(QPoint pixels, QPoint angle, Qt::ScrollPhase phase) {
        const QPointF at(350, 200);
        QWheelEvent event(at, view.mapToGlobal(at), pixels, angle, Qt::NoButton, Qt::NoModifier,
                          phase, false);
        QCoreApplication::sendEvent(&view, &event);
    }
};

TEST(FourWeeksView, AnAnchorOnAThursdayShowsItsWeekAndIsRewritten) {
    FourWeeks fw;
    QCoreApplication::processEvents();
    fw.anchors.clear();
    fw.view.setAnchor(at(fw.cal, 2026, 3, 26, 14));
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 3, 23));
    EXPECT_EQ(fw.view.title(), "Mar \u2013 Apr 2026");
    EXPECT_TRUE(fw.anchors.empty()); // reported once control is back in the event loop
    QCoreApplication::processEvents();
    ASSERT_EQ(fw.anchors, std::vector<Instant>{at(fw.cal, 2026, 3, 23)});
    // The report coming back, and the same day again, change nothing.
    fw.view.setAnchor(at(fw.cal, 2026, 3, 23));
    fw.view.setAnchor(at(fw.cal, 2026, 3, 23));
    QCoreApplication::processEvents();
    EXPECT_EQ(fw.anchors.size(), 1u);
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 3, 23));
}

TEST(FourWeeksView, FourWeeksAwayAnimatesWhileOneWeekAwayJumps) {
    FourWeeks fw;
    fw.showAndSettle();
    fw.anchors.clear();
    fw.view.setAnchor(at(fw.cal, 2026, 4, 6));
    EXPECT_TRUE(fw.view.isPaging());
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 4, 6));
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 3, 9)); // still on its way
    fw.settle();
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 4, 6));
    EXPECT_TRUE(fw.anchors.empty()); // the anchor already is that page's first day

    fw.view.setAnchor(at(fw.cal, 2026, 4, 13));
    EXPECT_FALSE(fw.view.isPaging());
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 4, 13));
    // From the rebuilt pager, paging goes on in steps of four weeks.
    fw.view.page(-1);
    fw.settle();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 3, 16));
    EXPECT_EQ(fw.anchors, std::vector<Instant>{at(fw.cal, 2026, 3, 16)});
}

TEST(FourWeeksView, KeysWheelAndSwipesPageWholePages) {
    FourWeeks fw;
    fw.showAndSettle();
    fw.anchors.clear();
    QTest::keyClick(&fw.view, Qt::Key_PageDown);
    fw.settle();
    QTest::keyClick(&fw.view, Qt::Key_Right);
    fw.settle();
    QTest::keyClick(&fw.view, Qt::Key_PageUp);
    fw.settle();
    EXPECT_EQ(fw.anchors, (std::vector<Instant>{at(fw.cal, 2026, 4, 6), at(fw.cal, 2026, 5, 4),
                                                at(fw.cal, 2026, 4, 6)}));

    // A mouse wheel: one notch down, one page on; half notches add up.
    fw.wheel({}, {0, -120}, Qt::NoScrollPhase);
    fw.settle();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    fw.wheel({}, {0, 60}, Qt::NoScrollPhase);
    fw.settle();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    fw.wheel({}, {0, 60}, Qt::NoScrollPhase);
    fw.settle();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 4, 6));

    // A touchpad swipe across a third of the width moves on; a tenth springs back.
    fw.wheel({}, {}, Qt::ScrollBegin);
    fw.wheel({-120, 0}, {-120, 0}, Qt::ScrollUpdate);
    fw.wheel({-120, 0}, {-120, 0}, Qt::ScrollUpdate);
    EXPECT_TRUE(fw.view.isPaging());
    fw.wheel({}, {}, Qt::ScrollEnd);
    fw.settle();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    fw.wheel({}, {}, Qt::ScrollBegin);
    fw.wheel({0, 35}, {0, 35}, Qt::ScrollUpdate);
    QTest::qWait(150); // a pause: the swipe is no flick
    fw.wheel({}, {}, Qt::ScrollEnd);
    fw.settle();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 5, 4));
}

TEST(FourWeeksView, ClickingADayReportsItAndDraggingPages) {
    FourWeeks fw;
    fw.showAndSettle();
    const QRectF thursday = fw.view.cellRect(at(fw.cal, 2026, 3, 12));
    ASSERT_FALSE(thursday.isEmpty());
    EXPECT_NEAR(thursday.left(), 300, 0.5);
    QTest::mouseClick(&fw.view, Qt::LeftButton, {}, thursday.center().toPoint());
    QTest::mouseClick(&fw.view, Qt::LeftButton, {}, QPoint(350, 10)); // the weekday header
    EXPECT_EQ(fw.selected, std::vector<Instant>{at(fw.cal, 2026, 3, 12)});
    // The last cell of the page is the Sunday four weeks on.
    EXPECT_EQ(fw.view.dayAt(QPointF(699, fw.view.height() - 1)), at(fw.cal, 2026, 4, 5));

    // Dragging to the left by 40 % of the width brings the next page, and selects nothing.
    fw.selected.clear();
    QTest::mousePress(&fw.view, Qt::LeftButton, {}, QPoint(500, 200));
    for (int x = 480; x >= 220; x -= 20) {
        QTest::mouseMove(&fw.view, QPoint(x, 200));
    }
    QTest::qWait(150);
    QTest::mouseRelease(&fw.view, Qt::LeftButton, {}, QPoint(220, 200));
    fw.settle();
    EXPECT_TRUE(fw.selected.empty());
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 4, 6));
}

TEST(FourWeeksView, CellsShowTodayThePastChipsAndOverflow) {
    const Calendar cal = test::berlin();
    const RGB green{0.2, 0.7, 0.3};
    std::vector<CalEvent> events;
    CalEvent trip = gridEvent("trip", "Trip", at(cal, 2026, 3, 12), at(cal, 2026, 3, 13), green);
    trip.isAllDay = true;
    events.push_back(trip);
    for (int i = 0; i < 4; ++i) {
        events.push_back(gridEvent("m" + std::to_string(i), "Meeting", at(cal, 2026, 3, 12, 9 + i),
                                   at(cal, 2026, 3, 12, 10 + i)));
    }
    FourWeeks fw(events);
    const GridPalette palette = GridPalette::from(fw.view.palette());
    EXPECT_EQ(fw.view.accessibleText(at(fw.cal, 2026, 3, 12)),
              "Thursday, March 12, 5 events: Trip, Meeting, Meeting");

    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage image = fw.render(dpr);
        const QRectF today = fw.view.cellRect(at(fw.cal, 2026, 3, 11));
        const QRectF past = fw.view.cellRect(at(fw.cal, 2026, 3, 10));
        const QRectF busy = fw.view.cellRect(at(fw.cal, 2026, 3, 12));
        // Today's number sits on a red disc in the middle of the date row.
        EXPECT_TRUE(near(pixelAt(image, today.center().x() + 6, today.top() + 11), palette.red, 8));
        // Past days are grey, later ones keep the background.
        const QColor grey = MonthDayCell::pastBackground(palette);
        const auto mix = [](int a, int b) {
            return static_cast<int>(std::lround(0.6 * a + 0.4 * b));
        };
        const QColor expectedPast(mix(grey.red(), palette.background.red()),
                                  mix(grey.green(), palette.background.green()),
                                  mix(grey.blue(), palette.background.blue()));
        EXPECT_TRUE(near(pixelAt(image, past.right() - 3, past.bottom() - 3), expectedPast, 3));
        EXPECT_TRUE(near(pixelAt(image, busy.right() - 3, busy.bottom() - 3), palette.background));
        // The all-day chip sits on a tint of its calendar, at the right end of its first row.
        const auto overWhite = [](double c) {
            return static_cast<int>(std::lround(0.22 * c * 255 + 0.78 * 255));
        };
        const QColor expectedTint(overWhite(green.r), overWhite(green.g), overWhite(green.b));
        EXPECT_TRUE(near(pixelAt(image, busy.right() - 5, busy.top() + 22 + 7.5), expectedTint, 4));
        // Three rows fit: two chips and the "+3" row; below it the cell is empty.
        const auto inkIn = [&](QRectF r) {
            for (double y = r.top(); y < r.bottom(); y += 0.5) {
                for (double x = r.left(); x < r.right(); x += 0.5) {
                    if (pixelAt(image, x, y).lightness() < 200) {
                        return true;
                    }
                }
            }
            return false;
        };
        const double rows = busy.top() + 22;
        EXPECT_TRUE(inkIn(QRectF(busy.left() + 3, rows + 15, 30, 15)));   // second chip
        EXPECT_TRUE(inkIn(QRectF(busy.left() + 3, rows + 30, 12, 15)));   // "+3"
        EXPECT_FALSE(inkIn(QRectF(busy.left() + 20, rows + 30, 60, 15))); // nothing after it
        EXPECT_FALSE(inkIn(QRectF(busy.left() + 3, rows + 45, 60, 12)));
    }
}

TEST(FourWeeksView, AsksOnlyForTheDaysOnScreenAndAgainAfterAReload) {
    FourWeeks fw;
    fw.render();
    EXPECT_EQ(fw.asked.size(), 28u);
    EXPECT_EQ(*fw.asked.begin(), at(fw.cal, 2026, 3, 9));
    EXPECT_EQ(*fw.asked.rbegin(), at(fw.cal, 2026, 4, 5));
    fw.asked.clear();
    fw.render();
    EXPECT_TRUE(fw.asked.empty()); // a repaint asks nothing
    fw.view.reloadData();
    fw.render();
    EXPECT_EQ(fw.asked.size(), 28u);

    // Left alone on screen, the view draws the pages on either side, so that turning to one
    // asks for nothing more.
    fw.showAndSettle();
    fw.asked.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fw.asked.size() == 56u; }, 2000));
    EXPECT_EQ(*fw.asked.begin(), at(fw.cal, 2026, 2, 9));
    EXPECT_EQ(*fw.asked.rbegin(), at(fw.cal, 2026, 5, 3));
    fw.asked.clear();
    fw.view.page(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fw.view.isPaging(); }, 2000));
    fw.render();
    EXPECT_TRUE(fw.asked.empty());
}

} // namespace
} // namespace plannery
