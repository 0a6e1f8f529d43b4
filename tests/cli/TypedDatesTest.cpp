#include "cli/TypedDates.h"

#include <gtest/gtest.h>

namespace plannery::cli {
namespace {

TEST(TypedDates, DaysMustExist) {
    EXPECT_EQ(parseDate("2026-12-07"), (Date{2026, 12, 7}));
    EXPECT_EQ(parseDate("2024-02-29"), (Date{2024, 2, 29}));
    for (const char* bad :
         {"2026-02-30", "2025-02-29", "2026-13-01", "2026-00-10", "2026-04-31", "2026-1-07",
          "26-12-07", "2026/12/07", "2026-12-07x", "", "tomorrow", "+026-12-07", "2026-12--7"}) {
        EXPECT_FALSE(parseDate(bad).has_value()) << bad;
    }
    EXPECT_EQ(formatDate(Date{987, 3, 4}), "0987-03-04");
}

TEST(TypedDates, TimesAreWallClockTimesOrInstants) {
    EXPECT_EQ(parseDateTime("2026-03-07T09:30"),
              (DateTime{{2026, 3, 7}, 9 * 60 + 30, 0, std::nullopt}));
    EXPECT_EQ(parseDateTime("2026-03-07 23:59"),
              (DateTime{{2026, 3, 7}, 23 * 60 + 59, 0, std::nullopt}));
    EXPECT_EQ(parseDateTime("2026-03-07"), (DateTime{{2026, 3, 7}, std::nullopt, 0, std::nullopt}));
    // The instants --json prints, and their shorter forms.
    EXPECT_EQ(parseDateTime("2026-03-07T09:30:15+01:00"),
              (DateTime{{2026, 3, 7}, 9 * 60 + 30, 15, 3600}));
    EXPECT_EQ(parseDateTime("2026-03-07T09:30-0430"),
              (DateTime{{2026, 3, 7}, 9 * 60 + 30, 0, -(4 * 3600 + 30 * 60)}));
    EXPECT_EQ(parseDateTime("2026-03-07 09:30:00Z"), (DateTime{{2026, 3, 7}, 9 * 60 + 30, 0, 0}));
    EXPECT_EQ(parseDateTime("2026-03-07T09:30:59"),
              (DateTime{{2026, 3, 7}, 9 * 60 + 30, 59, std::nullopt}));
    for (const char* bad :
         {"2026-03-07T24:00", "2026-03-07T9:30", "2026-02-30T10:00", "2026-03-07T10:60",
          "2026-03-07X10:00", "", "2026-03-07Z", "2026-03-07T10:00:60", "2026-03-07T10:00+19:00",
          "2026-03-07T10:00+01:60", "2026-03-07T10:00+1", "2026-03-07T10:00:0", "2026-03-07T10:00 ",
          "2026-03-07T10:00+01:00:00", "2026-03-07T10:00:00.5+01:00"}) {
        EXPECT_FALSE(parseDateTime(bad)) << bad;
    }

    // Outside the days only instants: the end of 9999-12-31 as --json prints it, later times of
    // the year 10000 (an end, or a start seen from a zone ahead of the event's) and those of the
    // year 0 (a start on the first day seen from a zone behind).
    EXPECT_EQ(parseDateTime("10000-01-01T00:00:00+00:00"), (DateTime{{10000, 1, 1}, 0, 0, 0}));
    EXPECT_EQ(parseDateTime("10000-01-02 13:45-10:00"),
              (DateTime{{10000, 1, 2}, 13 * 60 + 45, 0, -10 * 3600}));
    EXPECT_EQ(parseDateTime("10000-03-01T09:00"),
              (DateTime{{10000, 3, 1}, 9 * 60, 0, std::nullopt}));
    EXPECT_EQ(parseDateTime("0000-12-31T14:30:00-10:00"),
              (DateTime{{0, 12, 31}, 14 * 60 + 30, 0, -10 * 3600}));
    for (const char* bad : {"10000-01-01", "0000-12-31", "10000-02-30T10:00", "09999-12-31T10:00",
                            "10000-1-01T10:00", "10000-01-01T24:00", "1000-01-01T10:00Z0"}) {
        EXPECT_FALSE(parseDateTime(bad)) << bad;
    }
    EXPECT_FALSE(parseDate("10000-01-01"));
    EXPECT_FALSE(parseDate("0000-12-31"));
}

} // namespace
} // namespace plannery::cli
