#include "cli/Options.h"

#include <gtest/gtest.h>

namespace plannery::cli {
namespace {

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> words;
    std::size_t begin = 0;
    while (begin < text.size()) {
        auto end = text.find(' ', begin);
        end = end == std::string_view::npos ? text.size() : end;
        if (end > begin) {
            words.emplace_back(text.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    return words;
}

TEST(OptionsTest, AgendaOptionsAreRead) {
    const auto parsed = parseArguments(split(
        "agenda --root /a --root=/b --from 2026-12-01 --to 2026-12-07 --show-declined --hide x "
        "--hide y --mirrors none --tz Asia/Tokyo --json --verbose"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    const auto& agenda = std::get<AgendaOptions>(*parsed.invocation);
    EXPECT_EQ(agenda.roots, (std::vector<std::filesystem::path>{"/a", "/b"}));
    EXPECT_EQ(agenda.from, (Date{2026, 12, 1}));
    EXPECT_EQ(agenda.to, (Date{2026, 12, 7}));
    EXPECT_FALSE(agenda.days);
    EXPECT_TRUE(agenda.showDeclined);
    EXPECT_EQ(agenda.hiddenCalendarIDs, (std::set<std::string>{"x", "y"}));
    EXPECT_EQ(agenda.mirrors, MirrorMode::none);
    EXPECT_EQ(agenda.zone, "Asia/Tokyo");
    EXPECT_EQ(agenda.format, Format::json);
    EXPECT_TRUE(agenda.verbose);

    const auto defaults = parseArguments({"agenda"});
    ASSERT_TRUE(defaults.invocation);
    EXPECT_EQ(std::get<AgendaOptions>(*defaults.invocation), AgendaOptions{});

    const auto days = parseArguments(split("agenda --days 3 --from 2026-03-01"));
    ASSERT_TRUE(days.invocation) << days.error;
    EXPECT_EQ(std::get<AgendaOptions>(*days.invocation).days, 3);
    // The last day may be the first one.
    EXPECT_TRUE(parseArguments(split("agenda --from 2026-03-01 --to 2026-03-01")).invocation);
}

TEST(OptionsTest, OtherCommandsAreRead) {
    const auto mirrors = parseArguments(split("mirrors --now 2026-05-04 --json --tz UTC --root r"));
    ASSERT_TRUE(mirrors.invocation) << mirrors.error;
    EXPECT_EQ(std::get<MirrorsOptions>(*mirrors.invocation),
              (MirrorsOptions{
                  .roots = {"r"}, .now = Date{2026, 5, 4}, .format = Format::json, .zone = "UTC"}));

    const auto calendars = parseArguments(split("calendars --json"));
    ASSERT_TRUE(calendars.invocation);
    EXPECT_EQ(std::get<CalendarsOptions>(*calendars.invocation).format, Format::json);
    // The user's addresses, on every command that reads calendars.
    for (const char* command : {"agenda", "mirrors", "calendars", "watch", "detail x",
                                "export x --out y", "reply x accept",
                                "snapshot --anchor "
                                "2026-01-01 --out p"}) {
        const auto parsed = parseArguments(
            split(std::string(command) + " --email ann@example.org --email=Ann@Work.example"));
        ASSERT_TRUE(parsed.invocation) << command << ": " << parsed.error;
        std::visit(
            [&](const auto& options) {
                if constexpr (requires { options.emails; }) {
                    EXPECT_EQ(options.emails,
                              (std::vector<std::string>{"ann@example.org", "Ann@Work.example"}))
                        << command;
                } else {
                    ADD_FAILURE() << command;
                }
            },
            *parsed.invocation);
    }

    const auto demo =
        parseArguments(split("demo out --events 300 --seed 18446744073709551615 --years 3 "
                             "--from 2025-01-31"));
    ASSERT_TRUE(demo.invocation) << demo.error;
    EXPECT_EQ(std::get<DemoOptions>(*demo.invocation), (DemoOptions{.folder = "out",
                                                                    .events = 300,
                                                                    .seed = 18446744073709551615ULL,
                                                                    .from = Date{2025, 1, 31},
                                                                    .years = 3}));

    EXPECT_TRUE(std::holds_alternative<HelpRequest>(*parseArguments({"--help"}).invocation));
}

// Every kind of bad usage is refused with one sentence that names the problem.
TEST(OptionsTest, BadUsageIsRefusedWithASentence) {
    struct Case {
        const char* arguments;
        const char* mentions;
    };
    const Case cases[] = {
        {"", "No command"},
        {"frobnicate", "Unknown command"},
        {"agenda --colour", "Unknown option --colour"},
        {"agenda --from 2026-02-30", "2026-02-30"},
        {"agenda --to yesterday", "yesterday"},
        {"agenda --from 2026-03-02 --to 2026-03-01", "before"},
        {"agenda --to 2026-03-01 --days 2", "either --to or --days"},
        {"agenda --days 0", "--days"},
        {"agenda --days 100000", "--days"},
        {"agenda --days -3", "--days"},
        {"agenda --days 3x", "--days"},
        {"agenda --tz Mars/Olympus", "Mars/Olympus"},
        {"agenda --mirrors maybe", "--mirrors"},
        {"agenda --from", "needs a value"},
        {"agenda --json=yes", "takes no value"},
        {"agenda stray", "stray"},
        {"mirrors --now 2026-13-01", "2026-13-01"},
        {"mirrors --tz Nowhere", "Nowhere"},
        {"calendars --from 2026-01-01", "Unknown option --from"},
        {"detail x --email ann", "\"ann\" is not an e-mail address"},
        {"agenda --email ann@example", "not an e-mail address"},
        {"remove x --email ann@example.org", "Unknown option --email"},
        {"demo", "folder"},
        {"demo a b", "\"b\""},
        {"demo out --events 5", "--events"},
        {"demo out --years 0", "--years"},
        {"demo out --seed -1", "--seed"},
        {"demo out --seed 99999999999999999999999", "--seed"},
    };
    for (const Case& c : cases) {
        const auto parsed = parseArguments(split(c.arguments));
        EXPECT_FALSE(parsed.invocation) << c.arguments;
        EXPECT_NE(parsed.error.find(c.mentions), std::string::npos)
            << c.arguments << " -> " << parsed.error;
        EXPECT_EQ(parsed.error.back(), '.') << parsed.error;
    }
}

TEST(OptionsTest, WriteCommandsAreRead) {
    auto parsed = parseArguments({"add", "--calendar", "acct/cal", "--title", "Lunch with Ann",
                                  "--start", "2026-03-07T12:00", "--end", "2026-03-07T13:30",
                                  "--location", "Cafe", "--tz", "Europe/Berlin", "--root", "/r"});
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    const auto& add = std::get<AddOptions>(*parsed.invocation);
    EXPECT_EQ(add.calendar, "acct/cal");
    EXPECT_EQ(add.title, "Lunch with Ann");
    EXPECT_EQ(add.start, (DateTime{{2026, 3, 7}, 12 * 60, 0, std::nullopt}));
    EXPECT_EQ(add.end, (DateTime{{2026, 3, 7}, 13 * 60 + 30, 0, std::nullopt}));
    EXPECT_FALSE(add.allDay);
    EXPECT_EQ(add.location, "Cafe");
    EXPECT_EQ(add.zone, "Europe/Berlin");
    EXPECT_TRUE(parseArguments(split("add --calendar c --title T --start 2026-03-07 --all-day"))
                    .invocation);

    parsed = parseArguments(split("remove acct/cal/a.ics --occurrence 2026-03-09T09:00 --future"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    const auto& remove = std::get<RemoveOptions>(*parsed.invocation);
    EXPECT_EQ(remove.eventID, "acct/cal/a.ics");
    EXPECT_EQ(remove.occurrence, (DateTime{{2026, 3, 9}, 9 * 60, 0, std::nullopt}));
    EXPECT_TRUE(remove.future);

    parsed = parseArguments(split("reply acct/cal/a.ics --occurrence 2026-03-09 tentative"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    const auto& reply = std::get<ReplyOptions>(*parsed.invocation);
    EXPECT_EQ(reply.eventID, "acct/cal/a.ics");
    EXPECT_EQ(reply.answer, Answer::tentative);
    EXPECT_EQ(reply.occurrence, (DateTime{{2026, 3, 9}, std::nullopt, 0, std::nullopt}));

    parsed = parseArguments(split("watch --root /r --changes 2"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    EXPECT_EQ(std::get<WatchOptions>(*parsed.invocation).changes, 2);

    for (const char* bad : {
             "add --title T --start 2026-03-07T12:00",
             "add --calendar c --start 2026-03-07T12:00",
             "add --calendar c --title T",
             "add --calendar c --title T --start 2026-03-07",
             "add --calendar c --title T --start 2026-03-07T12:00 --all-day",
             "add --calendar c --title T --start 2026-03-07T12:00 --end 2026-03-08",
             "add --calendar c --title T --start 2026-03-07T25:00",
             "remove",
             "remove a b",
             "remove a --future",
             "reply a",
             "reply a maybe",
             "reply accept",
             "watch --changes 0",
         }) {
        const auto result = parseArguments(split(bad));
        EXPECT_FALSE(result.invocation) << bad;
        EXPECT_FALSE(result.error.empty()) << bad;
    }
}

TEST(OptionsTest, HelpAndVersionAreAnsweredWhateverElseIsGiven) {
    for (const char* line : {"--help", "-h", "help", "agenda --help", "--root /r --help",
                             "--anchor 2026-03-07 -h", "detail --bogus --help"}) {
        const auto parsed = parseArguments(split(line));
        ASSERT_TRUE(parsed.invocation) << line;
        EXPECT_TRUE(std::holds_alternative<HelpRequest>(*parsed.invocation)) << line;
    }
    for (const char* line : {"--version", "--root /r --version", "agenda --version"}) {
        const auto parsed = parseArguments(split(line));
        ASSERT_TRUE(parsed.invocation) << line;
        EXPECT_TRUE(std::holds_alternative<VersionRequest>(*parsed.invocation)) << line;
    }
    // The usage names the window's options beside the commands.
    for (const char* option : {"plannery://", "--anchor", "--showSettings", "--showTitlePopover",
                               "--imageEventsDemo", "--version", "snapshot"}) {
        EXPECT_NE(usage().find(option), std::string::npos) << option;
    }
}

TEST(OptionsTest, SnapshotOptionsAreRead) {
    auto parsed = parseArguments(split(
        "snapshot --mode workweek --anchor 2026-03-07 --now 2026-03-09T10:30 --size 1280x800 "
        "--scale 1.25 --hour-height 60 --fit-hours 7-19 --root /r --tz Europe/Berlin --out a.png"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    const auto& snapshot = std::get<SnapshotOptions>(*parsed.invocation);
    EXPECT_EQ(snapshot.mode, ViewMode::workWeek);
    EXPECT_EQ(snapshot.anchor, (Date{2026, 3, 7}));
    EXPECT_EQ(snapshot.now, (DateTime{{2026, 3, 9}, 10 * 60 + 30, 0, std::nullopt}));
    EXPECT_EQ(snapshot.width, 1280);
    EXPECT_EQ(snapshot.height, 800);
    EXPECT_EQ(snapshot.scale, 1.25);
    EXPECT_EQ(snapshot.hourHeight, 60);
    EXPECT_EQ(snapshot.fitHours, (std::pair{7, 19}));
    EXPECT_EQ(snapshot.out, "a.png");

    parsed = parseArguments(split("snapshot --anchor 2026-03-07 --out b.png"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    EXPECT_EQ(std::get<SnapshotOptions>(*parsed.invocation).mode, ViewMode::week);
    EXPECT_FALSE(std::get<SnapshotOptions>(*parsed.invocation).window);

    parsed =
        parseArguments(split("snapshot --mode fourweeks --window --anchor 2026-03-07 --out c.png"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    EXPECT_EQ(std::get<SnapshotOptions>(*parsed.invocation).mode, ViewMode::fourWeeks);
    EXPECT_TRUE(std::get<SnapshotOptions>(*parsed.invocation).window);
    parsed = parseArguments(split("snapshot --mode agenda --anchor 2026-03-07 --out d.png"));
    ASSERT_TRUE(parsed.invocation) << parsed.error;
    EXPECT_EQ(std::get<SnapshotOptions>(*parsed.invocation).mode, ViewMode::agenda);

    for (const char* bad : {
             "snapshot --out a.png",
             "snapshot --anchor 2026-03-07",
             "snapshot --anchor 2026-02-30 --out a.png",
             "snapshot --anchor 2026-03-07 --out a.png --mode month",
             "snapshot --anchor 2026-03-07 --out a.png --size 0x10",
             "snapshot --anchor 2026-03-07 --out a.png --size 100x",
             "snapshot --anchor 2026-03-07 --out a.png --size 99999x10",
             "snapshot --anchor 2026-03-07 --out a.png --scale 0",
             "snapshot --anchor 2026-03-07 --out a.png --scale nan",
             "snapshot --anchor 2026-03-07 --out a.png --hour-height -3",
             "snapshot --anchor 2026-03-07 --out a.png --fit-hours 20-8",
             "snapshot --anchor 2026-03-07 --out a.png --fit-hours 8",
             "snapshot --anchor 2026-03-07 --out a.png --fit-hours 8-25",
             "snapshot --anchor 2026-03-07 --out a.png extra",
         }) {
        const auto result = parseArguments(split(bad));
        EXPECT_FALSE(result.invocation) << bad;
        EXPECT_FALSE(result.error.empty()) << bad;
    }
}

} // namespace
} // namespace plannery::cli
