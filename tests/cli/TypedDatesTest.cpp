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
}

} // namespace
} // namespace plannery::cli
