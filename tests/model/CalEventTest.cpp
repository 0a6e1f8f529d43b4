#include "model/CalEvent.h"
#include "FakeEventStore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace plannery {
namespace {

using test::FakeEventStore;

Participant person(std::string url, bool isMe,
                   ParticipantStatus status = ParticipantStatus::unknown) {
    Participant participant;
    participant.url = std::move(url);
    participant.isCurrentUser = isMe;
    participant.participantStatus = status;
    return participant;
}

const Participant kMe = person("mailto:me@example.com", true);
const Participant kAnn = person("mailto:ann@example.com", false);

Participant meAnswering(ParticipantStatus status) {
    return person("mailto:me@example.com", true, status);
}

StoreEvent occurrence(const FakeEventStore::NewEvent& fields, Instant start,
                      std::optional<Instant> end = std::nullopt) {
    StoreEvent event;
    event.content = FakeEventStore::contentOf(fields);
    event.startDate = start;
    event.endDate = end;
    return event;
}

CalendarHandle storeCalendar(std::string id, std::string title, CalendarType type, bool editable,
                             std::optional<PlatformColor> color = std::nullopt) {
    StoreCalendar calendar;
    calendar.calendarIdentifier = std::move(id);
    calendar.title = std::move(title);
    calendar.type = type;
    calendar.allowsContentModifications = editable;
    calendar.color = std::move(color);
    return std::make_shared<const StoreCalendar>(std::move(calendar));
}

TEST(CalEventTest, ColoursFromThePlatform) {
    EXPECT_EQ(RGB::from(std::nullopt), RGB::fallback());
    EXPECT_EQ(RGB::from(PlatformColor{}), RGB::fallback());
    // A grey (white and alpha) is not a colour the views can tint with.
    EXPECT_EQ(RGB::from(PlatformColor{{0.5, 1.0}}), (RGB{0.3, 0.5, 0.9}));
    EXPECT_EQ(RGB::from(PlatformColor{{0.1, 0.2, 0.3, 0.4}}), (RGB{0.1, 0.2, 0.3}));
}

TEST(CalEventTest, RepliesFromParticipantStatus) {
    const std::pair<ParticipantStatus, Reply> cases[] = {
        {ParticipantStatus::unknown, Reply::pending},
        {ParticipantStatus::pending, Reply::pending},
        {ParticipantStatus::accepted, Reply::accepted},
        {ParticipantStatus::declined, Reply::declined},
        {ParticipantStatus::tentative, Reply::tentative},
        {ParticipantStatus::delegated, Reply::other},
        {ParticipantStatus::completed, Reply::other},
        {ParticipantStatus::inProcess, Reply::other},
        {static_cast<ParticipantStatus>(42), Reply::other},
    };
    for (const auto& [status, reply] : cases) {
        EXPECT_EQ(replyFrom(status), reply) << static_cast<int>(status);
    }
}

TEST(CalEventTest, TitlesAndLocationsAreTrimmed) {
    const struct {
        const char* name;
        std::optional<std::string> title;
        std::string expected;
    } cases[] = {
        {"plain", "Standup", "Standup"},
        {"spaces and line breaks", " \t\n Standup \r\n", "Standup"},
        {"inner spaces kept", "  Team  sync ", "Team  sync"},
        {"no-break and ideographic spaces", "\u00A0\u3000Planung\u2028", "Planung"},
        {"only spaces", "   ", "(No title)"},
        {"only line breaks", "\n\n", "(No title)"},
        {"absent", std::nullopt, "(No title)"},
        {"accented letters untouched", " Café ", "Café"},
    };
    for (const auto& c : cases) {
        const CalEvent event =
            CalEvent::from(occurrence({.identifier = "e", .title = c.title}, Instant{0}));
        EXPECT_EQ(event.title, c.expected) << c.name;
    }

    const CalEvent blankPlace =
        CalEvent::from(occurrence({.identifier = "e", .location = " \n "}, Instant{0}));
    EXPECT_FALSE(blankPlace.location.has_value());
    EXPECT_EQ(blankPlace.richness, 0);
    const CalEvent place =
        CalEvent::from(occurrence({.identifier = "e", .location = " Room 4\n"}, Instant{0}));
    EXPECT_EQ(place.location, "Room 4");
    EXPECT_EQ(place.richness, 1);
}

TEST(CalEventTest, RichnessAddsWhatTheUserCanSeeAndDo) {
    const auto editable = storeCalendar("work", "Work", CalendarType::calDAV, true);
    const auto readOnly = storeCalendar("work", "Work", CalendarType::calDAV, false);
    const auto subscribed = storeCalendar("work", "Work", CalendarType::subscription, false);
    const auto birthdays = storeCalendar("work", "Work", CalendarType::birthday, false);
    const struct {
        const char* name;
        FakeEventStore::NewEvent fields;
        int richness;
    } cases[] = {
        {"bare, no calendar", {.identifier = "e"}, 0},
        {"organised by me", {.identifier = "e", .organizer = kMe}, 8},
        {"organised by someone else", {.identifier = "e", .organizer = kAnn}, 0},
        {"editable calendar", {.identifier = "e", .calendar = editable}, 4},
        {"read-only calendar", {.identifier = "e", .calendar = readOnly}, 0},
        {"attendees", {.identifier = "e", .attendees = {kAnn}}, 2},
        {"notes", {.identifier = "e", .notes = "Bring slides"}, 1},
        {"empty notes", {.identifier = "e", .notes = ""}, 0},
        {"empty link", {.identifier = "e", .url = ""}, 0},
        {"link", {.identifier = "e", .url = "https://example.com"}, 1},
        {"subscribed feed", {.identifier = "e", .calendar = subscribed}, -4},
        {"birthdays", {.identifier = "e", .calendar = birthdays}, -4},
        {"everything",
         {.identifier = "e",
          .location = "Room",
          .notes = "n",
          .url = "u",
          .calendar = editable,
          .organizer = kMe,
          .attendees = {kMe, kAnn}},
         17},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CalEvent::from(occurrence(c.fields, Instant{0})).richness, c.richness) << c.name;
    }
}

