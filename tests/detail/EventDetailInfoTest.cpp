#include "detail/EventDetailInfo.h"

#include "FakeEventStore.h"
#include "TestSupport.h"
#include "detail/EventDetailCopies.h"
#include "detail/EventDetailText.h"

#include <gtest/gtest.h>

#include <functional>

namespace plannery {
namespace {

using Info = EventDetailInfo;

SourceHandle source(std::string id, SourceType type, std::string title) {
    return std::make_shared<const Source>(
        Source{.sourceIdentifier = std::move(id), .sourceType = type, .title = std::move(title)});
}

CalendarHandle calendar(std::string id, std::string title, SourceHandle owner, bool editable = true,
                        CalendarType type = CalendarType::calDAV) {
    return std::make_shared<const StoreCalendar>(
        StoreCalendar{.calendarIdentifier = std::move(id),
                      .title = std::move(title),
                      .color = PlatformColor{{0.2, 0.4, 0.6, 1}},
                      .type = type,
                      .allowsContentModifications = editable,
                      .source = std::move(owner)});
}

Participant person(std::string url, std::optional<std::string> name,
                   ParticipantStatus status = ParticipantStatus::accepted) {
    return Participant{.url = std::move(url),
                       .name = std::move(name),
                       .isCurrentUser = false,
                       .participantStatus = status,
                       .participantRole = ParticipantRole::required,
                       .participantType = ParticipantType::person};
}

// Calendars that mirror each other, as one group.
CalendarMirrors mirrored(std::vector<std::string> group) {
    return CalendarMirrors(std::vector<std::vector<std::string>>{std::move(group)});
}

RecurrenceRule every(RecurrenceFrequency frequency) {
    RecurrenceRule rule;
    rule.frequency = frequency;
    return rule;
}

Participant me(ParticipantStatus status) {
    Participant p = person("mailto:me@example.com", "Me", status);
    p.isCurrentUser = true;
    return p;
}

class EventDetailInfoTest : public ::testing::Test {
  protected:
    const Calendar berlin = test::berlin();
    const Instant nine = test::at(berlin, 2026, 3, 10, 9);
    const Instant ten = test::at(berlin, 2026, 3, 10, 10);
    const SourceHandle iCloud = source("icloud", SourceType::calDAV, "iCloud");
    const SourceHandle google = source("google", SourceType::calDAV, "ann@gmail.com");
    const SourceHandle local = source("local", SourceType::local, "local");
    const CalendarHandle work = calendar("icloud/work", "Work", iCloud);
    const CalendarHandle gWork = calendar("google/work", "Work", google, false);
    const CalendarHandle home = calendar("icloud/home", "Home", iCloud);

    // One copy: an event on a calendar, changed by `edit` from a plain one-hour meeting.
    StoreEvent copy(const std::string& id, const CalendarHandle& on,
                    const std::function<void(EventContent&)>& edit = {}) const {
        EventContent content;
        content.eventIdentifier = id;
        content.calendarItemExternalIdentifier = "uid-" + id;
        content.title = "Planning";
        content.calendar = on;
        if (edit) {
            edit(content);
        }
        return StoreEvent{.content = std::make_shared<const EventContent>(std::move(content)),
                          .startDate = nine,
                          .endDate = ten,
                          .occurrenceDate = std::nullopt,
                          .isDetached = false};
    }

