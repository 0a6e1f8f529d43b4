#include "AnimationClock.h"
#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "PointerEvents.h"
#include "TestSupport.h"

#include "views/AgendaListView.h"
#include "views/GridPalette.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;
using test::near;
using test::pixelAt;

// A list in Berlin on Wednesday 11 March 2026 at 10:30, 400 × 500 points, opened on Monday
// 9 March. Tests that let time pass make an AnimationClock first.
struct Agenda {
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    test::ListDays days;
    AgendaListView view{cal};
    std::vector<Instant> anchors;
    std::vector<std::string> selected;

    explicit Agenda(std::vector<CalEvent> initial = {}, std::optional<Instant> anchor = {})
        : days(cal, std::move(initial)) {
        view.setNow(now);
        view.setDaySource(&days);
        view.setOnSelect([this](const CalEvent& event) { selected.push_back(event.id); });
        view.resize(400, 500);
        view.setAnchor(anchor.value_or(at(cal, 2026, 3, 9)));
        view.anchorLink().connect([this](Instant day) { anchors.push_back(day); });
    }
    QImage render() {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        view.render(&image);
        return image;
    }
    void wheel(int angle) {
        test::sendWheel(*view.viewport(), QPointF(200, 250), QPoint(), QPoint(0, angle));
    }
    // The days asked for by the requests since the last look.
    std::vector<test::Request> asked() {
        std::vector<test::Request> requests = days.requests();
        days.clearRequests();
        return requests;
    }
};

// Two events a day, from 9 to 10 and from 14 to 15, on every day from `from` for `count` days.
std::vector<CalEvent> busyDays(const Calendar& cal, Instant from, int count) {
    std::vector<CalEvent> events;
    Instant day = from;
    for (int i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        events.push_back(gridEvent("a" + key, "Standup", day.plus(9 * 3600), day.plus(10 * 3600)));
        events.push_back(gridEvent("b" + key, "Review", day.plus(14 * 3600), day.plus(15 * 3600)));
        day = *cal.addDays(day, 1);
    }
    return events;
}

TEST(AgendaListView, ShowsBusyDaysTheFirstDayAndTodayUnderMonthHeadings) {
    const Calendar cal = test::berlin();
    Agenda agenda({gridEvent("lunch", "Lunch", at(cal, 2026, 3, 12, 12), at(cal, 2026, 3, 12, 13)),
                   gridEvent("trip", "Trip", at(cal, 2026, 4, 2, 8), at(cal, 2026, 4, 4, 18))});
    // The first list: the anchor's day and the 120 days after it, asked for at once.
    EXPECT_EQ(agenda.view.range(),
              (AgendaRange{.start = at(cal, 2026, 3, 9), .end = at(cal, 2026, 7, 7)}));
    const std::vector<test::Request> asked = agenda.asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(),
              (test::Request{.from = at(cal, 2026, 3, 9), .to = at(cal, 2026, 7, 7)}));

    EXPECT_EQ(
        agenda.view.shownDays(),
        (std::vector<Instant>{at(cal, 2026, 3, 9), at(cal, 2026, 3, 11), at(cal, 2026, 3, 12),
                              at(cal, 2026, 4, 2), at(cal, 2026, 4, 3), at(cal, 2026, 4, 4)}));
    EXPECT_TRUE(agenda.view.showsMonthHeading(at(cal, 2026, 3, 9)));
    EXPECT_FALSE(agenda.view.showsMonthHeading(at(cal, 2026, 3, 12)));
    EXPECT_TRUE(agenda.view.showsMonthHeading(at(cal, 2026, 4, 2)));
    EXPECT_EQ(agenda.view.accessibleText(at(cal, 2026, 3, 9)), "Monday, March 9, No events");
    EXPECT_EQ(agenda.view.accessibleText(at(cal, 2026, 3, 11)),
              "Wednesday, March 11, today, No events");
    EXPECT_EQ(agenda.view.accessibleText(at(cal, 2026, 3, 12)),
              "Thursday, March 12, 1 event: Lunch");
    EXPECT_EQ(agenda.view.accessibleText(at(cal, 2026, 3, 10)), ""); // not shown

    // The list opens at its top, the "Show Earlier" button above the first day; nothing is
    // reported until the user scrolls.
    EXPECT_EQ(agenda.view.scrollOffset(), 0);
    EXPECT_EQ(agenda.view.scrolledDay(), std::nullopt);
    EXPECT_EQ(agenda.view.showEarlierRect().top(), 0);
    EXPECT_EQ(agenda.view.sectionRect(at(cal, 2026, 3, 9)).top(),
              agenda.view.showEarlierRect().bottom());
    QCoreApplication::processEvents();
    EXPECT_TRUE(agenda.anchors.empty());

    // With no events at all: the first day and today, each with "No events".
    Agenda empty;
    EXPECT_EQ(empty.view.shownDays(),
              (std::vector<Instant>{at(cal, 2026, 3, 9), at(cal, 2026, 3, 11)}));
    // Opened after today: the first day alone.
    Agenda later({}, at(cal, 2026, 5, 20, 15));
    EXPECT_EQ(later.view.shownDays(), std::vector<Instant>{at(cal, 2026, 5, 20)});
}

