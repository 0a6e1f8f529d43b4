#include "model/EventFetcher.h"
#include "FakeEventStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::FakeEventStore;

Participant me(ParticipantStatus status) {
    Participant participant;
    participant.url = "mailto:me@example.com";
    participant.isCurrentUser = true;
    participant.participantStatus = status;
    return participant;
}

std::vector<std::string> titles(const std::vector<CalEvent>& events) {
    std::vector<std::string> result;
    for (const CalEvent& event : events) {
        result.push_back(event.title);
    }
    return result;
}

std::vector<std::string> titles(const std::vector<const CalEvent*>& events) {
    std::vector<std::string> result;
    for (const CalEvent* event : events) {
        result.push_back(event->title);
    }
    return result;
}

class EventFetcherTest : public ::testing::Test {
  protected:
    const Calendar calendar = test::berlin();
    FakeEventStore store;
    const CalendarHandle work = store.addCalendar({.id = "work", .title = "Work"});
    const CalendarHandle home = store.addCalendar({.id = "home", .title = "Home"});

    Instant at(int month, int day, int hour = 0, int minute = 0) const {
        return test::at(calendar, 2026, month, day, hour, minute);
    }

    void add(const std::string& id, std::optional<std::string> title, const CalendarHandle& owner,
             Instant start, Instant end, bool allDay = false,
             std::vector<Participant> attendees = {}) {
        store.addEvent({.identifier = id,
                        .title = std::move(title),
                        .allDay = allDay,
                        .calendar = owner,
                        .attendees = std::move(attendees)},
                       start, end);
    }

    std::vector<CalEvent> fetch(Instant from, Instant to, const FetchOptions& options = {}) const {
        return EventFetcher::fetch(store, from, to, options, calendar);
    }
};

TEST_F(EventFetcherTest, NothingWithoutAccessOrRange) {
    add("e", "Dentist", work, at(5, 4, 9), at(5, 4, 10));
    EXPECT_EQ(fetch(at(5, 1), at(6, 1)).size(), 1u);

    EXPECT_TRUE(fetch(at(5, 4, 12), at(5, 4, 12)).empty());
    EXPECT_TRUE(fetch(at(6, 1), at(5, 1)).empty());
    EXPECT_TRUE(fetch(at(5, 1), at(6, 1), {.hiddenCalendarIDs = {"work", "home"}}).empty());
    for (auto status : {AuthorizationStatus::notDetermined, AuthorizationStatus::denied,
                        AuthorizationStatus::restricted, AuthorizationStatus::writeOnly}) {
        store.setAuthorizationStatus(status);
        EXPECT_TRUE(fetch(at(5, 1), at(6, 1)).empty());
        const EventDays days =
            EventFetcher::fetchByDay(store, at(5, 1), at(5, 3), FetchOptions{}, calendar);
        EXPECT_EQ(days.size(), 2u);
        EXPECT_TRUE(days.events().empty());
    }
}

TEST_F(EventFetcherTest, RecordsHiddenCalendarsAndOrder) {
    add("a", "   ", work, at(5, 4, 9), at(5, 4, 10));
    add("b", "Lunch", home, at(5, 4, 12), at(5, 4, 13));
    add("c", "Holiday", home, at(5, 4), at(5, 5), true);
    add("d", "Long", work, at(5, 4, 9), at(5, 4, 12));
    add("x", "Next month", work, at(6, 2, 9), at(6, 2, 10));

    EXPECT_EQ(titles(fetch(at(5, 1), at(6, 1))),
              (std::vector<std::string>{"Holiday", "Long", "(No title)", "Lunch"}));
    EXPECT_EQ(titles(fetch(at(5, 1), at(6, 1), {.hiddenCalendarIDs = {"home"}})),
              (std::vector<std::string>{"Long", "(No title)"}));

    // Every occurrence of a repeating event is its own record of one platform event.
    auto weekly =
        FakeEventStore::contentOf({.identifier = "weekly", .title = "1:1", .calendar = work});
    store.addOccurrence(weekly, at(5, 11, 15), at(5, 11, 16));
    store.addOccurrence(weekly, at(5, 18, 15), at(5, 18, 16));
    std::vector<CalEvent> occurrences;
    for (const CalEvent& event : fetch(at(5, 10), at(5, 20))) {
        occurrences.push_back(event);
    }
    ASSERT_EQ(occurrences.size(), 2u);
    EXPECT_EQ(occurrences[0].eventIdentifier, "weekly");
    EXPECT_EQ(occurrences[1].eventIdentifier, "weekly");
    EXPECT_NE(occurrences[0].id, occurrences[1].id);
}

