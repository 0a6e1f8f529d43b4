#include "detail/EventEditForm.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace plannery {
namespace {

using test::at;

CalendarHandle calendarNamed(const std::string& id) {
    return std::make_shared<const StoreCalendar>(StoreCalendar{.calendarIdentifier = id,
                                                               .title = id,
                                                               .color = std::nullopt,
                                                               .type = CalendarType::local,
                                                               .allowsContentModifications = true,
                                                               .source = nullptr});
}

StoreEvent eventWith(const std::function<void(EventContent&)>& fill, Instant start,
                     std::optional<Instant> end) {
    auto content = std::make_shared<EventContent>();
    content->eventIdentifier = "home/a.ics";
    content->calendar = calendarNamed("home");
    fill(*content);
    return StoreEvent{.content = std::move(content),
                      .startDate = start,
                      .endDate = end,
                      .occurrenceDate = std::nullopt,
                      .isDetached = false};
}

WallClock wall(int year, int month, int day, int hour = 0, int minute = 0) {
    return WallClock{.year = year, .month = month, .day = day, .hour = hour, .minute = minute};
}

TEST(EventEditFormTest, NewEventLastsAnHourUnlessAnEndIsGiven) {
    const Calendar berlin = test::berlin();
    const Instant ten = at(berlin, 2026, 3, 10, 10);
    const auto home = calendarNamed("home");

    const StoreEvent open = EventEdit::newEvent(ten, std::nullopt, home, berlin);
    EXPECT_EQ(open.startDate, ten);
    EXPECT_EQ(open.endDate, at(berlin, 2026, 3, 10, 11));
    EXPECT_EQ(open.calendar(), home);
    EXPECT_EQ(open.timeZone(), "Europe/Berlin");
    EXPECT_TRUE(open.eventIdentifier().empty());
    EXPECT_FALSE(open.isAllDay());

    const StoreEvent dragged =
        EventEdit::newEvent(ten, at(berlin, 2026, 3, 10, 12, 30), nullptr, berlin);
    EXPECT_EQ(dragged.endDate, at(berlin, 2026, 3, 10, 12, 30));
    EXPECT_EQ(dragged.calendar(), nullptr);

    const EventEditForm form = EventEdit::formOf(open, berlin);
    EXPECT_EQ(form.start, wall(2026, 3, 10, 10));
    EXPECT_EQ(form.end, wall(2026, 3, 10, 11));
    EXPECT_EQ(form.calendarID, "home");
}

TEST(EventEditFormTest, FormShowsTimesOnTheEventsOwnClock) {
    const Calendar berlin = test::berlin();
    const Calendar newYork = test::calendarIn("America/New_York");

    // A timed event in its own zone: its clock, not the user's.
    const auto call = eventWith(
        [](EventContent& c) {
            c.title = "Call";
            c.timeZone = "America/New_York";
            c.alarms = {Alarm{.absoluteDate = std::nullopt, .relativeOffset = -600}};
        },
        at(newYork, 2026, 3, 10, 9), at(newYork, 2026, 3, 10, 10, 30));
    const EventEditForm form = EventEdit::formOf(call, berlin);
    EXPECT_EQ(form.title, "Call");
    EXPECT_EQ(form.start, wall(2026, 3, 10, 9));
    EXPECT_EQ(form.end, wall(2026, 3, 10, 10, 30));
    EXPECT_EQ(form.timeZone, "America/New_York");
    EXPECT_EQ(form.alarms, call.alarms());
    EXPECT_EQ(form.location, "");

    // Floating times follow the user's clock and stay floating.
    const auto floating =
        eventWith([](EventContent&) {}, at(berlin, 2026, 3, 10, 8), at(berlin, 2026, 3, 10, 9));
    EXPECT_EQ(EventEdit::formOf(floating, berlin).start, wall(2026, 3, 10, 8));
    EXPECT_EQ(EventEdit::formOf(floating, berlin).timeZone, std::nullopt);

    // A zone this computer does not know: the user's clock and zone stand in.
    const auto unknown = eventWith([](EventContent& c) { c.timeZone = "Custom/Office"; },
                                   at(berlin, 2026, 3, 10, 8), at(berlin, 2026, 3, 10, 9));
    EXPECT_EQ(EventEdit::formOf(unknown, berlin).start, wall(2026, 3, 10, 8));
    EXPECT_EQ(EventEdit::formOf(unknown, berlin).timeZone, "Europe/Berlin");

    // All-day: the last day covered, not the exclusive end; a zero-length one covers its day.
    const auto trip = eventWith([](EventContent& c) { c.isAllDay = true; }, at(berlin, 2026, 3, 10),
                                at(berlin, 2026, 3, 13));
    const EventEditForm tripForm = EventEdit::formOf(trip, berlin);
    EXPECT_TRUE(tripForm.allDay);
    EXPECT_EQ(tripForm.start, wall(2026, 3, 10));
    EXPECT_EQ(tripForm.end, wall(2026, 3, 12));
    EXPECT_EQ(tripForm.timeZone, "Europe/Berlin");
    const auto point = eventWith([](EventContent& c) { c.isAllDay = true; },
                                 at(berlin, 2026, 3, 10), at(berlin, 2026, 3, 10));
    EXPECT_EQ(EventEdit::formOf(point, berlin).end, wall(2026, 3, 10));
}

TEST(EventEditFormTest, ProblemsAreSentences) {
    const Calendar berlin = test::berlin();
    EventEditForm form{.start = wall(2026, 3, 10, 10), .end = wall(2026, 3, 10, 9, 59)};
    EXPECT_EQ(EventEdit::problem(form, berlin), EventEdit::kEndsBeforeStart);
    form.end = form.start;
    EXPECT_EQ(EventEdit::problem(form, berlin), std::nullopt) << "a moment is an event";

    form.timeZone = "Mars/Olympus";
    EXPECT_EQ(EventEdit::problem(form, berlin),
              "The time zone “Mars/Olympus” is not known on this computer.");

    // All-day events compare days only; a zone is of no matter to them.
    form.allDay = true;
    form.start = wall(2026, 3, 10, 23);
    form.end = wall(2026, 3, 10, 1);
    EXPECT_EQ(EventEdit::problem(form, berlin), std::nullopt);
    form.end = wall(2026, 3, 9);
    EXPECT_EQ(EventEdit::problem(form, berlin), EventEdit::kEndsBeforeStart);
}

TEST(EventEditFormTest, MovingTheStartMovesTheEnd) {
    EventEditForm form{.start = wall(2026, 1, 31, 22, 30), .end = wall(2026, 1, 31, 23, 45)};
    EventEditForm moved = EventEdit::withStart(form, wall(2026, 1, 31, 23, 30));
    EXPECT_EQ(moved.start, wall(2026, 1, 31, 23, 30));
    EXPECT_EQ(moved.end, wall(2026, 2, 1, 0, 45)) << "over midnight and the month's end";

    // Wall-clock lengths: the night clocks go forward in Berlin keeps 01:00-04:00 three hours.
    form = EventEditForm{
        .start = wall(2026, 3, 28, 1), .end = wall(2026, 3, 28, 4), .timeZone = "Europe/Berlin"};
    EXPECT_EQ(EventEdit::withStart(form, wall(2026, 3, 29, 1)).end, wall(2026, 3, 29, 4));

    // Backwards, and whole days for an all-day event.
    form = EventEditForm{.allDay = true, .start = wall(2026, 3, 10), .end = wall(2026, 3, 12)};
    moved = EventEdit::withStart(form, wall(2026, 2, 27));
    EXPECT_EQ(moved.end, wall(2026, 3, 1));
}

TEST(EventEditFormTest, ApplyChangesOnlyWhatTheUserChanged) {
    const Calendar berlin = test::berlin();
    const auto home = calendarNamed("home");
    const auto work = calendarNamed("work");
    const StoreEvent opened = eventWith(
        [&](EventContent& c) {
            c.title = "Dentist";
            c.location = "Main Street 1";
            c.structuredLocation = StructuredLocation{.title = "Main Street 1",
                                                      .geoLocation = GeoLocation{52.5, 13.4}};
            c.timeZone = "Europe/Berlin";
            c.notes = "Bring the card";
        },
        at(berlin, 2026, 3, 10, 10), at(berlin, 2026, 3, 10, 11));
    const EventEditForm before = EventEdit::formOf(opened, berlin);

    // Meanwhile a sync moved the event an hour and named a room.
    auto synced = std::make_shared<EventContent>(*opened.content);
    synced->notes = "Bring the card. Room 4.";
    StoreEvent base = opened;
    base.content = synced;
    base.startDate = at(berlin, 2026, 3, 10, 11);
    base.endDate = at(berlin, 2026, 3, 10, 12);

    EventEditForm edited = before;
    edited.title = "Dentist (Dr. Lee)";
    auto applied = EventEdit::apply(before, edited, base, {home, work}, berlin);
    ASSERT_TRUE(applied.event) << applied.error.value_or("");
    EXPECT_EQ(applied.event->title(), "Dentist (Dr. Lee)");
    EXPECT_EQ(applied.event->notes(), "Bring the card. Room 4.");
    EXPECT_EQ(applied.event->startDate, base.startDate) << "the sync's times stay";
    EXPECT_EQ(applied.event->endDate, base.endDate);
    EXPECT_EQ(applied.event->structuredLocation(), opened.structuredLocation());
    EXPECT_EQ(base.title(), "Dentist") << "the base is not changed";

    // Emptied texts go; a new place drops the old coordinates; times in a new zone.
    edited = before;
    edited.title.clear();
    edited.location = "Harbour Road 7";
    edited.url = "https://example.com/booking";
    edited.start = wall(2026, 3, 10, 9);
    edited.end = wall(2026, 3, 10, 9, 45);
    edited.timeZone = "America/New_York";
    edited.alarms = {Alarm{.absoluteDate = std::nullopt, .relativeOffset = -900}};
    edited.calendarID = "work";
    applied = EventEdit::apply(before, edited, opened, {home, work}, berlin);
    ASSERT_TRUE(applied.event) << applied.error.value_or("");
    const Calendar newYork = test::calendarIn("America/New_York");
    EXPECT_EQ(applied.event->title(), std::nullopt);
    EXPECT_EQ(applied.event->location(), "Harbour Road 7");
    EXPECT_EQ(applied.event->structuredLocation(), std::nullopt);
    EXPECT_EQ(applied.event->url(), "https://example.com/booking");
    EXPECT_EQ(applied.event->startDate, at(newYork, 2026, 3, 10, 9));
    EXPECT_EQ(applied.event->endDate, at(newYork, 2026, 3, 10, 9, 45));
    EXPECT_EQ(applied.event->timeZone(), "America/New_York");
    EXPECT_EQ(applied.event->alarms(), edited.alarms);
    EXPECT_EQ(applied.event->calendar(), work);
    EXPECT_EQ(applied.event->eventIdentifier(), "home/a.ics");

    // All-day: from the start of the first day to the start of the day after the last, no zone.
    edited = before;
    edited.allDay = true;
    edited.end = wall(2026, 3, 11);
    applied = EventEdit::apply(before, edited, opened, {home}, berlin);
    ASSERT_TRUE(applied.event);
    EXPECT_TRUE(applied.event->isAllDay());
    EXPECT_EQ(applied.event->timeZone(), std::nullopt);
    EXPECT_EQ(applied.event->startDate, at(berlin, 2026, 3, 10));
    EXPECT_EQ(applied.event->endDate, at(berlin, 2026, 3, 12));

    // What cannot be saved gives a sentence and no event.
    edited = before;
    edited.end = wall(2026, 3, 10, 9);
    applied = EventEdit::apply(before, edited, opened, {home}, berlin);
    EXPECT_FALSE(applied.event);
    EXPECT_EQ(applied.error, EventEdit::kEndsBeforeStart);
    edited = before;
    edited.calendarID = "gone";
    applied = EventEdit::apply(before, edited, opened, {home}, berlin);
    EXPECT_FALSE(applied.event);
    EXPECT_EQ(applied.error, "The calendar chosen for the event no longer exists.");
    applied = EventEdit::apply(before, before, StoreEvent{}, {home}, berlin);
    EXPECT_FALSE(applied.event);
    EXPECT_TRUE(applied.error);
}

} // namespace
} // namespace plannery