TEST(AgendaListView, ScrollingReportsTheDayAtTheTopWithoutScrollingAgain) {
    const Calendar cal = test::berlin();
    Agenda agenda(busyDays(cal, at(cal, 2026, 3, 9), 60));
    agenda.view.show();
    // Three notches: past the first day (which is the anchor already, so not reported).
    agenda.wheel(-360);
    ASSERT_GT(agenda.view.scrollOffset(), 0);
    ASSERT_FALSE(agenda.anchors.empty());
    EXPECT_EQ(agenda.anchors.back(), agenda.view.scrolledDay());
    // The reported day is the one whose section holds the top edge.
    const QRectF top = agenda.view.sectionRect(agenda.anchors.back());
    EXPECT_LE(top.top(), 0);
    EXPECT_GT(top.bottom(), 0);

    // Dragging the scroll bar far down: each new top day is reported once, in order.
    agenda.anchors.clear();
    QScrollBar* bar = agenda.view.verticalScrollBar();
    for (int y = bar->value() + 100; y < 3000; y += 100) {
        bar->setValue(y);
    }
    ASSERT_GE(agenda.anchors.size(), 3u);
    for (std::size_t i = 1; i < agenda.anchors.size(); ++i) {
        EXPECT_GT(agenda.anchors[i], agenda.anchors[i - 1]);
    }
    // The window writes the report back: the list stays where the user left it.
    const double offset = agenda.view.scrollOffset();
    agenda.view.setAnchor(agenda.anchors.back());
    EXPECT_FALSE(agenda.view.isScrollingToDay());
    EXPECT_EQ(agenda.view.scrollOffset(), offset);
    EXPECT_EQ(agenda.anchors.back(), agenda.view.scrolledDay());
}