TEST(CalEventTest, MyReplyMarksDeclinedOrTentative) {
    const struct {
        const char* name;
        std::vector<Participant> attendees;
        bool declined;
        bool tentative;
    } cases[] = {
        {"not answered yet", {kAnn, meAnswering(ParticipantStatus::pending)}, false, true},
        {"tentative", {meAnswering(ParticipantStatus::tentative)}, false, true},
        {"declined", {meAnswering(ParticipantStatus::declined)}, true, false},
        {"accepted", {meAnswering(ParticipantStatus::accepted)}, false, false},
        {"unknown", {meAnswering(ParticipantStatus::unknown)}, false, false},
        {"not invited", {kAnn}, false, false},
        {"first of two entries for me wins",
         {meAnswering(ParticipantStatus::accepted), meAnswering(ParticipantStatus::declined)},
         false,
         false},
    };
    for (const auto& c : cases) {
        const CalEvent event =
            CalEvent::from(occurrence({.identifier = "e", .attendees = c.attendees}, Instant{0}));
        EXPECT_EQ(event.isDeclined, c.declined) << c.name;
        EXPECT_EQ(event.isTentative, c.tentative) << c.name;
    }
}

TEST(CalEventTest, RecordFieldsFromAnOccurrence) {
    const auto calendar = storeCalendar("cal-1", "Home", CalendarType::local, true,
                                        PlatformColor{{1.0, 0.5, 0.0, 1.0}});
    const CalEvent event = CalEvent::from(occurrence({.identifier = "ev-7",
                                                      .externalID = "ext@example.com",
                                                      .title = "Dentist",
                                                      .status = EventStatus::canceled,
                                                      .calendar = calendar},
                                                     Instant{1'700'000'000.75}));
    EXPECT_EQ(event.id, "ev-7|1700000000");
    EXPECT_EQ(event.eventIdentifier, "ev-7");
    EXPECT_EQ(event.externalID, "ext@example.com");
    EXPECT_EQ(event.end, event.start) << "no end: ends at its start";
    EXPECT_TRUE(event.isCanceled);
    EXPECT_EQ(event.calendars,
              (std::vector<CalendarRef>{{.id = "cal-1", .title = "Home", .rgb = {1.0, 0.5, 0.0}}}));
    EXPECT_EQ(event.copies, 1);
    EXPECT_TRUE(event.duplicateIDs.empty());

    // The record's texts outlive the store's records: a view keeps its month after the store has
    // let go of the files it came from.
    CalEvent kept;
    {
        const auto travel = storeCalendar("cal-travel", "Travel", CalendarType::calDAV, true);
        kept = CalEvent::from(occurrence({.identifier = "ev-8",
                                          .externalID = "flight@example.com",
                                          .title = "Flight to Lisbon",
                                          .location = "Terminal 2",
                                          .calendar = travel},
                                         Instant{0}));
    }
    EXPECT_EQ(kept.eventIdentifier, "ev-8");
    EXPECT_EQ(kept.externalID, "flight@example.com");
    EXPECT_EQ(kept.title, "Flight to Lisbon");
    EXPECT_EQ(kept.location, "Terminal 2");
    EXPECT_EQ(kept.calendars.front().id, "cal-travel");
    EXPECT_EQ(kept.calendars.front().title, "Travel");

    // Before 1970 the seconds are truncated toward zero.
    EXPECT_EQ(CalEvent::from(occurrence({.identifier = "old"}, Instant{-1.5})).id, "old|-1");

    const CalEvent homeless = CalEvent::from(occurrence({.identifier = "x"}, Instant{0}));
    EXPECT_EQ(homeless.calendars,
              (std::vector<CalendarRef>{{.id = "?", .title = "", .rgb = RGB::fallback()}}));

    // Without a platform identifier each record still gets an identity of its own.
    const CalEvent a = CalEvent::from(occurrence({}, Instant{60}));
    const CalEvent b = CalEvent::from(occurrence({}, Instant{60}));
    EXPECT_EQ(a.eventIdentifier, "");
    EXPECT_EQ(a.id.size(), 36u + 3u);
    EXPECT_TRUE(a.id.ends_with("|60"));
    EXPECT_NE(a.id, b.id);
}

TEST(CalEventTest, DaysTouched) {
    const Calendar calendar = test::berlin();
    auto at = [&](int day, int hour) { return test::at(calendar, 2026, 3, day, hour); };
    auto day = [&](int d) { return test::at(calendar, 2026, 3, d); };
    const struct {
        const char* name;
        Instant start;
        Instant end;
        bool allDay;
        std::vector<Instant> days;
    } cases[] = {
        {"all-day, one day", day(10), day(11), true, {day(10)}},
        {"all-day, two days", day(10), day(12), true, {day(10), day(11)}},
        {"23:00 to 01:00", at(10, 23), at(11, 1), false, {day(10), day(11)}},
        {"22:00 to midnight", at(10, 22), day(11), false, {day(10)}},
        {"zero length", at(10, 9), at(10, 9), false, {day(10)}},
        {"end before start", at(10, 9), at(10, 8), false, {day(10)}},
        // The day the clocks go forward has 23 hours; a fixed step would drift off midnight.
        {"across the clock change", day(28), day(31), true, {day(28), day(29), day(30)}},
    };
    for (const auto& c : cases) {
        const CalEvent event{.start = c.start, .end = c.end, .isAllDay = c.allDay};
        EXPECT_EQ(event.days(calendar), c.days) << c.name;
    }
    EXPECT_EQ((CalEvent{.start = at(10, 9), .end = at(10, 10)}).lastInstant(), at(10, 10).plus(-1));
    EXPECT_EQ((CalEvent{.start = at(10, 9), .end = at(10, 9)}).lastInstant(), at(10, 9));
}

TEST(CalEventTest, DisplayOrder) {
    const Calendar calendar = test::berlin();
    const DisplayOrder before(calendar);
    const Instant midnight = test::at(calendar, 2026, 5, 4);
    const Instant nine = test::at(calendar, 2026, 5, 4, 9);
    auto event = [](std::string id, std::string title, Instant start, Instant end,
                    bool allDay = false) {
        return CalEvent{.id = std::move(id),
                        .title = std::move(title),
                        .start = start,
                        .end = end,
                        .isAllDay = allDay};
    };

    const CalEvent holiday = event("h", "Holiday", midnight, midnight.plus(86400), true);
    const CalEvent atMidnight = event("m", "Night shift", midnight, midnight.plus(3600));
    EXPECT_TRUE(before(holiday, atMidnight));
    EXPECT_FALSE(before(atMidnight, holiday));

    const CalEvent longer = event("l", "Workshop", nine, nine.plus(7200));
    const CalEvent shorter = event("s", "Call", nine, nine.plus(1800));
    EXPECT_TRUE(before(longer, shorter));
    EXPECT_TRUE(before(atMidnight, shorter));

    // Digit runs by value, case ignored.
    EXPECT_TRUE(before(event("b", "room 9", nine, nine), event("a", "Room 10", nine, nine)));
    // Identical titles fall back to the id; titles equal only up to case stay unordered.
    EXPECT_TRUE(before(event("a", "Sync", nine, nine), event("b", "Sync", nine, nine)));
    EXPECT_FALSE(before(event("a", "Sync", nine, nine), event("a", "Sync", nine, nine)));
    EXPECT_FALSE(before(event("a", "SYNC", nine, nine), event("b", "sync", nine, nine)));
    EXPECT_FALSE(before(event("b", "sync", nine, nine), event("a", "SYNC", nine, nine)));

    std::vector<CalEvent> list{shorter, atMidnight, longer, holiday};
    std::stable_sort(list.begin(), list.end(), before);
    std::vector<std::string> ids;
    for (const auto& e : list) {
        ids.push_back(e.id);
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"h", "m", "l", "s"}));

    CalEvent merged = longer;
    merged.duplicateIDs = {"other"};
    EXPECT_NE(merged, longer);
}

TEST(CalEventTest, SortByDisplayOrderMatchesAStableSortAndDrops) {
    const Calendar calendar = test::berlin();
    const Instant base = test::at(calendar, 2026, 5, 4);
    // Many ties on times, titles that differ only in case, and repeated titles, so that every
    // rule and the stability of the sort are exercised.
    const char* titles[] = {"Sync", "sync", "Room 10", "Room 9", "Sync", "Ärzte", "arzte"};
    std::mt19937 random(7);
    std::vector<CalEvent> events;
    for (int i = 0; i < 300; ++i) {
        const Instant start = base.plus(900.0 * static_cast<double>(random() % 6));
        events.push_back(CalEvent{.id = "e" + std::to_string(random() % 50),
                                  .title = titles[random() % 7],
                                  .start = start,
                                  .end = start.plus(900.0 * static_cast<double>(random() % 3)),
                                  .isAllDay = random() % 5 == 0,
                                  .copies = i});
    }
    // Each record's position in the input, to compare orders readably.
    auto positions = [](const std::vector<CalEvent>& list) {
        std::vector<int> result;
        for (const CalEvent& event : list) {
            result.push_back(event.copies);
        }
        return result;
    };
    std::vector<CalEvent> expected = events;
    std::stable_sort(expected.begin(), expected.end(), DisplayOrder(calendar));
    std::vector<CalEvent> sorted = events;
    sortByDisplayOrder(sorted, calendar);
    EXPECT_EQ(positions(sorted), positions(expected));
    EXPECT_EQ(sorted, expected);

    // Dropping is the same as sorting what is left.
    auto dropped = [](const CalEvent& e) { return e.copies % 3 == 0; };
    std::vector<CalEvent> left = events;
    std::erase_if(left, dropped);
    std::stable_sort(left.begin(), left.end(), DisplayOrder(calendar));
    std::vector<CalEvent> kept = events;
    sortByDisplayOrder(kept, calendar, [&](std::size_t i) { return dropped(events[i]); });
    EXPECT_EQ(positions(kept), positions(left));

    std::vector<CalEvent> none;
    sortByDisplayOrder(none, calendar);
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace plannery
