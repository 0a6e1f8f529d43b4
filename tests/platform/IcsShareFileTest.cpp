#include "platform/IcsShareFile.h"

#include "platform/VdirEventStore.h"

#include "Glossary.h"
#include "TestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <sstream>

namespace plannery {
namespace {

namespace fs = std::filesystem;

const Calendar& berlin() {
    static const Calendar calendar = test::berlin();
    return calendar;
}

Instant local(int year, int month, int day, int hour = 0, int minute = 0) {
    return test::at(berlin(), year, month, day, hour, minute);
}

const Instant kStamp = local(2026, 12, 3, 15, 30);

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// An event to share and what a reader should find in its file.
struct Sample {
    IcsEvent event;
    std::string title;
    Instant start;
    Instant end;
    std::optional<std::string> notes;
};

std::vector<Sample> samples() {
    std::string longNotes;
    for (int i = 0; i < 3000; ++i) {
        longNotes += "Gr\u00fc\u00dfe \u6771\u4eac \U0001F389, ";
    }
    longNotes += "end";
    return {
        {.event = {.uid = "timed-1",
                   .title = "Design review",
                   .start = local(2026, 12, 3, 9, 0),
                   .end = local(2026, 12, 3, 10, 30),
                   .location = "Room 4, second floor",
                   .notes = "Bring the slides",
                   .url = "https://example.com/review?id=7&x=1"},
         .title = "Design review",
         .start = local(2026, 12, 3, 9, 0),
         .end = local(2026, 12, 3, 10, 30),
         .notes = "Bring the slides"},
        {.event = {.uid = "trip",
                   .title = "Trip",
                   .start = local(2026, 12, 5),
                   .end = local(2026, 12, 8),
                   .isAllDay = true},
         .title = "Trip",
         .start = local(2026, 12, 5),
         .end = local(2026, 12, 8),
         .notes = std::nullopt},
        {.event = {.uid = "ABC",
                   .title = "Bin day",
                   .start = local(2026, 12, 10),
                   .end = local(2026, 12, 10),
                   .isAllDay = true,
                   .occurrence = local(2026, 12, 10)},
         .title = "Bin day",
         .start = local(2026, 12, 10),
         .end = local(2026, 12, 11),
         .notes = std::nullopt},
        {.event = {.uid = "standup",
                   .title = "  Lunch, drinks; C:\\temp\r\nnext\a\tline ",
                   .start = local(2026, 12, 14, 12, 0),
                   .end = local(2026, 12, 14, 11, 0),
                   .notes = "one\r\ntwo\rthree\nfour",
                   .occurrence = local(2026, 12, 14, 9, 0)},
         .title = "Lunch, drinks; C:\\temp\nnext\tline",
         .start = local(2026, 12, 14, 12, 0),
         .end = local(2026, 12, 14, 12, 0),
         .notes = "one\ntwo\nthree\nfour"},
        {.event = {.uid = "long",
                   .title = "Lange Notizen \u00fcber \u6771\u4eac",
                   .start = local(2026, 12, 20, 18, 0),
                   .end = local(2026, 12, 20, 19, 0),
                   .notes = longNotes},
         .title = "Lange Notizen \u00fcber \u6771\u4eac",
         .start = local(2026, 12, 20, 18, 0),
         .end = local(2026, 12, 20, 19, 0),
         .notes = longNotes},
    };
}

std::string textOf(icalcomponent* event, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(event, kind);
    if (property == nullptr) {
        return "<absent>";
    }
    // The typed getters give TEXT values unescaped.
    switch (kind) {
    case ICAL_SUMMARY_PROPERTY:
        return icalproperty_get_summary(property);
    case ICAL_DESCRIPTION_PROPERTY:
        return icalproperty_get_description(property);
    case ICAL_LOCATION_PROPERTY:
        return icalproperty_get_location(property);
    case ICAL_UID_PROPERTY:
        return icalproperty_get_uid(property);
    default:
        return icalvalue_as_ical_string(icalproperty_get_value(property));
    }
}

TEST(IcsShareFile, WritesTheOnlyFileOfItsFolder) {
    test::TempDir dir;
    const fs::path share = dir.path() / "cache" / "share";
    IcsEvent event = samples()[0].event;
    event.title = "Team: Q1/Q2  review";

    auto written = Ics::write(event, share, kStamp, berlin());
    ASSERT_TRUE(written.ok()) << *written.error;
    EXPECT_EQ(*written.file, share / "Team Q1 Q2 review.ics");
    EXPECT_EQ(contents(*written.file), Ics::calendar(event, kStamp, berlin()));
    EXPECT_TRUE(contents(*written.file).starts_with("BEGIN:VCALENDAR\r\n")) << "no byte-order mark";

    // The next write replaces everything in the folder, strays included.
    dir.write("cache/share/stray.txt", "x");
    event.title = " ";
    written = Ics::write(event, share, kStamp, berlin());
    ASSERT_TRUE(written.ok()) << *written.error;
    EXPECT_EQ(namesIn(share), std::set<std::string>{"Event.ics"});

    // A title whose sixty characters are too long for a file name still gets a file.
    event.title.clear();
    for (int i = 0; i < 60; ++i) {
        event.title += "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    }
    written = Ics::write(event, share, kStamp, berlin());
    ASSERT_TRUE(written.ok()) << *written.error;
    EXPECT_EQ(written.file->filename(), "Event.ics");
}

TEST(IcsShareFile, FailuresAreSentencesAndRemoveNothingThatIsNotTheirs) {
    test::TempDir dir;
    const IcsEvent event = samples()[0].event;
    const auto blocker = dir.write("file", "keep");
    auto written = Ics::write(event, blocker / "share", kStamp, berlin());
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.file);
    EXPECT_EQ(*written.error, "The calendar file was not written to \u201C" +
                                  (blocker / "share").string() + "\u201D: \u201C" +
                                  blocker.string() + "\u201D is not a folder.");
    EXPECT_EQ(contents(blocker), "keep");

    for (const fs::path& folder :
         {fs::path(), fs::path("/"), fs::path("."), fs::path("a/.."), fs::path("//")}) {
        written = Ics::write(event, folder, kStamp, berlin());
        EXPECT_FALSE(written.ok()) << folder;
        EXPECT_FALSE(written.file) << folder;
    }
    EXPECT_EQ(contents(blocker), "keep");
}

TEST(IcsShareFile, NeverLandsInAFolderAnotherUserControls) {
    test::TempDir dir;
    const IcsEvent event = samples()[0].event;
    // Where the share folder should be, another user laid a link to a folder of the user's.
    const fs::path target = dir.path() / "documents";
    dir.write("documents/Share/keep.txt", "keep");
    fs::permissions(target, fs::perms::owner_all);
    const fs::path planted = dir.path() / "plannery-1000";
    fs::create_directory_symlink(target, planted);
    auto written = Ics::write(event, planted / "Share", kStamp, berlin());
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.file);
    EXPECT_EQ(*written.error, "The calendar file was not written to \u201C" +
                                  (planted / "Share").string() + "\u201D: \u201C" +
                                  planted.string() + "\u201D is a symbolic link.");
    EXPECT_EQ(namesIn(target / "Share"), std::set<std::string>{"keep.txt"});