TEST(AgendaListView, ClickingAnEventSelectsItAndShowEarlierAddsDaysAbove) {
    const Calendar cal = test::berlin();
    Agenda agenda({gridEvent("lunch", "Lunch", at(cal, 2026, 3, 12, 12), at(cal, 2026, 3, 12, 13)),
                   gridEvent("early", "Dentist", at(cal, 2026, 2, 3, 8), at(cal, 2026, 2, 3, 9))});
    agenda.view.show();
    const QRectF lunch = agenda.view.rowRect(at(cal, 2026, 3, 12), "lunch");
    ASSERT_FALSE(lunch.isEmpty());
    EXPECT_EQ(agenda.view.eventAt(lunch.center())->id, "lunch");
    QTest::mouseClick(agenda.view.viewport(), Qt::LeftButton, {}, lunch.center().toPoint());
    // Beside the row (the date badge) and on "No events" nothing is selected.
    QTest::mouseClick(agenda.view.viewport(), Qt::LeftButton, {},
                      QPoint(20, static_cast<int>(lunch.center().y())));
    const QRectF firstDay = agenda.view.sectionRect(at(cal, 2026, 3, 9));
    QTest::mouseClick(agenda.view.viewport(), Qt::LeftButton, {}, firstDay.center().toPoint());
    EXPECT_EQ(agenda.selected, std::vector<std::string>{"lunch"});

    // "Show Earlier": 60 days more above, asked for on their own; the early event shows and the
    // old first day, empty and no longer first, is dropped.
    agenda.asked();
    QTest::mouseClick(agenda.view.viewport(), Qt::LeftButton, {},
                      agenda.view.showEarlierRect().center().toPoint());
    EXPECT_EQ(agenda.view.range().start, at(cal, 2026, 1, 8));
    const std::vector<test::Request> asked = agenda.asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(),
              (test::Request{.from = at(cal, 2026, 1, 8), .to = at(cal, 2026, 3, 9)}));
    const std::vector<Instant> days = agenda.view.shownDays();
    EXPECT_EQ(days.front(), at(cal, 2026, 1, 8));
    EXPECT_EQ(days[1], at(cal, 2026, 2, 3));
    EXPECT_EQ(std::count(days.begin(), days.end(), at(cal, 2026, 3, 9)), 0);
    EXPECT_TRUE(agenda.view.showsMonthHeading(at(cal, 2026, 3, 11)));
}

TEST(AgendaListView, AnAnchorFromOutsideScrollsToTheFirstShownDayOnOrAfterIt) {
    const Calendar cal = test::berlin();
    std::vector<CalEvent> events = busyDays(cal, at(cal, 2026, 3, 9), 20);
    for (CalEvent& event : busyDays(cal, at(cal, 2026, 6, 10), 10)) {
        event.id = "june-" + event.id;
        events.push_back(event);
    }
    test::AnimationClock clock;
    Agenda agenda(events);
    agenda.view.show();

    // 1 June has nothing: the list moves, animated, to 10 June, and answers with that day.
    agenda.view.setAnchor(at(cal, 2026, 6, 1));
    EXPECT_TRUE(agenda.view.isScrollingToDay());
    EXPECT_EQ(agenda.view.scrolledDay(), at(cal, 2026, 6, 10));
    EXPECT_EQ(agenda.anchors, std::vector<Instant>{at(cal, 2026, 6, 10)});
    clock.finish();
    EXPECT_NEAR(agenda.view.sectionRect(at(cal, 2026, 6, 10)).top(), 0, 1);
    EXPECT_EQ(agenda.anchors, std::vector<Instant>{at(cal, 2026, 6, 10)});
    agenda.view.setAnchor(at(cal, 2026, 6, 10)); // the answer coming back
    EXPECT_FALSE(agenda.view.isScrollingToDay());

    // Back to a busy day before it.
    agenda.view.setAnchor(at(cal, 2026, 3, 20));
    clock.finish();
    EXPECT_NEAR(agenda.view.sectionRect(at(cal, 2026, 3, 20)).top(), 0, 1);
    EXPECT_EQ(agenda.anchors.size(), 1u); // that day is shown as asked: nothing to answer

    // Three years ahead, with nothing there: the range reaches 90 days past it, and the list
    // goes to the last day with events.
    agenda.asked();
    agenda.view.setAnchor(at(cal, 2029, 3, 7));
    EXPECT_EQ(agenda.view.range().end, at(cal, 2029, 6, 5));
    const std::vector<test::Request> asked = agenda.asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front().to, at(cal, 2029, 6, 5));
    clock.finish();
    EXPECT_EQ(agenda.view.scrolledDay(), at(cal, 2026, 6, 19));
    EXPECT_EQ(agenda.anchors.back(), at(cal, 2026, 6, 19));
    EXPECT_TRUE(
        agenda.view.sectionRect(at(cal, 2026, 6, 19)).intersects(agenda.view.viewport()->rect()));

    // Before the start: the range starts on that day.
    agenda.view.setAnchor(at(cal, 2025, 12, 24, 18));
    EXPECT_EQ(agenda.view.range().start, at(cal, 2025, 12, 24));
    clock.finish();
    EXPECT_EQ(agenda.view.scrolledDay(), at(cal, 2026, 3, 9));
    EXPECT_EQ(agenda.anchors.back(), at(cal, 2026, 3, 9));
}