    Info make(const std::vector<StoreEvent>& copies, const CalendarMirrors& mirrors = {},
              const GoogleCheck& check = {}) const {
        auto info = Info::make(copies, mirrors, berlin, check);
        EXPECT_TRUE(info.has_value());
        return info.value_or(Info{});
    }
};

TEST_F(EventDetailInfoTest, MirroredCalendarsShareOneRowNamingTheOthers) {
    const CalendarMirrors mirrors = mirrored({"icloud/work", "google/work", "icloud/home"});
    // Across accounts the row names the other account; within one, the other calendar's title.
    const Info info =
        make({copy("a", work), copy("b", gWork), copy("c", home), copy("d", home)}, mirrors);
    ASSERT_EQ(info.calendars.size(), 1u);
    const auto& row = info.calendars[0];
    EXPECT_EQ(row.id, "icloud/work");
    EXPECT_EQ(row.title, "Work");
    EXPECT_EQ(row.account, "iCloud");
    EXPECT_EQ(row.alsoVia, (std::vector<std::string>{"ann@gmail.com", "\u201CHome\u201D"}));
    EXPECT_TRUE(row.allowsEdits);
    EXPECT_EQ(row.copy, 0);
    EXPECT_EQ(info.colors(), (std::vector<RGB>{RGB{0.2, 0.4, 0.6}}));
    EXPECT_EQ(EventDetailText::alsoVia(row), "Also via ann@gmail.com, \u201CHome\u201D");

    // Unmirrored, every calendar is a row of its own; a copy without a calendar is none.
    const Info apart = make({copy("a", work), copy("b", gWork), copy("c", nullptr)});
    ASSERT_EQ(apart.calendars.size(), 2u);
    EXPECT_EQ(apart.calendars[1].id, "google/work");
    EXPECT_FALSE(apart.calendars[1].allowsEdits);
    EXPECT_EQ(apart.editableCopies, (std::vector<int>{0}));
}

TEST_F(EventDetailInfoTest, TheRowEditsTheFirstEditableCopyOfItsGroup) {
    const CalendarHandle readOnly = calendar("google/team", "Team", google, false);
    const CalendarHandle writable = calendar("icloud/team", "Team", iCloud, true);
    const CalendarMirrors mirrors = mirrored({"google/team", "icloud/team"});
    const Info info = make({copy("a", readOnly), copy("b", writable)}, mirrors);
    ASSERT_EQ(info.calendars.size(), 1u);
    EXPECT_EQ(info.calendars[0].id, "google/team");
    EXPECT_TRUE(info.calendars[0].allowsEdits);
    EXPECT_EQ(info.calendars[0].copy, 1);
    EXPECT_EQ(info.editableCopies, (std::vector<int>{1}));

    // Account names of the kinds of calendars.
    EXPECT_EQ(accountName(*calendar("s", "Holidays", iCloud, false, CalendarType::subscription)),
              "Subscribed");
    EXPECT_EQ(accountName(*calendar("b", "Birthdays", iCloud, false, CalendarType::birthday)),
              "Contacts");
    EXPECT_EQ(accountName(*calendar("l", "Calendar", local)), "On This Computer");
    EXPECT_EQ(accountName(*calendar("n", "Loose", nullptr)), "");
}

TEST_F(EventDetailInfoTest, PeopleAreNamedSortedAndListedOnce) {
    Participant room = person("mailto:room-4@example.com", "Room 4");
    room.participantType = ParticipantType::room;
    Participant optional = person("mailto:opt@example.com", "Opt", ParticipantStatus::tentative);
    optional.participantRole = ParticipantRole::optional;
    const auto meeting = copy("a", work, [&](EventContent& c) {
        c.organizer = person("mailto:Boss@Example.com", "  The Boss ");
        c.attendees = {
            person("mailto:x@example.com", "Declines", ParticipantStatus::declined),
            person("mailto:boss@example.COM", "Boss again"), // the organiser once more
            room,
            person("mailto:nameless%2Bone@example.com", std::nullopt, ParticipantStatus::pending),
            person("urn:uuid:1234", "  "), // neither name nor address
            person("mailto:same@example.com", "same@example.com"),
            optional,
            me(ParticipantStatus::pending),
        };
    });
    const Info info = make({copy("b", home), meeting});

    ASSERT_TRUE(info.organizer);
    EXPECT_EQ(info.organizer->name, "The Boss");
    EXPECT_EQ(info.organizer->email, "Boss@Example.com");
    EXPECT_EQ(info.organizer->reply, Reply::accepted);
    EXPECT_EQ(info.organizer->id, "mailto:Boss@Example.comThe Boss");

    std::vector<std::string> names;
    for (const auto& p : info.attendees) {
        names.push_back(p.name);
    }
    // The user first, people before rooms, then accepted, maybe, awaiting, declined.
    EXPECT_EQ(names, (std::vector<std::string>{"Me", "Unknown", "same@example.com", "Opt",
                                               "nameless+one@example.com", "Declines", "Room 4"}));
    const auto& nameless = info.attendees[4];
    EXPECT_EQ(nameless.email, "nameless+one@example.com");
    EXPECT_EQ(nameless.id, "mailto:nameless%2Bone@example.com");
    EXPECT_EQ(info.attendees[1].id, "urn:uuid:1234");
    EXPECT_FALSE(info.attendees[1].email);
    EXPECT_FALSE(info.attendees[2].email) << "an address that is the name is said once";
    EXPECT_TRUE(info.attendees[0].isMe);
    EXPECT_TRUE(info.attendees[3].isOptional);
    EXPECT_TRUE(info.attendees[6].isRoom);

    // The texts of the rows and the header: rooms are no invitees.
    using namespace EventDetailText;
    EXPECT_EQ(personName(info.attendees[0]), "Me (you)");
    EXPECT_EQ(personDetail(info.attendees[3], std::nullopt),
              "Maybe \u00B7 optional \u00B7 opt@example.com");
    EXPECT_EQ(personDetail(info.attendees[6], std::nullopt), "Room \u00B7 room-4@example.com");
    EXPECT_EQ(personDetail(*info.organizer, "Organizer"), "Organizer \u00B7 Boss@Example.com");
    EXPECT_EQ(peopleHeader(info.attendees),
              (PeopleHeader{.invitees = "6 invitees",
                            .replies = " \u00B7 2 yes, 1 maybe, 1 no, 2 awaiting"}));
    EXPECT_EQ(peopleHeader({info.attendees[6]}), (PeopleHeader{.invitees = "Organizer"}));
    EXPECT_EQ(peopleHeader({info.attendees[1]}).invitees, "1 invitee");
}

TEST_F(EventDetailInfoTest, ThePeopleComeFromTheCopyThatKnowsMost) {
    const auto few = copy(
        "a", work, [](EventContent& c) { c.attendees = {person("mailto:a@example.com", "A")}; });
    const auto many = copy("b", home, [](EventContent& c) {
        c.attendees = {person("mailto:a@example.com", "A"), person("mailto:b@example.com", "B")};
    });
    const auto organised = copy("c", gWork, [](EventContent& c) {
        c.organizer = person("mailto:o@example.com", "O");
        c.attendees = {person("mailto:c@example.com", "C"), person("mailto:d@example.com", "D")};
    });
    const Info info = make({few, many, organised});
    ASSERT_EQ(info.attendees.size(), 2u);
    EXPECT_EQ(info.attendees[1].name, "B") << "ties go to the earlier copy";
    ASSERT_TRUE(info.organizer) << "taken from the first copy that has one";
    EXPECT_EQ(info.organizer->name, "O");
    EXPECT_TRUE(make({copy("a", work)}).attendees.empty());
    EXPECT_FALSE(make({copy("a", work)}).organizer);
}

TEST_F(EventDetailInfoTest, InvitationsOncePerCalendarGroup) {
    const CalendarMirrors mirrors = mirrored({"icloud/work", "google/work"});
    const auto invited = [&](const std::string& id, const CalendarHandle& on, ParticipantStatus s) {
        return copy(id, on, [&](EventContent& c) {
            c.organizer = person("mailto:boss@example.com", "Boss");
            c.attendees = {me(s)};
        });
    };
    const auto organisedByMe = copy("d", home, [](EventContent& c) {
        c.organizer = me(ParticipantStatus::accepted);
        c.attendees = {me(ParticipantStatus::accepted)};
    });
    const Info info = make({invited("a", work, ParticipantStatus::accepted),
                            invited("b", gWork, ParticipantStatus::declined), organisedByMe,
                            invited("c", nullptr, ParticipantStatus::declined),
                            invited("e", nullptr, ParticipantStatus::tentative)},
                           mirrors);
    ASSERT_EQ(info.invitations.size(), 3u);
    EXPECT_EQ(info.invitations[0],
              (Info::Invitation{.copy = 0, .calendar = "Work", .reply = Reply::accepted}));
    EXPECT_EQ(info.invitations[1],
              (Info::Invitation{.copy = 3, .calendar = "", .reply = Reply::declined}));
    EXPECT_EQ(info.invitations[2].copy, 4) << "copies without a calendar are told apart";

    // Calendar rows show their own reply only when the replies differ.
    const Info same = make({invited("a", work, ParticipantStatus::accepted),
                            invited("b", home, ParticipantStatus::accepted)});
    EXPECT_FALSE(EventDetailText::calendarReply(same, same.calendars[1]));
    const Info differ = make({invited("a", work, ParticipantStatus::accepted),
                              invited("b", home, ParticipantStatus::declined)});
    EXPECT_EQ(EventDetailText::calendarReply(differ, differ.calendars[0]), Reply::accepted);
    EXPECT_EQ(EventDetailText::calendarReply(differ, differ.calendars[1]), Reply::declined);
}

TEST_F(EventDetailInfoTest, TextsComeFromTheFirstCopyThatHasThem) {
    const auto bare = copy("a", work, [](EventContent& c) {
        c.title = " \t\n ";
        c.location = "   ";
        c.notes = " \n ";
        c.url = "";
        c.alarms = {Alarm{.absoluteDate = std::nullopt, .relativeOffset = -300}};
    });
    const auto rich = copy("b", home, [](EventContent& c) {
        c.title = "Other title";
        c.location = "  Caf\u00E9 & Bar #2, Berlin ";
        c.structuredLocation = StructuredLocation{.title = "Cafe", .geoLocation = std::nullopt};
        c.notes = "Bring <b>slides</b><br>and coffee";
        c.url = "https://example.com/agenda";
        c.status = EventStatus::canceled;
        c.alarms = {Alarm{.absoluteDate = std::nullopt, .relativeOffset = -300},
                    Alarm{.absoluteDate = std::nullopt, .relativeOffset = -3600}};
    });
    const auto located = copy("c", gWork, [](EventContent& c) {
        c.structuredLocation =
            StructuredLocation{.title = "", .geoLocation = GeoLocation{52.52, 13.405}};
    });
    const Info info = make({bare, rich, located});
    EXPECT_EQ(info.title, "(No title)");
    EXPECT_EQ(info.share.title, "");
    EXPECT_FALSE(info.isCanceled) << "the primary's status counts";
    EXPECT_EQ(info.location, "Caf\u00E9 & Bar #2, Berlin");
    EXPECT_FALSE(info.locationIsLink);
    EXPECT_EQ(info.locationURL,
              "https://maps.google.com/?q=Caf%C3%A9%20%26%20Bar%20%232%2C%20Berlin"
              "&ll=52.52,13.405");
    EXPECT_EQ(info.notes, "Bring slides\nand coffee");
    EXPECT_EQ(info.url, "https://example.com/agenda");
    EXPECT_EQ(info.alerts, (std::vector<std::string>{"5 minutes before", "1 hour before"}));
    EXPECT_EQ(info.share.location, info.location);
    EXPECT_EQ(info.share.notes, info.notes);
    EXPECT_EQ(info.share.url, info.url);

    const Info online = make({copy("a", work, [](EventContent& c) {
        c.location = "Zoom: https://zoom.example.com/j/123 (code 9)";
    })});
    EXPECT_TRUE(online.locationIsLink);
    EXPECT_EQ(online.locationURL, "https://zoom.example.com/j/123");
    EXPECT_EQ(mapsURL("Hall", std::nullopt), "https://maps.google.com/?q=Hall");

    const Info none = make({copy("a", work)});
    EXPECT_FALSE(none.location);
    EXPECT_FALSE(none.locationURL);
    EXPECT_FALSE(none.notes);
    EXPECT_TRUE(none.alerts.empty());
    EXPECT_FALSE(Info::make({}, {}, berlin, {}));
}

TEST_F(EventDetailInfoTest, TimesRepeatsAndZones) {
    const auto weekly = copy("a", work, [](EventContent& c) {
        c.timeZone = "America/New_York";
        c.recurrenceRules = {every(RecurrenceFrequency::weekly)};
    });
    const auto berlinCopy = copy("b", home, [](EventContent& c) { c.timeZone = "Europe/Berlin"; });
    const Info info = make({weekly});
    EXPECT_EQ(info.dateLine, "Tuesday, Mar 10, 2026");
    EXPECT_EQ(info.timeLine, "9:00\u2009\u2013\u200910:00\u202FAM");
    EXPECT_EQ(info.recurrence, "Every week");
    EXPECT_EQ(info.timeZoneNote, "4:00\u2009\u2013\u20095:00\u202FAM Eastern Time");
    EXPECT_FALSE(make({weekly, berlinCopy}).timeZoneNote)
        << "a copy in the user's own offset makes the note pointless";

    StoreEvent allDay = copy("c", work, [](EventContent& c) {
        c.isAllDay = true;
        c.timeZone = "America/New_York";
        c.alarms = {Alarm{.absoluteDate = std::nullopt, .relativeOffset = -15 * 3600}};
    });
    allDay.startDate = test::at(berlin, 2026, 3, 10);
    allDay.endDate = test::at(berlin, 2026, 3, 11);
    const Info day = make({allDay});
    EXPECT_EQ(day.timeLine, "All day");
    EXPECT_FALSE(day.timeZoneNote);
    ASSERT_EQ(day.alerts.size(), 1u);
    EXPECT_TRUE(day.alerts[0].starts_with("1 day before at ")) << day.alerts[0];
    EXPECT_TRUE(day.share.isAllDay);
}

TEST_F(EventDetailInfoTest, TheShareRecord) {
    StoreEvent occurrence = copy("a", work, [](EventContent& c) {
        c.title = "  Standup ";
        c.recurrenceRules = {every(RecurrenceFrequency::daily)};
    });
    occurrence.occurrenceDate = test::at(berlin, 2026, 3, 10, 8);
    const Info info = make({occurrence});
    EXPECT_EQ(info.share, (IcsEvent{.uid = "uid-a",
                                    .title = "Standup",
                                    .start = nine,
                                    .end = ten,
                                    .isAllDay = false,
                                    .location = std::nullopt,
                                    .notes = std::nullopt,
                                    .url = std::nullopt,
                                    .occurrence = test::at(berlin, 2026, 3, 10, 8)}));

    // Without an external identifier the event identifier serves; an end before the start is
    // the start; a single event has no occurrence.
    StoreEvent single =
        copy("cal/b.ics", work, [](EventContent& c) { c.calendarItemExternalIdentifier = ""; });
    single.endDate = test::at(berlin, 2026, 3, 10, 8);
    const Info plain = make({single});
    EXPECT_EQ(plain.share.uid, "cal/b.ics");
    EXPECT_EQ(plain.share.end, nine);
    EXPECT_FALSE(plain.share.occurrence);

    // Nothing to name it by: a fresh identifier each time.
    const StoreEvent unsaved =
        copy("", work, [](EventContent& c) { c.calendarItemExternalIdentifier.reset(); });
    const std::string uid = make({unsaved}).share.uid;
    EXPECT_EQ(uid.size(), 36u);
    EXPECT_NE(uid, make({unsaved}).share.uid);
}

TEST_F(EventDetailInfoTest, GoogleCopiesAreRecognised) {
    const auto byIdentifier = copy(
        "a", work, [](EventContent& c) { c.calendarItemExternalIdentifier = "abc123@GOOGLE.com"; });
    EXPECT_TRUE(make({copy("b", home), byIdentifier}).onGoogle);

    const SourceHandle plain = source("dav", SourceType::calDAV, "dav.example.com");
    const CalendarHandle sniffed = calendar("dav/cal", "Calendar", plain);
    int asked = 0;
    const GoogleCheck yes = [&](const Source& s) {
        ++asked;
        return s.sourceIdentifier == "dav";
    };
    EXPECT_TRUE(make({copy("a", sniffed)}, {}, yes).onGoogle);
    EXPECT_FALSE(make({copy("a", sniffed)}, {}, {}).onGoogle);
    EXPECT_FALSE(make({copy("a", work)}, {}, [](const Source&) { return false; }).onGoogle);
    const CalendarHandle feed =
        calendar("dav/feed", "Holidays", plain, false, CalendarType::subscription);
    asked = 0;
    EXPECT_FALSE(make({copy("a", feed)}, {}, yes).onGoogle) << "a subscription is no account";
    EXPECT_EQ(asked, 0);
}

TEST_F(EventDetailInfoTest, CopiesStayTogetherOnlyWhileTheyAreOneEvent) {
    const auto a = copy("a", work);
    const auto b = copy("b", home);
    const auto moved = copy("c", gWork, [](EventContent& c) { c.title = "Something else"; });
    const auto ids = [](const std::vector<StoreEvent>& copies) {
        std::vector<std::string> out;
        for (const auto& c : copies) {
            out.push_back(c.eventIdentifier());
        }
        return out;
    };
    using Ids = std::vector<std::string>;
    EXPECT_EQ(ids(EventDetailCopies::regrouped({a, moved, b}, "b", berlin)), (Ids{"a", "b"}));
    EXPECT_EQ(ids(EventDetailCopies::regrouped({a, moved, b}, "c", berlin)), (Ids{"c"}));
    EXPECT_EQ(ids(EventDetailCopies::regrouped({a, moved, b}, "gone", berlin)), (Ids{"a", "b"}));
    EXPECT_EQ(ids(EventDetailCopies::regrouped({moved}, "a", berlin)), (Ids{"c"}));
    EXPECT_TRUE(EventDetailCopies::regrouped({}, "a", berlin).empty());
}

TEST_F(EventDetailInfoTest, TheOccurrenceOfACopyIsReadAgain) {
    test::FakeEventStore store;
    const auto content = test::FakeEventStore::contentOf({.identifier = "s", .title = "Series"});
    store.addOccurrence(content, test::at(berlin, 2026, 3, 9, 9), test::at(berlin, 2026, 3, 9, 10));
    const StoreEvent today = store.addOccurrence(content, nine, ten);
    store.addOccurrence(content, test::at(berlin, 2026, 3, 11, 9),
                        test::at(berlin, 2026, 3, 11, 10));
    const auto found = EventDetailCopies::occurrenceLike(store, today);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->startDate, nine);

    // Moved a little: the occurrence around it still is the one.
    StoreEvent stale = today;
    stale.startDate = nine.plus(0.5);
    ASSERT_TRUE(EventDetailCopies::occurrenceLike(store, stale));
    EXPECT_EQ(EventDetailCopies::occurrenceLike(store, stale)->startDate, nine);

    StoreEvent gone = today;
    gone.content = test::FakeEventStore::contentOf({.identifier = "x"});
    EXPECT_FALSE(EventDetailCopies::occurrenceLike(store, gone));
}

} // namespace
} // namespace plannery