    // A folder of another user, or one anybody may write to.
    const fs::path theirs = dir.path() / "theirs";
    dir.write("theirs/Share/keep.txt", "keep");
    const PrivateFolder::User user{.uid = ::getuid(),
                                   .ownerOf = [theirs](const fs::path& folder, uid_t owner) {
                                       return folder == theirs ? ::getuid() + 1 : owner;
                                   }};
    written = Ics::write(event, theirs / "Share", kStamp, berlin(), user);
    EXPECT_EQ(*written.error, "The calendar file was not written to \u201C" +
                                  (theirs / "Share").string() + "\u201D: the folder \u201C" +
                                  theirs.string() + "\u201D belongs to another user.");
    fs::permissions(theirs, fs::perms::all);
    written = Ics::write(event, theirs / "Share", kStamp, berlin());
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(namesIn(theirs / "Share"), std::set<std::string>{"keep.txt"});

    // The folder it makes is closed to everyone else.
    written = Ics::write(event, dir.path() / "mine" / "Share", kStamp, berlin());
    ASSERT_TRUE(written.ok()) << *written.error;
    EXPECT_EQ(fs::status(dir.path() / "mine" / "Share").permissions(), fs::perms::owner_all);
}

TEST(IcsShareFile, ReadBackByLibical) {
    test::TempDir dir;
    int index = 0;
    for (const auto& sample : samples()) {
        const auto written =
            Ics::write(sample.event, dir.path() / std::to_string(index++), kStamp, berlin());
        ASSERT_TRUE(written.ok()) << *written.error;
        const std::string text = contents(*written.file);
        icalcomponent* root = icalparser_parse_string(text.c_str());
        ASSERT_NE(root, nullptr) << sample.title;
        EXPECT_EQ(icalcomponent_isa(root), ICAL_VCALENDAR_COMPONENT);
        EXPECT_EQ(icalcomponent_count_errors(root), 0) << sample.title;
        ASSERT_EQ(icalcomponent_count_components(root, ICAL_VEVENT_COMPONENT), 1);
        icalcomponent* event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT);
        EXPECT_EQ(textOf(event, ICAL_UID_PROPERTY), Ics::uid(sample.event, berlin()));
        EXPECT_EQ(textOf(event, ICAL_SUMMARY_PROPERTY), sample.title);
        EXPECT_EQ(textOf(event, ICAL_DESCRIPTION_PROPERTY), sample.notes.value_or("<absent>"));
        EXPECT_EQ(textOf(event, ICAL_LOCATION_PROPERTY),
                  sample.event.location.value_or("<absent>"));
        EXPECT_EQ(textOf(event, ICAL_URL_PROPERTY), sample.event.url.value_or("<absent>"));
        const icaltimetype start = icalcomponent_get_dtstart(event);
        const icaltimetype end = icalcomponent_get_dtend(event);
        EXPECT_EQ(bool(start.is_date), sample.event.isAllDay);
        if (sample.event.isAllDay) {
            const auto first = berlin().components(sample.start);
            const auto after = berlin().components(sample.end);
            EXPECT_EQ((std::array{start.year, start.month, start.day}),
                      (std::array{first.year, first.month, first.day}));
            EXPECT_EQ((std::array{end.year, end.month, end.day}),
                      (std::array{after.year, after.month, after.day}));
        } else {
            EXPECT_TRUE(icaltime_is_utc(start));
            EXPECT_EQ(icaltime_as_timet(start), sample.start.wholeSeconds());
            EXPECT_EQ(icaltime_as_timet(end), sample.end.wholeSeconds());
        }
        icalcomponent_free(root);
    }