TEST(AgendaListView, TheBottomComingIntoViewLoadsNinetyMoreDays) {
    const Calendar cal = test::berlin();
    Agenda agenda(busyDays(cal, at(cal, 2026, 3, 9), 10));
    std::vector<CalEvent> events = agenda.days.all();
    events.push_back(
        gridEvent("autumn", "Harvest", at(cal, 2026, 8, 1, 9), at(cal, 2026, 8, 1, 17)));
    agenda.days.change(events);
    agenda.view.show();
    EXPECT_EQ(agenda.view.range().end, at(cal, 2026, 7, 7));

    QScrollBar* bar = agenda.view.verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_EQ(agenda.view.range().end, at(cal, 2026, 10, 5));
    EXPECT_EQ(agenda.view.shownDays().back(), at(cal, 2026, 8, 1));
    // The new day pushed the bottom out of view; reaching it again loads 90 days more, read
    // ahead while the event loop was idle.
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
    }
    const std::vector<test::Request> asked = agenda.asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().to, at(cal, 2027, 1, 3));
    bar->setValue(bar->maximum());
    EXPECT_EQ(agenda.view.range().end, at(cal, 2027, 1, 3));
    EXPECT_TRUE(agenda.asked().empty());

    // Nothing came of them, so the bottom stays in view: nothing more until it comes into view
    // again.
    bar->setValue(bar->maximum() - 1);
    bar->setValue(bar->maximum());
    EXPECT_EQ(agenda.view.range().end, at(cal, 2027, 1, 3));
    bar->setValue(0);
    bar->setValue(bar->maximum());
    EXPECT_EQ(agenda.view.range().end, at(cal, 2027, 4, 3));
}

TEST(AgendaListView, DaysReadAheadBeforeTheirMonthArrivedAreReadAgainWithIt) {
    const Calendar cal = test::berlin();
    Agenda agenda(busyDays(cal, at(cal, 2026, 3, 9), 10));
    std::vector<CalEvent> events = agenda.days.all();
    events.push_back(
        gridEvent("autumn", "Harvest", at(cal, 2026, 8, 1, 9), at(cal, 2026, 8, 1, 17)));
    agenda.days.change(events);
    agenda.view.show();

    // The days after the list are read ahead while their months are still on their way.
    agenda.days.setDeferred(true);
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
    }
    const std::vector<test::Request> asked = agenda.asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().to, at(cal, 2026, 10, 5));
    agenda.days.deliver();

    // Reaching the bottom takes those days in with the events that arrived.
    QScrollBar* bar = agenda.view.verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_EQ(agenda.view.range().end, at(cal, 2026, 10, 5));
    EXPECT_EQ(agenda.view.shownDays().back(), at(cal, 2026, 8, 1));
}

TEST(AgendaListView, ReloadDataShowsNewEventsAndKeepsTheTopDayInPlace) {
    const Calendar cal = test::berlin();
    test::AnimationClock clock;
    Agenda agenda(busyDays(cal, at(cal, 2026, 3, 9), 30));
    agenda.view.show();
    agenda.view.setAnchor(at(cal, 2026, 3, 20));
    clock.finish();
    const double top = agenda.view.sectionRect(at(cal, 2026, 3, 20)).top();

    // A change elsewhere: an event added above and the days of 25 March emptied.
    std::vector<CalEvent> events = agenda.days.all();
    events.push_back(gridEvent("new", "Added", at(cal, 2026, 3, 12, 18), at(cal, 2026, 3, 12, 19)));
    std::erase_if(events, [&](const CalEvent& event) {
        return cal.startOfDay(event.start) == at(cal, 2026, 3, 25);
    });
    agenda.days.change(events);
    EXPECT_FALSE(agenda.view.rowRect(at(cal, 2026, 3, 12), "new").isEmpty());
    const std::vector<Instant> days = agenda.view.shownDays();
    EXPECT_EQ(std::count(days.begin(), days.end(), at(cal, 2026, 3, 25)), 0);
    EXPECT_EQ(agenda.view.sectionRect(at(cal, 2026, 3, 20)).top(), top);
    EXPECT_EQ(agenda.view.scrolledDay(), at(cal, 2026, 3, 20));

    // The day at the top loses its events: the next day takes its place and is reported.
    std::erase_if(events, [&](const CalEvent& event) {
        return cal.startOfDay(event.start) == at(cal, 2026, 3, 20);
    });
    agenda.anchors.clear();
    agenda.days.change(events);
    EXPECT_EQ(agenda.view.scrolledDay(), at(cal, 2026, 3, 21));
    EXPECT_EQ(agenda.anchors, std::vector<Instant>{at(cal, 2026, 3, 21)});
}

