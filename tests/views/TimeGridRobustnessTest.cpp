#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "TestSupport.h"

#include "views/TimeGridView.h"

#include <gtest/gtest.h>

#include <QString>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;
using test::renderView;

// Counts pixels that are neither white nor the fill colour of nothing: some tile was drawn.
bool drewSomethingAt(const QImage& image, QRect area) {
    for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y) {
        for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1);
             ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                return true;
            }
        }
    }
    return false;
}

TEST(TimeGridRobustness, BadInputsDrawWithoutCrashing) {
    const Calendar cal = test::berlin();
    std::vector<CalEvent> events;
    // Zero length, more than a week, before and after the first and last hours.
    events.push_back(gridEvent("zero", "Zero", at(cal, 2026, 3, 10, 9), at(cal, 2026, 3, 10, 9)));
    events.push_back(gridEvent("long", "Long", at(cal, 2026, 2, 20, 9), at(cal, 2026, 4, 10, 9)));
    events.push_back(gridEvent("early", "Early", at(cal, 2026, 3, 11, 0), at(cal, 2026, 3, 11, 1)));
    events.push_back(
        gridEvent("late", "Late", at(cal, 2026, 3, 11, 23, 30), at(cal, 2026, 3, 12, 0, 30)));
    // Fifty at the same minute.
    for (int i = 0; i < 50; ++i) {
        events.push_back(gridEvent("same" + std::to_string(i), "Same " + std::to_string(i),
                                   at(cal, 2026, 3, 12, 14), at(cal, 2026, 3, 12, 15)));
    }
    // A title of 10,000 characters and one in right-to-left script, tentative and declined.
    CalEvent huge = gridEvent("huge", std::string(10000, 'w'), at(cal, 2026, 3, 13, 8),
                              at(cal, 2026, 3, 13, 12));
    huge.isTentative = true;
    events.push_back(huge);
    std::string words;
    for (int i = 0; i < 2000; ++i) {
        words += "word ";
    }
    events.push_back(gridEvent("words", words, at(cal, 2026, 3, 13, 13), at(cal, 2026, 3, 13, 18)));
    CalEvent rtl = gridEvent("rtl", QString::fromUtf16(u"اجتماع الفريق الأسبوعي").toStdString(),
                             at(cal, 2026, 3, 14, 9), at(cal, 2026, 3, 14, 11));
    rtl.isDeclined = true;
    rtl.isTentative = true;
    rtl.location = QString::fromUtf16(u"שלום").toStdString();
    events.push_back(rtl);
    // An event on five calendars and one without any.
    CalEvent many = gridEvent("many", "Many", at(cal, 2026, 3, 15, 9), at(cal, 2026, 3, 15, 10));
    for (int i = 0; i < 4; ++i) {
        many.calendars.push_back(CalendarRef{.id = std::to_string(i), .rgb = RGB{0.1 * i, 1, 0}});
    }
    events.push_back(many);
    CalEvent orphan =
        gridEvent("orphan", "Orphan", at(cal, 2026, 3, 15, 11), at(cal, 2026, 3, 15, 12));
    orphan.calendars.clear();
    events.push_back(orphan);

    test::ListDays days(cal, events);
    TimeGridView view(TimeGridSpan::week(), cal);
    view.setDaySource(&days);
    view.setAnchor(at(cal, 2026, 3, 11, 12));
    view.setNow(at(cal, 2026, 3, 11, 12));
    for (const double dpr : {1.0, 1.25, 1.5, 2.0}) {
        for (const QSize size : {QSize(1, 1), QSize(61, 61), QSize(200, 100), QSize(1600, 1000)}) {
            SCOPED_TRACE(
                QString("%1x%2@%3").arg(size.width()).arg(size.height()).arg(dpr).toStdString());
            const QImage image = renderView(view, size.width(), size.height(), dpr);
            EXPECT_FALSE(image.isNull());
        }
    }
    // Hour heights far outside the limits are clamped; the grid still draws its tiles.
    for (const double height : {-5.0, 0.0, 1e-9, 1e9}) {
        view.setHourHeight(height);
        renderView(view, 1000, 700, 1);
        view.setVerticalOffset(view.metrics().y(14 * 60) - 20);
        const QImage image = renderView(view, 1000, 700, 1);
        EXPECT_GE(view.metrics().hourHeight, 16);
        EXPECT_LE(view.metrics().hourHeight, 200);
        const double left = view.columnLeft(view.pageDays().at(3)).value();
        EXPECT_TRUE(drewSomethingAt(
            image, QRect(static_cast<int>(left + 2), static_cast<int>(view.minuteY(14 * 60 + 20)),
                         static_cast<int>(view.metrics().columnWidth) - 4, 2)))
            << height;
    }
    // Fitted hours widen to hold the events and still draw.
    view.setFitHours(TimeGridHourRange{.start = 8, .end = 20});
    renderView(view, 1000, 700, 1.5);
    EXPECT_EQ(view.metrics().startHour, 0);
    view.setFitHours(TimeGridHourRange{.start = 23, .end = 5});
    renderView(view, 800, 600, 2);
}

TEST(TimeGridRobustness, DaysOfTwentyThreeAndTwentyFiveHours) {
    struct Case {
        const char* zone;
        int month;
        int day;
    };
    for (const Case c : {Case{"Europe/Berlin", 3, 29}, Case{"Europe/Berlin", 10, 25},
                         Case{"America/New_York", 3, 8}, Case{"America/New_York", 11, 1}}) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.month));
        const Calendar cal = test::calendarIn(c.zone);
        const std::vector<CalEvent> events = {
            gridEvent("night", "Night", at(cal, 2026, c.month, c.day, 0, 30),
                      at(cal, 2026, c.month, c.day, 4)),
            gridEvent("day", "Day", at(cal, 2026, c.month, c.day, 10),
                      at(cal, 2026, c.month, c.day, 11)),
        };
        for (const TimeGridSpan span : {TimeGridSpan::days(1), TimeGridSpan::week()}) {
            test::ListDays days(cal, events);
            TimeGridView view(span, cal);
            view.setDaySource(&days);
            view.setAnchor(at(cal, 2026, c.month, c.day, 12));
            view.setNow(at(cal, 2026, c.month, c.day, 2, 30));
            view.setVerticalOffset(0);
            const QImage image = renderView(view, 900, 1400, 1);
            const Instant day = view.pageDays().at(span == TimeGridSpan::days(1) ? 0 : 6);
            ASSERT_EQ(day, cal.startOfDay(at(cal, 2026, c.month, c.day, 12)));
            // Wall-clock positions: the 10:00 event is drawn at 10:00 whatever the day's length.
            const double x = view.columnLeft(day).value() + view.metrics().columnWidth * 0.8;
            EXPECT_EQ(view.eventAt(QPointF(x, view.minuteY(10 * 60 + 30)))->id, "day");
            EXPECT_EQ(view.eventAt(QPointF(x, view.minuteY(3 * 60)))->id, "night");
        }
    }
}

} // namespace
} // namespace plannery
