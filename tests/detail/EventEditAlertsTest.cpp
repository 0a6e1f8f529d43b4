#include "detail/EventEditAlerts.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace plannery {
namespace {

std::vector<std::string> labels(const std::vector<AlertChoice>& choices) {
    std::vector<std::string> result;
    for (const auto& choice : choices) {
        result.push_back(choice.label);
    }
    return result;
}

Alarm before(double seconds) {
    return Alarm{.absoluteDate = std::nullopt, .relativeOffset = -seconds};
}

// ICU writes a narrow no-break space before AM/PM.
TEST(EventEditAlertsTest, UsualAlertsForTimedAndAllDayEvents) {
    const Calendar berlin = test::berlin();
    const Instant start = test::at(berlin, 2026, 3, 10, 10);

    const auto timed = EventEdit::alertChoices(false, {}, start, berlin);
    EXPECT_EQ(labels(timed),
              (std::vector<std::string>{"At time of event", "5 minutes before", "10 minutes before",
                                        "15 minutes before", "30 minutes before", "1 hour before",
                                        "2 hours before", "1 day before", "2 days before",
                                        "1 week before"}));
    EXPECT_EQ(timed[3].alarm, before(900));

    const auto allDay = EventEdit::alertChoices(true, {}, test::at(berlin, 2026, 3, 10), berlin);
    EXPECT_EQ(labels(allDay), (std::vector<std::string>{"On the day at 9:00\u202FAM",
                                                        "1 day before at 9:00\u202FAM",
                                                        "2 days before at 9:00\u202FAM",
                                                        "7 days before at 9:00\u202FAM"}));
    EXPECT_EQ(allDay[1].alarm, before(15 * 3600));
}

TEST(EventEditAlertsTest, AnEventsOwnAlertsStayOfferedOnceInOrder) {
    const Calendar berlin = test::berlin();
    const Instant start = test::at(berlin, 2026, 3, 10, 10);
    const Alarm fixed{.absoluteDate = test::at(berlin, 2026, 3, 9, 18), .relativeOffset = 0};
    const Alarm earlierFixed{.absoluteDate = test::at(berlin, 2026, 3, 1, 8), .relativeOffset = 0};
    const Alarm after{.absoluteDate = std::nullopt, .relativeOffset = 300};
    const Alarm broken{.absoluteDate = std::nullopt,
                       .relativeOffset = std::numeric_limits<double>::quiet_NaN()};

    const auto choices = EventEdit::alertChoices(
        false, {fixed, before(20 * 60), before(900), after, broken, earlierFixed, before(20 * 60)},
        start, berlin);
    EXPECT_EQ(labels(choices),
              (std::vector<std::string>{
                  "5 minutes after", "At time of event", "5 minutes before", "10 minutes before",
                  "15 minutes before", "20 minutes before", "30 minutes before", "1 hour before",
                  "2 hours before", "1 day before", "2 days before", "1 week before",
                  "Mar 1, 2026, 8:00\u202FAM", "Mar 9, 2026, 6:00\u202FPM"}));
    EXPECT_EQ(choices.back().alarm, fixed);
}

} // namespace
} // namespace plannery