TEST(AgendaListView, RowsShowTodayTitlesThatWrapAndFadedEvents) {
    const Calendar cal = test::berlin();
    const RGB green{0.2, 0.7, 0.3};
    CalEvent past =
        gridEvent("past", "Breakfast", at(cal, 2026, 3, 11, 7), at(cal, 2026, 3, 11, 8), green);
    CalEvent declined =
        gridEvent("declined", "Party", at(cal, 2026, 3, 11, 20), at(cal, 2026, 3, 11, 23), green);
    declined.isDeclined = true;
    CalEvent upcoming = gridEvent("next", "A meeting whose title is far too long for one line",
                                  at(cal, 2026, 3, 11, 12), at(cal, 2026, 3, 11, 13), green);
    Agenda agenda({past, declined, upcoming});
    agenda.view.show();
    const GridPalette palette = GridPalette::from(agenda.view.palette());
    const QImage image = agenda.render();

    // Today's number sits on a red disc.
    const QRectF today = agenda.view.sectionRect(at(cal, 2026, 3, 11));
    ASSERT_FALSE(today.isEmpty());
    // Left of the digits, inside the 34-point disc under the weekday.
    const QColor disc = pixelAt(image, 12 + 20 - 13, today.top() + 5 + 16 + 2 + 17);
    EXPECT_TRUE(near(disc, palette.red, 10)) << disc.name().toStdString();

    // The stripes: the calendar's colour in full for the coming event, faded for the past one
    // and more for the declined one.
    const auto stripe = [&](const std::string& id) {
        const QRectF row = agenda.view.rowRect(at(cal, 2026, 3, 11), id);
        return pixelAt(image, row.left() + 2, row.center().y());
    };
    const QColor full = GridPalette::color(green);
    EXPECT_TRUE(near(stripe("next"), full, 4)) << stripe("next").name().toStdString();
    const auto faded = [&](double opacity) {
        // The stripe at that opacity over the row's own faded tint on white.
        const double tint = 0.08 * opacity;
        const auto mix = [&](double c) {
            const double under = 255 * (1 - tint) + c * 255 * tint;
            return static_cast<int>(std::lround(under * (1 - opacity) + c * 255 * opacity));
        };
        return QColor(mix(green.r), mix(green.g), mix(green.b));
    };
    EXPECT_TRUE(near(stripe("past"), faded(0.55), 6)) << stripe("past").name().toStdString();
    EXPECT_TRUE(near(stripe("declined"), faded(0.45), 6))
        << stripe("declined").name().toStdString();

    // The long title takes two lines at this width, one once the list is wide enough.
    const double twoLines = agenda.view.rowRect(at(cal, 2026, 3, 11), "next").height();
    const double oneLine = agenda.view.rowRect(at(cal, 2026, 3, 11), "past").height();
    EXPECT_GT(twoLines, oneLine);
    agenda.view.resize(1200, 500);
    EXPECT_EQ(agenda.view.rowRect(at(cal, 2026, 3, 11), "next").height(), oneLine);
}

} // namespace
} // namespace plannery