    // The golden files of the pure writer's tests are files libical accepts as they are.
    int goldens = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(PLANNERY_TEST_DATA) / "ics-writer")) {
        icalcomponent* root = icalparser_parse_string(contents(entry.path()).c_str());
        ASSERT_NE(root, nullptr) << entry.path();
        EXPECT_EQ(icalcomponent_count_errors(root), 0) << entry.path();
        EXPECT_EQ(icalcomponent_count_components(root, ICAL_VEVENT_COMPONENT), 1) << entry.path();
        icalcomponent_free(root);
        ++goldens;
    }
    EXPECT_GE(goldens, 8);
}

TEST(IcsShareFile, ReadBackByTheVdirStore) {
    test::TempDir dir;
    const auto all = samples();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto written =
            Ics::write(all[i].event, dir.path() / "account" / std::to_string(i), kStamp, berlin());
        ASSERT_TRUE(written.ok()) << *written.error;
    }
    VdirEventStore store(
        VdirOptions{.roots = {dir.path()}, .cacheFile = {}, .calendar = test::berlin()});
    EXPECT_TRUE(store.loadReport().brokenFiles.empty());
    const auto events = store.events(local(2026, 12, 1), local(2027, 1, 1));
    ASSERT_EQ(events.size(), all.size());
    for (const auto& sample : all) {
        const std::string uid = Ics::uid(sample.event, berlin());
        const auto found = std::find_if(events.begin(), events.end(), [&](const StoreEvent& e) {
            return e.calendarItemExternalIdentifier() == uid;
        });
        ASSERT_NE(found, events.end()) << uid;
        EXPECT_EQ(found->title(), sample.title);
        EXPECT_EQ(found->startDate, sample.start) << uid;
        EXPECT_EQ(found->endDate, sample.end) << uid;
        EXPECT_EQ(found->isAllDay(), sample.event.isAllDay) << uid;
        EXPECT_EQ(found->location(), sample.event.location) << uid;
        EXPECT_EQ(found->notes(), sample.notes) << uid;
        EXPECT_EQ(found->url(), sample.event.url) << uid;
        EXPECT_FALSE(found->occurrenceDate) << "shared occurrences stand alone";
    }
}

TEST(IcsShareFile, FailuresAreToldInTheUsersLanguage) {
    test::TempDir dir;
    // The two sentences and the clause a refused folder is told with.
    test::Glossary german(test::Glossary::Entries{
        {"IcsShareFile|The calendar file was not written to \u201C%1\u201D: %2.",
         "Die Kalenderdatei wurde nicht in \u201E%1\u201C geschrieben: %2."},
        {"PrivateFolder|\u201C%1\u201D is not a folder", "\u201E%1\u201C ist kein Ordner"}});
    ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    // Arguments are never read as places: a folder named "%2" stays as it is.
    const auto blocker = dir.write("%2", "keep");
    const auto written = Ics::write(samples()[0].event, blocker / "share", kStamp, berlin());
    QCoreApplication::removeTranslator(&german);
    ASSERT_TRUE(written.error);
    EXPECT_EQ(*written.error, "Die Kalenderdatei wurde nicht in \u201E" +
                                  (blocker / "share").string() + "\u201C geschrieben: \u201E" +
                                  blocker.string() + "\u201C ist kein Ordner.");
}

} // namespace
} // namespace plannery
