#include "finder/BuiltinReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

// Monday, 2 March 2026, 9:00 in London.
const Calendar kLondon = *Calendar::make("Europe/London", "en_GB", Weekday::monday);
const Instant kNow = test::at(kLondon, 2026, 3, 2, 9, 0);

std::vector<EventDraft> read(const std::string& text) {
    return BuiltinReader::read(text, kNow, kLondon);
}

TEST(EventAssemblyTest, ALengthOnALineOfItsOwnEndsTheOneEvent) {
    const auto play = read("THE WINTER'S TALE\n"
                           "Thu 19 March 2026, 7.30pm\n"
                           "Circle, Row C, Seat 14\n"
                           "Running time: about 2 hours 40 minutes with an interval.");
    ASSERT_EQ(play.size(), 1u);
    EXPECT_EQ(play[0].startTime, "19:30");
    EXPECT_EQ(play[0].endTime, "22:10");

    const auto service = read("Ihr Werkstatttermin\n"
                              "Datum: Mittwoch, 11.03.2026\n"
                              "Uhrzeit: 9:15 Uhr\n"
                              "Voraussichtliche Dauer: 3 Stunden");
    ASSERT_EQ(service.size(), 1u);
    EXPECT_EQ(service[0].endTime, "12:15");
    // ... or in brackets where the event's sentence runs on below its line.
    const auto vet = read("Pickles is now booked for Sat 14/03/2026 at 10:40am with Dr Koh - F3\n"
                          "vaccination + health check (20 min appt). Your Thu 12/03\n"
                          "appt has been cancelled.");
    ASSERT_EQ(vet.size(), 1u);
    EXPECT_EQ(vet[0].endTime, "11:00");

    // A length that is not the event's, and a length that several events could share.
    const auto early = read("Swimming gala\nSaturday 14 March, 10am\n"
                            "Please arrive 30 minutes before the start.");
    ASSERT_EQ(early.size(), 1u);
    EXPECT_FALSE(early[0].endTime);
    const auto two = read("Tasting sessions\nFriday 13 March, 6pm\nSaturday 14 March, 3pm\n"
                          "Each tasting lasts around 90 minutes");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_FALSE(two[0].endTime);
}

TEST(EventAssemblyTest, ALabelledLengthEndsEveryEventOfASeries) {
    const auto talks = read("Cycle de conférences\n"
                            "Jeudi 12 mars, 19 h 30 – Les abeilles sauvages\n"
                            "Jeudi 26 mars, 19 h 30 – Les haies champêtres\n"
                            "Salle du Temps libre. Durée : 1 h 15, questions comprises.");
    ASSERT_EQ(talks.size(), 2u);
    EXPECT_EQ(talks[0].endTime, "20:45");
    EXPECT_EQ(talks[1].endTime, "20:45");
    // Hours alone are a length after its label, even a label of several words.
    for (const char* length : {"Durée : 2 h", "Durée du repas : 2 h (table libérée à 13 h 30)"}) {
        const auto meal = read(std::string("sam. 14 mars 2026\nService de 11 h 30\n") + length);
        ASSERT_EQ(meal.size(), 1u) << length;
        EXPECT_EQ(meal[0].endTime, "13:30") << length;
    }
}

TEST(EventAssemblyTest, TheStopsOfALegOnTwoLinesAreItsStartAndEnd) {
    const auto leg = read("Your train ticket\nThursday 12 March 2026\n"
                          "07:05  York – Platform 3\n"
                          "09:02  London King's Cross – Platform 7\n"
                          "Coach C, seat 42");
    ASSERT_EQ(leg.size(), 1u);
    EXPECT_EQ(leg[0].startTime, "07:05");
    EXPECT_EQ(leg[0].endTime, "09:02");
    // A programme's sessions in rooms are sessions of their own.
    const auto sessions = read("Thursday 12 March 2026\n09:00  Registration – Hall A\n"
                               "10:00  Keynote – Room 1");
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_FALSE(sessions[0].endTime);
}

} // namespace
} // namespace plannery