TEST_F(EventFetcherTest, DeclinedEventsAfterMerging) {
    const auto accepted = me(ParticipantStatus::accepted);
    const auto declined = me(ParticipantStatus::declined);
    const auto pending = me(ParticipantStatus::pending);
    add("w", "Offsite", work, at(5, 6, 9), at(5, 6, 17), false, {declined});
    add("h", "Offsite", home, at(5, 6, 9), at(5, 6, 17), false, {accepted});
    add("alone", "Party", home, at(5, 7, 20), at(5, 7, 23), false, {declined});
    add("new", "Invitation", work, at(5, 8, 9), at(5, 8, 10), false, {pending});

    const auto hidden = fetch(at(5, 1), at(6, 1));
    ASSERT_EQ(titles(hidden), (std::vector<std::string>{"Offsite", "Invitation"}));
    EXPECT_FALSE(hidden[0].isDeclined);
    EXPECT_EQ(hidden[0].copies, 2);
    EXPECT_TRUE(hidden[1].isTentative);
    EXPECT_FALSE(hidden[1].isDeclined);

    const auto shown = fetch(at(5, 1), at(6, 1), {.showDeclined = true});
    ASSERT_EQ(titles(shown), (std::vector<std::string>{"Offsite", "Party", "Invitation"}));
    EXPECT_TRUE(shown[1].isDeclined);
}

TEST_F(EventFetcherTest, MirrorsDecideTheCalendarsListed) {
    add("w", "Standup", work, at(5, 6, 9), at(5, 6, 10));
    add("h", "Standup", home, at(5, 6, 9), at(5, 6, 10));
    const auto apart = fetch(at(5, 6), at(5, 7));
    ASSERT_EQ(apart.size(), 1u);
    EXPECT_EQ(apart[0].calendars.size(), 2u);

    FetchOptions mirrored{
        .mirrors = CalendarMirrors(std::vector<std::vector<std::string>>{{"work", "home"}})};
    const auto together = fetch(at(5, 6), at(5, 7), mirrored);
    ASSERT_EQ(together.size(), 1u);
    ASSERT_EQ(together[0].calendars.size(), 1u);
    EXPECT_EQ(together[0].calendars[0].id, "work");
    EXPECT_EQ(together[0].duplicateIDs, (std::vector<std::string>{"h"}));
}

TEST_F(EventFetcherTest, EventsByDay) {
    add("one", "One day", work, at(3, 10), at(3, 11), true);
    add("three", "Three days", home, at(3, 12), at(3, 15), true);
    add("late", "Late", work, at(3, 16, 22), at(3, 17));
    add("night", "Night", work, at(3, 17, 23), at(3, 18, 1));
    add("before", "Started earlier", home, at(2, 27), at(3, 3), true);

    // March has the clock change: every key is still a midnight.
    const auto byDay = EventFetcher::fetchByDay(store, at(3, 1), at(4, 1), {}, calendar);
    ASSERT_EQ(byDay.size(), 31u);
    EXPECT_EQ(byDay.days().front(), at(3, 1));
    EXPECT_EQ(byDay.days().back(), at(3, 31));
    for (const Instant day : byDay.days()) {
        EXPECT_EQ(calendar.components(day).hour, 0);
    }
    // Each event is held once, however many days it covers.
    EXPECT_EQ(byDay.events().size(), 5u);
    EXPECT_EQ(byDay.on(at(3, 12)).at(0), byDay.on(at(3, 14)).at(0));
    auto on = [&](int day) { return titles(byDay.on(at(3, day))); };
    using Titles = std::vector<std::string>;
    EXPECT_EQ(on(1), Titles{"Started earlier"});
    EXPECT_EQ(on(2), Titles{"Started earlier"});
    EXPECT_EQ(on(3), Titles{});
    EXPECT_EQ(on(10), Titles{"One day"});
    EXPECT_EQ(on(11), Titles{});
    EXPECT_EQ(on(12), Titles{"Three days"});
    EXPECT_EQ(on(14), Titles{"Three days"});
    EXPECT_EQ(on(15), Titles{});
    EXPECT_EQ(on(16), Titles{"Late"});
    EXPECT_EQ(on(17), Titles{"Night"});
    EXPECT_EQ(on(18), Titles{"Night"});

    // A month without events still has every day.
    const auto empty = EventFetcher::fetchByDay(store, at(4, 1), at(5, 1), {}, calendar);
    EXPECT_EQ(empty.size(), 30u);
    for (const Instant day : empty.days()) {
        EXPECT_TRUE(empty.on(day).empty());
    }

    // The day holding `from` is a key; a day starting at `to` is not.
    const auto partial = EventFetcher::fetchByDay(store, at(3, 10, 15), at(3, 12), {}, calendar);
    EXPECT_EQ(partial.size(), 2u);
    EXPECT_EQ(titles(partial.on(at(3, 10))), Titles{"One day"});
    EXPECT_EQ(titles(partial.on(at(3, 11))), Titles{});
    EXPECT_EQ(titles(partial.on(at(3, 12))), Titles{});

    // Broken ranges give nothing rather than an endless walk.
    EXPECT_TRUE(EventFetcher::fetchByDay(store, at(3, 1), Instant{INFINITY}, {}, calendar).empty());
    EXPECT_TRUE(EventFetcher::fetchByDay(store, Instant{NAN}, at(3, 1), {}, calendar).empty());
}

} // namespace
} // namespace plannery
