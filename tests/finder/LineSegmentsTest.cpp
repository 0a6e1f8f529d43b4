#include "finder/LineSegments.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

std::vector<std::string> pieces(const char* text) {
    const Calendar calendar = test::berlin();
    const ReaderDays days(calendar, test::at(calendar, 2026, 3, 2, 9, 0));
    const TextFacts facts = TextFacts::read(text, days);
    std::vector<std::string> out;
    for (const Segment& s : freeSegments(facts.lines[0], facts.facts[0])) {
        out.push_back((s.label ? "label:" : "") + segmentText(facts.lines[0], s));
    }
    return out;
}

using Pieces = std::vector<std::string>;

TEST(LineSegmentsTest, PiecesBetweenDaysTimesAndSeparators) {
    EXPECT_EQ(pieces("Oct 21 – PTA Meeting, 6:30 pm, Library"), (Pieces{"PTA Meeting", "Library"}));
    EXPECT_EQ(pieces("09:45 Opening keynote: Calm software (Mia Lang)"),
              (Pieces{"Opening keynote: Calm software", "Mia Lang"}));
    EXPECT_EQ(pieces("Date: Saturday, July 11, 2026"), Pieces{"label:Date"});
    EXPECT_EQ(pieces("Mission: Impossible | 20:15"), Pieces{"Mission: Impossible"});
    EXPECT_EQ(pieces("St. Mary's Hall. Doors open"), (Pieces{"St. Mary's Hall", "Doors open"}));
    EXPECT_EQ(pieces("Please join us for a Baby Shower"), Pieces{"Baby Shower"});
    EXPECT_EQ(pieces("Einladung zur Jahreshauptversammlung"), Pieces{"Jahreshauptversammlung"});
    EXPECT_EQ(pieces("Subject: Booking confirmed: Vinyasa Flow"),
              (Pieces{"label:Subject", "Vinyasa Flow"}));
    EXPECT_EQ(pieces("Berlin Hbf → München Hbf"), Pieces{"Berlin Hbf → München Hbf"});
    // A clock given again in another zone is read with the one kept.
    EXPECT_EQ(pieces("Webinar 2:00 PM ET / 11:00 AM PT"), Pieces{"Webinar"});
    EXPECT_EQ(pieces("Online-Schulung „Datenschutz“"), Pieces{"Online-Schulung „Datenschutz“"});
}

TEST(LineSegmentsTest, SubstanceAndWords) {
    const auto lines = readLines("from 8pm till late | Friday | Book Club");
    const Segment first{.begin = 0, .end = 4};
    const Segment weekday{.begin = 5, .end = 6};
    const Segment name{.begin = 7, .end = 9};
    EXPECT_FALSE(hasSubstance(lines[0], first, "en_GB"));
    EXPECT_FALSE(hasSubstance(lines[0], weekday, "en_GB"));
    EXPECT_TRUE(hasSubstance(lines[0], name, "en_GB"));
    EXPECT_EQ(wordCount(lines[0], first), 4u);
}

} // namespace
} // namespace plannery::reader
