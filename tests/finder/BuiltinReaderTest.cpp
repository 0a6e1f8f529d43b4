#include "finder/BuiltinReader.h"

#include "TestSupport.h"
#include "finder/EventSuggestion.h"

#include <gtest/gtest.h>

#include <thread>

namespace plannery {
namespace {

// Monday, 2 March 2026, 9:00 in Berlin.
const Calendar kBerlin = *Calendar::make("Europe/Berlin", "en_GB", Weekday::monday);
const Instant kNow = test::at(kBerlin, 2026, 3, 2, 9, 0);

std::vector<EventDraft> read(const std::string& text, const Calendar& calendar = kBerlin) {
    return BuiltinReader::read(text, kNow, calendar);
}

// Each draft's day, start and end ("2026-03-05 16:10-16:40"; "-" where it has none).
std::vector<std::string> whens(const std::vector<EventDraft>& drafts) {
    std::vector<std::string> out;
    for (const EventDraft& d : drafts) {
        out.push_back(d.startDate + " " + d.startTime.value_or("-") + "-" +
                      d.endTime.value_or("-"));
    }
    return out;
}

TEST(BuiltinReaderTest, AFlyerGivesOneEventWithItsHeadingAndPlace) {
    const auto drafts = read("HARVEST SUPPER\n"
                             "Friday 20 March, 6.30pm – 9pm\n"
                             "Village Hall, 3 Mill Lane, Ashby\n"
                             "Tickets £8 from the shop");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Harvest Supper");
    EXPECT_EQ(drafts[0].startDate, "2026-03-20");
    EXPECT_EQ(drafts[0].startTime, "18:30");
    EXPECT_EQ(drafts[0].endTime, "21:00");
    EXPECT_FALSE(drafts[0].endDate);
    EXPECT_FALSE(drafts[0].timeZone);
    EXPECT_EQ(drafts[0].location, "Village Hall, 3 Mill Lane, Ashby");
}

TEST(BuiltinReaderTest, ThePlaceANameEndsWithIsTheEventsPlaceAndNoPartOfItsName) {
    const auto drafts = read("Dates for your diary\n• Tuesday 10 March – Year 3 trip to the Roman "
                             "Baths\n• Wednesday 25 March, 2pm – Easter bonnet parade in the hall");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Year 3 trip to the Roman Baths");
    EXPECT_EQ(drafts[1].title, "Easter bonnet parade");
    EXPECT_EQ(drafts[1].location, "hall");
}

TEST(BuiltinReaderTest, ASchedulesSessionsAreEventsOfTheirOwn) {
    // The span of the school, whose days are told one by one, is no event beside them, nor is a
    // pause between sessions.
    const auto drafts = read("Spring School – Programme\n14–15 April 2026\n\n"
                             "Tuesday, 14 April\n"
                             "10:00 Welcome\n"
                             "10:15–10:30 Coffee break\n"
                             "10:30–12:00 Seminar: Soil and water – Room 4\n"
                             "Wednesday, 15 April\n"
                             "09:00 Field trip\n"
                             "Venue: Agricultural College, Station Road 5, 12345 Felden");
    ASSERT_EQ(drafts.size(), 3u);
    EXPECT_EQ(drafts[0].title, "Welcome");
    EXPECT_EQ(drafts[0].startDate, "2026-04-14");
    EXPECT_EQ(drafts[0].location, "Agricultural College, Station Road 5, 12345 Felden");
    EXPECT_EQ(drafts[1].title, "Seminar: Soil and water");
    EXPECT_EQ(drafts[1].endTime, "12:00");
    EXPECT_EQ(drafts[1].location, "Room 4");
    EXPECT_EQ(drafts[2].startDate, "2026-04-15");
    EXPECT_EQ(drafts[2].startTime, "09:00");
    // A calendar's day list marks a called-off meeting in its name.
    const auto day = read("Tuesday, 17 March\n8:30 am   Ops stand-up\n"
                          "12:30 pm  Canceled: Lunch & learn\n2:00 pm   Dental check-up");
    ASSERT_EQ(day.size(), 2u);
    EXPECT_EQ(day[1].startTime, "14:00");
    // A row of the whole day is an event of the day beside its timed ones.
    const auto allDay = read("Tuesday, 17 March\nALL DAY   Mila – swimming carnival (togs, towel)\n"
                             "8:30 am   Ops stand-up");
    ASSERT_EQ(allDay.size(), 2u);
    EXPECT_EQ(allDay[0].title, "Mila – swimming carnival");
    EXPECT_EQ(allDay[0].startDate, "2026-03-17");
    EXPECT_FALSE(allDay[0].startTime);
    EXPECT_EQ(allDay[1].startTime, "08:30");
    // Whose it is before a dash and what it is in lower case after it name it together.
    const auto whose =
        read("Tuesday, 17 March\n8:30 am   Ops stand-up\n4:15 pm   Mila – school swimming sports");
    ASSERT_EQ(whose.size(), 2u);
    EXPECT_EQ(whose[1].title, "Mila – school swimming sports");
    EXPECT_FALSE(whose[1].location);
}

TEST(BuiltinReaderTest, AnAgendaInsideAnEventIsNotSplit) {
    const auto drafts = read("Board meeting\n"
                             "Thursday 9 April, 14:00–16:00\n"
                             "Agenda\n"
                             "14:00 Minutes\n"
                             "14:30 Budget");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "14:00");
    EXPECT_EQ(drafts[0].endTime, "16:00");
    // Nor is a day's order of events that starts when the day's own event does.
    const auto wedding = read("at the marriage of their daughter\nat Kippen Parish Church\n"
                              "on Saturday the fourteenth of March\nat two o'clock\n\n"
                              "THE DAY ITSELF\n\n1.30pm    Please be seated\n2.00pm    Ceremony\n"
                              "5.00pm    Wedding breakfast\n7.30pm    Ceilidh");
    ASSERT_EQ(wedding.size(), 1u);
    EXPECT_EQ(wedding[0].startTime, "14:00");
    // ... also when the programme is told under a day of its own.
    const auto trauung =
        read("Die kirchliche Trauung findet am\nSamstag, den 14. März 2026, um 14 Uhr\nin der "
             "Kirche statt.\n\nProgramm Sa., 14.3.2026\n14.00 Uhr   Trauung\n"
             "17.45 Uhr   Shuttlebus zum Landgasthof\n18.30 Uhr   Abendessen\n\n"
             "Am Sonntag, 15. März, gibt es ab 11 Uhr einen Brunch.",
             *Calendar::make("Europe/Zurich", "de_CH", Weekday::monday));
    ASSERT_EQ(trauung.size(), 2u);
    EXPECT_EQ(trauung[0].startTime, "14:00");
    EXPECT_EQ(trauung[1].startDate, "2026-03-15");
    // The line that closes such a programme can say when the event ends.
    const auto ball = read("GRAND BAL\n\nLUNDI 13 JUILLET 2026\nÀ PARTIR DE 19 H\n\n"
                           "19 H ........ OUVERTURE – BUVETTE\n23 H ........ FEU D'ARTIFICE\n"
                           "ENSUITE ..... BAL AVEC DJ JUSQU'À 2 H",
                           *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(ball.size(), 1u);
    EXPECT_EQ(ball[0].startTime, "19:00");
    EXPECT_EQ(ball[0].endTime, "02:00");
    // One row during the day's hours is what happens at its event ...
    const auto evening = read("STARGAZING EVENING\n\nFriday 13 March 2026\n7.00pm – 10.00pm\n\n"
                              "Look through our telescopes at the Moon.\n\n"
                              "7.30pm in the Pavilion: short talk\n\nHarpers Field Pavilion");
    ASSERT_EQ(evening.size(), 1u);
    EXPECT_EQ(evening[0].title, "Stargazing Evening");
    EXPECT_EQ(evening[0].startTime, "19:00");
    EXPECT_EQ(evening[0].endTime, "22:00");
    // ... while several are each an appointment of that evening.
    EXPECT_EQ(read("Parents' Evening\nThursday 12 March 2026, 4pm – 7pm\nYour appointments:\n"
                   "16:20  Mr Evans (Maths)\n16:30  Ms Kaur (English)")
                  .size(),
              2u);
}

TEST(BuiltinReaderTest, ADaysProgrammeThatEndsWithItsCloseIsOneEvent) {
    const auto drafts = read("Regional Archives Forum\n"
                             "Monday 13 April\n"
                             "09:00  Registration\n"
                             "10:00  Talks\n"
                             "12:30  Lunch\n"
                             "16:00  Close\n"
                             "\n"
                             "Tuesday 14 April\n"
                             "09:30  Tours\n"
                             "13:00  End of day");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startDate, "2026-04-13");
    EXPECT_EQ(drafts[0].startTime, "09:00");
    EXPECT_EQ(drafts[0].endTime, "16:00");
    EXPECT_EQ(drafts[1].startDate, "2026-04-14");
    EXPECT_EQ(drafts[1].startTime, "09:30");
    EXPECT_EQ(drafts[1].endTime, "13:00");
    // A closing talk is a session of its own, and so are the ones before it.
    EXPECT_EQ(read("Tuesday, 14 April\n10:00 Welcome\n15:00 Closing remarks").size(), 2u);
}

TEST(BuiltinReaderTest, ADinnerMovesBareHoursToTheEveningOnlyInTwelveHourTexts) {
    // A programme on a 24-hour clock keeps its morning though a dinner follows it.
    auto drafts = read("Thursday 12 March\n09:30 – 10:15   Opening keynote\n"
                       "11:00 – 12:30   Workshop\n\nConference dinner (Thu 12 Mar, 19:00)");
    ASSERT_GE(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].endTime, "10:15");
    EXPECT_EQ(drafts[1].startTime, "11:00");
    // Dotted hours after noon are a 24-hour clock too, unlike a day and its month.
    drafts = read("Besuchsmorgen\nAm Donnerstag, 12. März, ist unser Schulzimmer von 8.20 bis "
                  "11.50 Uhr offen.\n\nInformationsabend\nMittwoch, 18. März 2026, 19.30–21.00 "
                  "Uhr",
                  *Calendar::make("Europe/Zurich", "de_CH"));
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startTime, "08:20");
    EXPECT_EQ(drafts[0].endTime, "11:50");
    // Without one, "dinner at 7.30" is in the evening.
    drafts = read("Dinner at ours on Friday 13 March at 7.30");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:30");
    // A bare clock the text wrote after noon elsewhere is that time again, at a sentence's end
    // too.
    drafts = read("Right, Wednesday 18th it is then! Same time, 7.30.\n\n"
                  "> Next book club is Thursday 12th March, 7.30pm at mine as usual.");
    ASSERT_GE(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-18");
    EXPECT_EQ(drafts[0].startTime, "19:30");
    // So is half past seven at a German "...abend".
    drafts = read("Spieleabend am Freitag bei mir? so ab halb 8?",
                  *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:30");
    // So does a quiz at the pub.
    drafts = read("Hannah: Quiz at the Red Lion on Friday? starts 8\nOli: I'm in");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "20:00");
}

TEST(BuiltinReaderTest, TimesSaidInPassingAndGermanAmAreNoStarts) {
    // When to arrive and what happens meanwhile start nothing of their own.
    auto drafts = read("Surprise party for Jen\nSaturday, 14 March\n7:00 PM — please be there by "
                       "7:15 at the latest, I'm bringing her in around 7:30");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:00");
    // Nor does the time of a day that is no event start the day of the next sentence.
    drafts = read("Booking closes on Monday 9 March at 5pm. The school fair is on Saturday 14 "
                  "March.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-14");
    EXPECT_FALSE(drafts[0].startTime);
    // "Stiege 2 am" over the day is "on", not "2 am".
    const Calendar vienna = *Calendar::make("Europe/Vienna", "de_AT", Weekday::monday);
    drafts = read("Wasserabstellung\nLeider muss das Wasser in Stiege 2 am\n"
                  "Dienstag, 10. März 2026\nvon 8:00 bis 13:00 Uhr\nabgestellt werden.",
                  vienna);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "08:00");
    EXPECT_EQ(drafts[0].endTime, "13:00");
    // A French "4e" is a district or a floor, never a day; a labelled length holds beside the
    // time the doors open.
    const Calendar paris = *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday);
    drafts = read("« VOIX D'EUROPE »\nSAMEDI 21 MARS 2026 — 20H30\nEntrée libre — au profit de "
                  "l'épicerie du 4e\nOuverture des portes à 20h · Durée : environ 1h15",
                  paris);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endTime, "21:45");
    // A booking "with us" is named by the restaurant it is at.
    drafts = read("Ottoline\n22 Lamb's Conduit Street, London WC1N 3LE\n\nHi Tom,\n\nThanks for "
                  "booking with us — your table is confirmed.\n\n    Friday 13 March 2026\n"
                  "    8:15pm\n    4 guests\n\nSee you soon,\nOttoline");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Ottoline");
    // A time on the evening before is not the day's, and "in your street" names no place.
    drafts = read("Am Mittwoch, den 11. März 2026, findet in Ihrer Straße die Sperrmüllabfuhr "
                  "statt. Bitte stellen Sie Ihren Sperrmüll frühestens am Vorabend ab 18 Uhr an "
                  "den Straßenrand.",
                  *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-11");
    EXPECT_FALSE(drafts[0].startTime);
    EXPECT_FALSE(drafts[0].location);
    drafts = read("Sperrmüllabfuhr am Mittwoch, 11. März 2026.\nBitte stellen Sie alles bis 18 "
                  "Uhr am Vortag raus.",
                  *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].startTime);
    // Nor is the time a place opens again the day's it is closed.
    drafts = read("The daycare will be closed on Monday, March 9. We will reopen on Tuesday, "
                  "March 10 at the usual time (7:00 a.m.).");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-09");
    EXPECT_FALSE(drafts[0].startTime);
    EXPECT_EQ(read("Resume writing workshop, Tuesday 10 March, 7pm").size(), 1u);
    // "Fertigstellung" ends a car's day at the garage.
    drafts = read("Dienstag, 10.03.2026, 7:30 Uhr (Fahrzeugannahme)\nVoraussichtliche "
                  "Fertigstellung: 16:00 Uhr",
                  *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endTime, "16:00");
    // A day without school keeps only the times of its own sentence; the next one's are for
    // the childcare offered instead.
    drafts = read("• Lundi 9 mars : journée pédagogique → pas d'école pour les enfants. Une "
                  "garderie est organisée de 7 h à 18 h.",
                  *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].startTime);
    EXPECT_FALSE(drafts[0].location);
    // ... also where the next sentence stands on the next line.
    drafts = read("* Journée pédagogique : lundi 9 mars - pas d'école ce jour-là.\n  Une "
                  "garderie est organisée de 7h à 18h.",
                  *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].startTime);
    // ... and where the day stands alone over the line that says there is no school.
    drafts = read("Fri 13 Mar\nStudent Free Day (curriculum day) – no classes for students.\n"
                  "OSHC runs 7:00 am – 6:00 pm, bookings essential.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].startTime);
    // A number that counts years or people is no hour, whatever word comes before it.
    drafts = read("Sommerfest am Freitag, 12.06.2026, Kinder bis 12 Jahre frei.",
                  *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].startTime);
    drafts = read("Quiz night, Friday 13 March, from 7, tables from 4 people");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:00");
    // "from" starts the time right after it, not one a clause later.
    drafts = read("Offsite on Thursday 12 March at The Forge, 10:00–16:00, lunch included. Trains "
                  "from Paddington are 1h40.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "10:00");
    EXPECT_EQ(drafts[0].endTime, "16:00");
}

TEST(BuiltinReaderTest, ACoursesDaysAreCountedNotDated) {
    // "DAY 1 – Tuesday, 10 March" is the tenth, not a span from the first.
    const auto drafts = read("DAY 1 – Tuesday, 10 March 2026\n0830 – 1230   Module 1: Basics\n"
                             "1330 – 1730   Module 2: CPR\n\nDAY 2 – Wednesday, 11 March 2026\n"
                             "0830 – 1230   Module 3: Fractures");
    ASSERT_EQ(drafts.size(), 3u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-10");
    EXPECT_EQ(drafts[1].startTime, "13:30");
    EXPECT_EQ(drafts[1].endTime, "17:30");
    EXPECT_EQ(drafts[2].startDate, "2026-03-11");
}

TEST(BuiltinReaderTest, ATrainsLabelledStopsNameItsLegAndEndIt) {
    // Labels aligned in a column before their colons, as booking mails set them.
    const auto drafts = read("Date of travel : March 9, 2026 (Mon)\nTrain          : Nozomi 225\n"
                             "Departure      : Tokyo 10:30\nArrival        : Kyoto 12:44");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Train to Kyoto");
    EXPECT_EQ(drafts[0].startTime, "10:30");
    EXPECT_EQ(drafts[0].endTime, "12:44");
    // Set in, in columns, with a remark after the arrival's station, and each time on its
    // station's clock: the leg leaves from the first and arrives in its zone.
    const auto legs = read("Votre voyage en train\n\nALLER — vendredi 13 mars 2026\n  Train 9013\n"
                           "  Départ   08h13   Paris Gare du Nord\n"
                           "  Arrivée  09h30   London St Pancras International (heure locale)\n\n"
                           "Horaires indiqués en heure locale de chaque gare.",
                           *Calendar::make("Europe/Paris", "fr_FR"));
    ASSERT_EQ(legs.size(), 1u);
    EXPECT_EQ(legs[0].location, "Paris Gare du Nord");
    EXPECT_EQ(legs[0].startTime, "08:13");
    EXPECT_EQ(legs[0].endTime, "10:30");
}

TEST(BuiltinReaderTest, RulesDrawnAcrossATicketPutNothingBetweenADayAndItsTimes) {
    const auto drafts =
        read("----------------------------\nOUTBOUND  |  Fri, 13 Mar 2026\n"
             "----------------------------\nLeg 1 of 2   Coach HX104\n  Dep 06:30  Pretoria - "
             "Kerk Street Coach Terminal\n  Arr 07:35  Johannesburg - Braamfontein Coach Depot");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "06:30");
    EXPECT_EQ(drafts[0].endTime, "07:35");
}

TEST(BuiltinReaderTest, ATicketsRowsOfStopsAreItsLegs) {
    // A ticket's table of stops, each train a leg from its "ab" to its "an".
    auto drafts = read("Hinfahrt am 11.03.2026\nHalt            Datum   Zeit    Gleis  Produkte\n"
                       "Bremen Hbf      11.03.  ab 07:14  4    RX 4512\n"
                       "Hannover Hbf    11.03.  an 08:22  9\n"
                       "Hannover Hbf    11.03.  ab 08:41  8    AFX 2417\n"
                       "Leipzig Hbf     11.03.  an 11:33  12\n");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Bremen Hbf → Hannover Hbf");
    EXPECT_EQ(drafts[0].location, "Bremen Hbf");
    EXPECT_EQ(drafts[0].endTime, "08:22");
    EXPECT_EQ(drafts[1].startTime, "08:41");
    EXPECT_EQ(drafts[1].endTime, "11:33");
    // A rail app's times and stops, with what it says of the ride between them.
    drafts = read("Your e-tickets are ready\nRailcard: 16-25\n\nOUTBOUND – Fri 13 Mar 2026\n"
                  "17:33  London Kings Cross\n  |    Northline Rail · Direct · 1h 56m\n"
                  "19:29  York\n");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Train to York");
    EXPECT_EQ(drafts[0].location, "London Kings Cross");
    EXPECT_EQ(drafts[0].endTime, "19:29");
    // ... or with the two stops of each leg, and its operator, in a block of their own.
    drafts = read("Your e-tickets\n\nOUTBOUND – Friday 13 March 2026\n\n  07:42  York\n  10:05  "
                  "Birmingham New Street          Northern Crosslink\n         Coach C, Seat 42\n\n"
                  "  Change at Birmingham New Street (25 min)\n\n  10:30  Birmingham New Street\n"
                  "  11:58  Bristol Temple Meads            Westway Rail\n");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Train to Birmingham New Street");
    EXPECT_EQ(drafts[0].endTime, "10:05");
    EXPECT_EQ(drafts[1].startTime, "10:30");
    EXPECT_EQ(drafts[1].endTime, "11:58");
    // Stops whose names are joined by a dash, and times after the word for leaving or arriving.
    drafts = read("e-billet – Voyage aller\n\nSamedi 14 mars 2026\n08h07   Paris Gare de Lyon\n"
                  "10h11   Lyon Part-Dieu\nTGV INOUI 6603 · Voiture 14 · Place 82",
                  *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].location, "Paris Gare de Lyon");
    EXPECT_EQ(drafts[0].endTime, "10:11");
    // A station's name may hold numbers after its first word, and the ride's details stand
    // between the two stops.
    drafts = read("E-BILLET\n\nALLER   samedi 14 mars 2026\n  07h52  BORDEAUX SAINT-JEAN\n"
                  "     │   Train 8514 · Voiture 14 · Place 62\n  10h04  PARIS MONTPARNASSE 1 ET 2",
                  *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].location, "BORDEAUX SAINT-JEAN");
    EXPECT_EQ(drafts[0].endTime, "10:04");
    drafts = read("Ihre Fahrkarte\n\nHinfahrt  Sa, 14.03.2026\nab 09:28  Köln Hbf\n"
                  "an 13:55  Berlin Hbf\nICE 947 · Wagen 24 · Platz 71",
                  *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Köln Hbf → Berlin Hbf");
    EXPECT_EQ(drafts[0].location, "Köln Hbf");
    // After such a word the stop's name may go on after a comma.
    drafts = read("Coach e-ticket\n\nJourney 1 of 2 · Friday 20 March 2026\nDeparts 06:45  "
                  "Manchester Shudehill Interchange, Stand A\nArrives 11:30  London Victoria "
                  "Coach Station, Gate 12");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].location, "Manchester Shudehill Interchange");
    EXPECT_EQ(drafts[0].endTime, "11:30");
    // A boarding pass's labelled stops: the flight goes to the town and leaves from the first.
    drafts = read("BOARDING PASS\n\nFlight      EZY 8743\nFrom        Bristol (BRS)\n"
                  "To          Geneva (GVA)\nDate        14 MAR 2026\nDeparts     06:55\n"
                  "Seat        12C");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Flight to Geneva");
    EXPECT_EQ(drafts[0].location, "Bristol (BRS)");
    // An airport's code names a stop.
    drafts = read("Outbound flight\nSat 18 Apr 2026\nBA 2714\n07:05  London Gatwick (LGW)\n"
                  "10:40  Faro (FAO)\nDirect · 2h 35m");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Flight to Faro");
    EXPECT_EQ(drafts[0].endTime, "10:40");
    // A day's programme of times and names in a text of no journey stays its sessions.
    drafts = read("CONFERENCE – Fri 13 Mar 2026\n09:00  Registration\nCoffee in the foyer\n"
                  "10:00  Keynote\n");
    EXPECT_EQ(drafts.size(), 2u);
}

TEST(BuiltinReaderTest, APostersDayWithoutATimeLooksOnThroughItsWrappedSentences) {
    const auto drafts = read("COMMUNITY ORCHARD\nWASSAIL !\nSatur day 14th March 2026\nWake the "
                             "trees, scare off the\nspirits & toast next year's\nharvest !\n"
                             "Lantern procession leaves the\nVillage Green at 4pm sharp");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-14");
    EXPECT_EQ(drafts[0].startTime, "16:00");
}

TEST(BuiltinReaderTest, AWeeklyClassOverABlockOfWeeksMeetsOnItsWeekdayInEach) {
    const auto drafts = read("DAY & TIME   Thursdays, 4:10pm – 4:40pm\n"
                             "BLOCK        Term 1: 10 weeks, 05/03/2026 – 26/03/2026\n\n"
                             "LESSON DATES\n  1   Thu 5 March\n"
                             "  –   Thu 12 March – NO LESSON (pool closed)\n"
                             "  2   Thu 19 March\n  3   Thu 26 March");
    EXPECT_EQ(whens(drafts),
              (std::vector<std::string>{"2026-03-05 16:10-16:40", "2026-03-19 16:10-16:40",
                                        "2026-03-26 16:10-16:40"}));
}

TEST(BuiltinReaderTest, ACourseFormsDayAndTimeHoldForEachWeekFromItsStartToItsEndDate) {
    const std::vector<std::string> wednesdays = {"2026-04-08 18:30-20:30", "2026-04-15 18:30-20:30",
                                                 "2026-04-29 18:30-20:30",
                                                 "2026-05-06 18:30-20:30"};
    // The weekday a "Day/time" label gives is the course's, not the coming Wednesday; the week
    // with no class is left out.
    EXPECT_EQ(whens(read("Course:          Beginners' Upholstery\n"
                         "Day/time:        Wednesday, 18:30 - 20:30\n"
                         "Start date:      08/04/2026\n"
                         "End date:        06/05/2026\n"
                         "No class:        22/04/2026 (half term)")),
              wednesdays);
    EXPECT_EQ(whens(read("Course:          Beginners' Upholstery\n"
                         "Day/time:        Wednesdays, 18:30 - 20:30\n"
                         "Start date:      08/04/2026\n"
                         "End date:        06/05/2026\n"
                         "No class:        22/04/2026 (half term)")),
              wednesdays);
}

TEST(BuiltinReaderTest, WeekdaysHoursBrokenAfterTheirPrepositionAreNoDaysTimes) {
    const auto drafts = read("Suivi avec Dre Tremblay\nLe jeudi 12 mars 2026 à 13 h 15\n\n"
                             "Pour modifier un rendez-vous, appelez-nous du lundi au vendredi de\n"
                             "8 h à 16 h 30. Tout rendez-vous manqué pourrait entraîner des frais.",
                             *Calendar::make("America/Toronto", "fr_CA"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "13:15");
    EXPECT_EQ(drafts[0].title, "Suivi avec Dre Tremblay");
    // ... or broken after their days, below a word for opening hours.
    const auto confirmed =
        read("Your appt for Scaling & Polishing is on Thu, 12/03/2026 at 3.45pm.\n\n"
             "Thank you, your appointment on 12/03 is confirmed. See\n"
             "you soon! - SmileCraft Dental. Clinic hrs: Mon-Fri\n9am-6pm, Sat 9am-1pm.");
    ASSERT_FALSE(confirmed.empty());
    for (const EventDraft& d : confirmed) {
        EXPECT_NE(d.startTime, "09:00") << d.title;
    }
}

TEST(BuiltinReaderTest, ACalendarAppsRowFromAHolidayCalendarIsNone) {
    const auto week = read("Februar 2026                       KW 10\n"
                           "MI 4. MÄRZ\n  16:15 – 17:00   Schwimmkurs Mia (Seepferdchen)\n"
                           "                  Hallenbad Nord\n"
                           "DO 5. MÄRZ\n  ganztägig       Weiberfastnacht 🎭\n"
                           "                  Feiertage & Brauchtum NRW\n"
                           "FR 6. MÄRZ\n  ganztägig       Oma & Opa zu Besuch",
                           *Calendar::make("Europe/Berlin", "de_DE"));
    EXPECT_EQ(whens(week), (std::vector<std::string>{"2026-03-04 16:15-17:00", "2026-03-06 ---"}));
}

TEST(BuiltinReaderTest, RowsForAnotherGroupThanTheReadersAreNone) {
    const char* week = "Bonjour Marta,\nvous êtes inscrite dans le GROUPE B.\n\n"
                       "lun. 09/03  9h30–12h00   Réunion d'accueil (tous groupes)\n"
                       "lun. 09/03  14h00–15h30  Visite du campus – Groupe A\n"
                       "lun. 09/03  16h00–17h30  Visite du campus – Groupe B\n";
    EXPECT_EQ(whens(read(week, *Calendar::make("Europe/Paris", "fr_FR"))),
              (std::vector<std::string>{"2026-03-09 09:30-12:00", "2026-03-09 16:00-17:30"}));
    // Where the text tells the reader no group of their own, every group's row stays.
    EXPECT_EQ(read("Visite du campus\nlun. 09/03 14h00 – Groupe A\nlun. 09/03 16h00 – Groupe B",
                   *Calendar::make("Europe/Paris", "fr_FR"))
                  .size(),
              2u);
}

TEST(BuiltinReaderTest, ACalendarAppsRowsOpenWithTheirWeekdayAndDay) {
    const auto drafts =
        read("March 2026\nMON 9\n  Ethan – swim lesson\n  4:00 – 4:45 PM\nTUE 10\n"
             "  Nothing planned. Tap to create.\nWED 11  Dinner w/ Mei Ling 7:00 PM");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-09");
    EXPECT_EQ(drafts[0].startTime, "16:00");
    EXPECT_EQ(drafts[1].startDate, "2026-03-11");
    EXPECT_EQ(drafts[1].startTime, "19:00");
    // A weekday before a number inside a sentence still needs its month or an ordinal.
    EXPECT_TRUE(read("Training moved to Sat 8 players short").empty());
    // Another app sets the day under the weekday, beside the row's name and time.
    EXPECT_EQ(whens(read("≡   March                      🔍\n"
                         "TUE   Dentist - Dr. Okafor\n 10   8:30 – 9:15AM\n"
                         "      Lakeview Family Dental\n"
                         "THU   Book club @ Dana's\n 12   7 – 9PM\n"
                         "TUE   Car - oil change\n 17   7:30 – 8:30AM")),
              (std::vector<std::string>{"2026-03-10 08:30-09:15", "2026-03-12 19:00-21:00",
                                        "2026-03-17 07:30-08:30"}));
}

TEST(BuiltinReaderTest, AMonthlyMeetingsTimeHoldsForItsWeekdayFarBelow) {
    const auto drafts = read("Cycle de conférences\nUn mardi par mois, à 19h30\n\n"
                             "MARDI 10/03/2026\n« Haleurs et bateliers »\n\n"
                             "Visite de l'écluse le jeudi 19/03/2026, sur inscription.\n\n"
                             "MARDI 14/04/2026\n« Mille ans de crues »",
                             *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 3u);
    EXPECT_EQ(drafts[0].startTime, "19:30");
    EXPECT_FALSE(drafts[1].startTime);
    EXPECT_EQ(drafts[2].startDate, "2026-04-14");
    EXPECT_EQ(drafts[2].startTime, "19:30");
}

TEST(BuiltinReaderTest, ARowOfTimesUnderTheirHeadsStartsAtTheDeparture) {
    const auto drafts = read("FLIGHT        DATE            SEAT\n"
                             "NW 1127       Fri 13 Mar      18A\n"
                             "BOARDING      GATE CLOSES     DEPARTURE    ARRIVAL\n"
                             "07:00         07:25           07:40        09:55",
                             *Calendar::make("America/Toronto", "en_CA"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "07:40");
    EXPECT_EQ(drafts[0].endTime, "09:55");
}

TEST(BuiltinReaderTest, TheNextParagraphsTimeToBeReadyByIsNoStart) {
    const auto drafts = read("Week of Mar 9\n  Friday, March 13\n  Green bin   Garbage\n\n"
                             "Reminders\n• Place all carts at the curb by 7:00 a.m. on collection "
                             "day.",
                             *Calendar::make("America/Toronto", "en_CA"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-13");
    EXPECT_FALSE(drafts[0].startTime);
}

TEST(BuiltinReaderTest, ADayTheLinesAroundItSayIsShutIsNoRemarkInPassing) {
    const auto drafts = read("JOURNÉE PÉDAGOGIQUE – CPE FERMÉ\n"
                             "Le vendredi 13 mars, toute l'équipe éducative sera en formation.\n\n"
                             "JOURNÉE DE PHOTOS\nLe mercredi 18 mars, de 8 h 30 à 11 h 30, le "
                             "photographe passera dans chaque local.",
                             *Calendar::make("America/Toronto", "fr_CA"));
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-13");
    EXPECT_FALSE(drafts[0].startTime);
}

TEST(BuiltinReaderTest, ATimeSaidForAllShowsHoldsForEachDayWithoutOne) {
    const auto drafts = read("THE TUSSOCK HEARTS\nAOTEAROA TOUR 2026\n\n"
                             "THU 12 MAR   WHANGĀREI   TOWN BASIN HALL\n"
                             "SAT 14 MAR   DUNEDIN     THE CHOOK HOUSE   ALL AGES · 3PM\n\n"
                             "ALL SHOWS 8PM UNLESS NOTED · 18+ (ID REQUIRED)");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startTime, "20:00");
    EXPECT_EQ(drafts[1].startTime, "15:00");
}

TEST(BuiltinReaderTest, AnAsideInBracketsOfTheNextParagraphGivesADayNoTimes) {
    const auto drafts =
        read("Consultation\nle mardi 10 mars à 10h40\n\nLes séances de kinésithérapie sont à "
             "planifier à partir du 24 mars.\n\nEn cas d'empêchement, prévenez le secrétariat "
             "(du lundi au vendredi de 8h30 à 12h00).",
             *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-10");
    // Times of their own in the next paragraph are the day's.
    const auto next = read("Garden party\nSunday 22 March\n\nFrom 3pm, bring a chair.");
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].startTime, "15:00");
}

TEST(BuiltinReaderTest, APostersDayStackedAWordALineIsOneDay) {
    const auto drafts = read("THE SALT\nLANTERNS\n\nFRI\n12\nJUNE\n\nDOORS 7PM / SHOW 8PM");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-06-12");
    EXPECT_EQ(drafts[0].startTime, "20:00");
    // A month on a line of its own below its days.
    const auto show = read("FLOWER SHOW\n\nSaturday 19 & Sunday 20\nSeptember\n10am – 4pm");
    ASSERT_EQ(show.size(), 2u);
    EXPECT_EQ(show[0].startDate, "2026-09-19");
    EXPECT_EQ(show[1].startDate, "2026-09-20");
    EXPECT_EQ(show[1].startTime, "10:00");
}

TEST(BuiltinReaderTest, ABookingMarkedCancelledBelowItsDayIsNoEvent) {
    const auto drafts = read("Meine Buchungen\n\nMi 11.03.2026\n18:00 – 19:00 · Badminton Feld 3\n"
                             "CHF 28.00 · bezahlt\n\nSa 14.03.2026\n18:00 – 19:00 · Badminton Feld "
                             "3\nSTORNIERT am 03.03.2026 · Gutschrift CHF 28.00",
                             *Calendar::make("Europe/Zurich", "de_CH", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-11");
    // ... also after the booking's name; a list's row marked so calls off only its own day.
    const auto lessons =
        read("Samedi 7 mars 2026 · 9 h 30 à 11 h 00\nCours 2 · ANNULÉ (froid extrême)\n\n"
             "Samedi 14 mars 2026 · 9 h 30 à 11 h 00\nCours 3",
             *Calendar::make("America/Toronto", "fr_CA"));
    ASSERT_EQ(lessons.size(), 1u);
    EXPECT_EQ(lessons[0].startDate, "2026-03-14");
    // ... in small letters after a dash, with the day it was called off, which is no event
    // either.
    const auto courts = read("  Sa 14.03.2026      10:00 – 11:00\n  Platz 3 (Sand) · Einzel\n\n"
                             "  Do 12.03.2026      18:00 – 19:00\n"
                             "  Platz 5 · Einzel – storniert am 02.03. (Regen)",
                             *Calendar::make("Europe/Zurich", "de_CH", Weekday::monday));
    EXPECT_EQ(whens(courts), std::vector<std::string>{"2026-03-14 10:00-11:00"});
    const auto sessions =
        read("Session 1 - Tues. March 10 - Greetings\nSession 2 - Tues. March 17 - "
             "** CANCELLED **\nSession 3 - Tues. March 24 - Café");
    EXPECT_EQ(sessions.size(), 2u);
    // A status in lower case on a line of its own says so too; a sentence about cancelling
    // does not.
    const auto classes = read("Mon 16 Mar 2026\n18:00 – 19:00  Yoga\nCancelled by you\n\n"
                              "Wed 18 Mar 2026\n07:00 – 07:45  Aqua fit\n"
                              "Cancelled classes are refunded in full.");
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(classes[0].startDate, "2026-03-18");
    // So does one in capitals on the row of its time, after its name.
    const auto timetable =
        read("Mer. 18/03\n09h00-11h00  TD Droit des obligations - Gr. 3 ANNULÉ (ens. absent)\n"
             "Jeu. 19/03\n14h00-16h00  CM Droit constitutionnel",
             *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(timetable.size(), 1u);
    EXPECT_EQ(timetable[0].startDate, "2026-03-19");
}

TEST(BuiltinReaderTest, AnAppsBookingsUnderAWaitlistOrCancelledHeadingAreNoEvents) {
    const auto drafts =
        read("My Bookings\n\nUPCOMING (1)\n\nAquafit\nTue, Mar 10, 2026 · 6:30 p.m. "
             "– 7:15 p.m.\n\nCANCELLED BY FACILITY (1)\n\nFamily Skate\nSat, Mar 14, "
             "2026 · 1:00 p.m. – 2:30 p.m.\n\nWAITLIST (1)\n\nYoga Flow\nSun, Mar 15, "
             "2026 · 10:00 a.m. – 11:00 a.m.\n\nPAST\n\nPilates\nFri, Feb 27, 2026 · "
             "9:00 a.m.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-10");
    // A heading that only begins like "past" is none of them; its row is named by it, not by
    // the venue after its times.
    const auto pasta = read("PASTA PARTY\nSamedi 14 mars de 19h00 à 21h30, Halle 6 – Parc des "
                            "Chantiers.",
                            *Calendar::make("Europe/Paris", "fr_FR"));
    ASSERT_EQ(pasta.size(), 1u);
    EXPECT_EQ(pasta[0].title, "Pasta Party");
    // Nor are the other shows an app suggests below the one booked.
    const auto cinema =
        read("The Long Paddock (M)\n📅 Fri 13 Mar 2026\n🕖 Film starts at 8:40pm\n\n"
             "More at Riverbank Moonlight Cinema\nSat 14 Mar · Paper Moonlight (PG) · "
             "8:40pm\nSun 15 Mar · Stingray Bay (M) · 8:35pm");
    ASSERT_EQ(cinema.size(), 1u);
    EXPECT_EQ(cinema[0].startDate, "2026-03-13");
    // Nor is the period a drop-down chooses to list, nor a row whose status says it is called
    // off.
    const auto exams = read("Meine Prüfungstermine\n"
                            "Zeitraum: [ 1. PZR (09.03.–20.03.2026) ▾ ]\n\n"
                            "21-MAT-110  Statistik I  Klausur  Di, 10.03.2026  08:00  90 Min.  "
                            "H 1   ✔ angemeldet\n"
                            "21-WIW-150  Englisch B2  Klausur  Mi, 11.03.2026  12:00  60 Min.  "
                            "S 2   ✖ abgemeldet (27.02.2026)",
                            *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(exams.size(), 1u);
    EXPECT_EQ(exams[0].startDate, "2026-03-10");
}

TEST(BuiltinReaderTest, AStartAtMidnightIsTheFirstMomentOfTheNextDay) {
    const Calendar brussels = *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday);
    for (const char* text : {"• Jeudi 12 mars : messe de minuit, suivie d'un vin chaud",
                             "• Jeudi 12 mars : veillée (24h00)"}) {
        const auto drafts = read(text, brussels);
        ASSERT_EQ(drafts.size(), 1u) << text;
        EXPECT_EQ(drafts[0].startDate, "2026-03-13") << text;
        EXPECT_EQ(drafts[0].startTime, "00:00") << text;
    }
}

TEST(BuiltinReaderTest, ATicketsRowLabelOfTwoWordsSaysWhichTimeStarts) {
    const auto drafts = read("THE SALT ROAD\nDate          Friday, 13 Mar 2026\n"
                             "Doors open    7:10 PM\n"
                             "Film starts   7:30 PM (no advertisements – trailers from 7:20 PM)");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:30");
}

TEST(BuiltinReaderTest, TheShowTimeOfATicketNamedAfterMidnight) {
    const auto drafts = read("THE MIDNIGHT ORCHARD\nUK Tour 2026\nSat 11 Apr 2026\n"
                             "Doors 18:30 | Show 19:30");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:30");
}

TEST(BuiltinReaderTest, AnAppointmentCardsRowsTakeTheirTimesAndTheLengthOfEach) {
    // In a table a time like "7.40" follows its day's cell, where it is no price, and initials
    // name who sees to the appointment.
    const auto drafts = read("PHYSIOTHERAPIE\n\nNr | Tag | Datum   | Uhrzeit | Therap.\n"
                             "1  | Mo  | 09.03.  | 7.40    | JL\n"
                             "2  | Do  | 12.03.  | 17.20   | MK\n\n"
                             "Behandlungsdauer je 20 Min.",
                             *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Physiotherapie"); // not the therapist's initials
    EXPECT_EQ(drafts[0].startTime, "07:40");
    EXPECT_EQ(drafts[0].endTime, "08:00");
    EXPECT_EQ(drafts[1].startTime, "17:20");
    EXPECT_EQ(drafts[1].endTime, "17:40");

    // A card's row of days, each with its time; a full hour too ("17.00").
    const auto row = read("Ihre nächsten Termine (je 30 Min.):\n"
                          "Mo 09.03.26  07.30 | Do 12.03.26  17.00",
                          *Calendar::make("Europe/Zurich", "de_CH", Weekday::monday));
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(row[0].startTime, "07:30");
    EXPECT_EQ(row[1].startTime, "17:00");
    EXPECT_EQ(row[1].endTime, "17:30");
}

TEST(BuiltinReaderTest, AStatedLengthEndsTheEvent) {
    auto drafts = read("Class assembly on Friday 13 March at 9.00am in the hall.\n"
                       "The assembly will last around 30 minutes.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endTime, "09:30");
    // The last minutes of something are no length of the event.
    drafts = read("Class assembly on Friday 13 March at 9.00am in the hall.\n"
                  "Parents may join for the last 30 minutes.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].endTime);
    // A length said to be about so long is one, in brackets on a line of its own too.
    drafts = read("Rendez-vous :\n   lundi 9 mars, 16 h 45\n   avec la Dre Isabelle Gagnon\n"
                  "   Motif : vaccins annuels + examen (environ 30 minutes)",
                  *Calendar::make("America/Toronto", "fr_CA"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endTime, "17:15");
    // A restaurant's sitting is as long as it keeps the table, not as long as it holds it for
    // those who come late.
    drafts = read("Your table for 6 is booked for Friday 13 March at 7:45pm.\n\nPlease note "
                  "that tables are returned after 2 hours 30 minutes.\nWe hold your table for 15 "
                  "minutes.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endTime, "22:15");
    drafts = read("Your table for 6 is booked for Friday 13 March at 7:45pm.\n\nWe hold your "
                  "table for 15 minutes after the booking time.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].endTime);
    // An app's row of details opens with each class's length.
    drafts = read("TUE 10 MAR\nReformer Intermediate               6:15 am\n50 min · Studio 2\n\n"
                  "WED 11 MAR\nMat Flow                            12:10 pm\n45 min · Studio 1");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].endTime, "07:05");
    EXPECT_EQ(drafts[1].endTime, "12:55");
}

TEST(BuiltinReaderTest, StaysRunFromCheckInToCheckOut) {
    const struct {
        const char* text;
        const char* title; // checked when given
        const char* startDate;
        const char* startTime;
        const char* endDate;
        const char* endTime;
    } stays[] = {
        {"Gasthof Krone\nCheck-in: Sat, 11 Apr 2026 (from 16:00)\n"
         "Check-out: Tue, 14 Apr 2026 (until 10:00)\nHauptstraße 7, 79098 Freiburg",
         nullptr, "2026-04-11", "16:00", "2026-04-14", "10:00"},
        // A guest's own late arrival beats the usual hour in brackets under it.
        {"Hotel Goldener Kranich\nAnreise:   Fr, 13.03.2026 – späte Anreise ca. 23:15 Uhr\n"
         "           (reguläres Check-in ab 15:00 Uhr)\n"
         "Abreise:   So, 15.03.2026 – Check-out bis 11:00 Uhr",
         nullptr, "2026-03-13", "23:15", "2026-03-15", "11:00"},
        // A school trip leaves and comes back.
        {"Schullandwoche der 2b\n\nABFAHRT:      Montag, 16. März 2026\n"
         "              Treffpunkt 7.15 Uhr vor dem Schulgebäude\n\n"
         "RÜCKKUNFT:    Freitag, 20. März 2026, ca. 16.30 Uhr beim Schulgebäude",
         nullptr, "2026-03-16", "07:15", "2026-03-20", "16:30"},
        // ... or told on one line.
        {"Waikiki Palms Resort, 2300 Kalakaua Ave, Honolulu\nCheck-in Thu 12 Mar 2026 from 3:00 pm "
         "· "
         "Check-out Sat 21 Mar 2026 by 11:00 am",
         nullptr, "2026-03-12", "15:00", "2026-03-21", "11:00"},
        // Pick-up and return set as the headings of their sections make one rental, named after
        // the company the thanks name, whose "Sun" is no Sunday.
        {"Thanks for booking with Desert Sun Car Rental!\n\nPICK-UP\nAirport (PHX)\n"
         "Rental Car Center, 1805 E Sky Harbor Cir S\nTue, Mar 10, 2026 · 2:30 PM\n\n"
         "RETURN\nAirport (PHX)\nSat, Mar 14, 2026 · 10:00 AM",
         "Desert Sun Car Rental", "2026-03-10", "14:30", "2026-03-14", "10:00"},
        // A table's labels stand before its column gaps as well as before colons.
        {"The Larwood Hotel\nCheck-in      Fri 13 Mar 2026     from 2:00 pm\n"
         "Check-out     Sun 15 Mar 2026     until 10:00 am",
         nullptr, "2026-03-13", "14:00", "2026-03-15", "10:00"},
        // Sections under headings of their own pair however long they are, and a heading's table
        // cells are not joined into its name.
        {"RENTAL VOUCHER                 Voucher no. SC-PMI-6620419\n\n"
         "PICK-UP\n  Tue, 10/03/2026 at 14:30\n  Palma de Mallorca Airport (PMI)\n"
         "  Meet & Greet desk, arrivals hall\n  Your flight: EW 582, arrival 14:05\n\n"
         "DROP-OFF\n  Tue, 17/03/2026 at 10:00\n  Palma de Mallorca Airport (PMI)",
         "Rental Voucher", "2026-03-10", "14:30", "2026-03-17", "10:00"},
        // A table's columns hold the days and, below them, the times of each.
        {"Pine Hollow Cabin\n\nCheck-in                 Checkout\n"
         "Fri, Mar 13, 2026         Mon, Mar 16, 2026\n4:00 PM                  10:00 AM",
         nullptr, "2026-03-13", "16:00", "2026-03-16", "10:00"},
        // Leader dots set labels off like a colon, and a sentence about checking in and out, far
        // from the days, gives the stay its hours.
        {"THE CALTON HOUSE HOTEL\n\nArrival ............ Friday 13 March 2026\n"
         "Departure .......... Sunday 15 March 2026\nNights ............. 2\n"
         "Room type .......... Superior Double\nGuests ............. 2 adults\n\n"
         "Check-in is from 3pm and check-out is by 11am.",
         nullptr, "2026-03-13", "15:00", "2026-03-15", "11:00"},
    };
    for (const auto& stay : stays) {
        const auto drafts = read(stay.text);
        ASSERT_EQ(drafts.size(), 1u) << stay.text;
        if (stay.title) {
            EXPECT_EQ(drafts[0].title, stay.title) << stay.text;
        }
        EXPECT_EQ(drafts[0].startDate, stay.startDate) << stay.text;
        EXPECT_EQ(drafts[0].startTime, stay.startTime) << stay.text;
        EXPECT_EQ(drafts[0].endDate, stay.endDate) << stay.text;
        EXPECT_EQ(drafts[0].endTime, stay.endTime) << stay.text;
    }

    // A span whose times hold for each day becomes one event per day.
    auto drafts = read("Tennis camp\n12–14 August\n9am – 1pm daily\nClub courts");
    ASSERT_EQ(drafts.size(), 3u);
    EXPECT_EQ(drafts[2].startDate, "2026-08-14");
    EXPECT_EQ(drafts[2].endTime, "13:00");

    // So do hours from a start to an end under the span; a session said not to be held on a
    // day of it leaves that day out.
    const auto stage = read("Stage : « Foot & Tennis »\n"
                            "Dates : du lundi 20 au vendredi 24 juillet 2026\n"
                            "        PAS de stage le mardi 21 juillet (Fête nationale)\n"
                            "Horaire : de 9h00 à 16h00",
                            *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday));
    EXPECT_EQ(whens(stage),
              (std::vector<std::string>{"2026-07-20 09:00-16:00", "2026-07-22 09:00-16:00",
                                        "2026-07-23 09:00-16:00", "2026-07-24 09:00-16:00"}));
    // A span told from a day and time on one line to a day and time on the next is one event,
    // whatever hours are said of its days below.
    const auto works = read("L'ASCENSEUR SERA À L'ARRÊT\n"
                            "du LUNDI 16 MARS 2026 à 8h00\n"
                            "au VENDREDI 20 MARS 2026 à 17h00\n"
                            "Des nuisances sonores sont à prévoir entre 8h et 12h.",
                            *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(works.size(), 1u);
    EXPECT_EQ(works[0].startTime, "08:00");
    EXPECT_EQ(works[0].endDate, "2026-03-20");
    EXPECT_EQ(works[0].endTime, "17:00");
    drafts = read("Swim squad\nMon 9 – Fri 13 March\n7:00 – 8:00\nNo practice on Wed 11 March");
    ASSERT_EQ(drafts.size(), 4u);
    EXPECT_EQ(drafts[1].startDate, "2026-03-10");
    EXPECT_EQ(drafts[2].startDate, "2026-03-12");
    const auto moved = read("Subject: Spring work party Sat 14 March\n\nThe rain is due, so "
                            "there is NO work party this Saturday the 14th. We're moving it to:\n"
                            "   SATURDAY 21 MARCH, 08:30 - 12:30");
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].startDate, "2026-03-21");

    // Otherwise a span is one event over its days, and "daily" on the next item of a bulleted
    // list is about that item.
    drafts = read("Book fair\n12–14 August\nExhibition centre");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endDate, "2026-08-14");
    EXPECT_FALSE(drafts[0].startTime);
    drafts = read("• Stadtfest am Hafen: 01.05.–03.05.\n"
                  "• Brötchenservice: Lieferung täglich ab 7:30 Uhr",
                  *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-05-01");
    EXPECT_EQ(drafts[0].endDate, "2026-05-03");
    EXPECT_FALSE(drafts[0].startTime);
}

TEST(BuiltinReaderTest, APrepositionLeftAtALineBreakIsNoPartOfAName) {
    const auto drafts = read("Ausflug in den Wildpark Poing am\nDienstag, 10.03.2026, 7:45 Uhr",
                             *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Wildpark Poing");
    EXPECT_EQ(drafts[0].location, "Wildpark Poing");
    // ... nor one left before a time, with its accent.
    const auto repas = read("Dimanche 15 mars : REPAS PAROISSIAL à 12h30 à la salle Saint-Joseph",
                            *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(repas.size(), 1u);
    EXPECT_EQ(repas[0].title, "Repas Paroissial");
}

TEST(BuiltinReaderTest, ARangeBrokenAcrossLinesIsReadWhole) {
    // A text copied with hard line breaks splits a range after the word that leads to its end.
    const auto drafts = read("A parents' meeting will be held on Saturday, 14/03/2026 from 9.00 "
                             "a.m. to\n12.30 p.m. in the classrooms. The school will be closed "
                             "from\n23/03/2026 (Monday) to\n27/03/2026 (Friday).");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startTime, "09:00");
    EXPECT_EQ(drafts[0].endTime, "12:30");
    EXPECT_EQ(drafts[1].startDate, "2026-03-23");
    EXPECT_EQ(drafts[1].endDate, "2026-03-27");
    // A list's item wraps onto a line set in to its text: the times there are the item's, no
    // session of the day above.
    EXPECT_EQ(whens(read("** END-OF-SEASON BANQUET **\nSunday, March 15 - 5:30 p.m.\n"
                         "Elks Lodge #1127, 402 W. Main St., Fairhaven\n\nReminders\n"
                         "- Practice group schedules are unchanged: Bronze M/W 5:00-6:00, Silver "
                         "M/W/F\n  5:00-6:30, Gold M-F 5:30-7:30 a.m. & 4:30-6:30 p.m.",
                         *Calendar::make("America/Chicago", "en_US"))),
              std::vector<std::string>{"2026-03-15 17:30--"});
    // ... or after the dash between two clocks, as a table's cell wraps.
    EXPECT_EQ(whens(read("MATH 2413 011 Calculus I Tue 3/10 1:30-\n4:00 PM Weller Science Ctr "
                         "204",
                         *Calendar::make("America/Chicago", "en_US"))),
              std::vector<std::string>{"2026-03-10 13:30-16:00"});
    // A line that only ends in such a word, over a line of its own, is not joined to it.
    const auto apart = read("Doors open at\n\n7pm Friday 13 March: quiz night");
    ASSERT_EQ(apart.size(), 1u);
    EXPECT_EQ(apart[0].startTime, "19:00");
    // A clock's "am" leads on to nothing: the address below is a line of its own.
    const auto viewing = read("FRIDAY 13 MARCH\n11:00am – 11:30am\n5 Noble Terrace, Kalinga");
    ASSERT_EQ(viewing.size(), 1u);
    EXPECT_EQ(viewing[0].location, "5 Noble Terrace, Kalinga");
}

TEST(BuiltinReaderTest, AChatsTimesAskedAboutGiveWayToTheDaysLaterTime) {
    const auto picnic =
        read("2026/03/02, 08:10 - Thandi: OK let's move it to Sunday then. Same place, 10am?\n"
             "2026/03/02, 08:14 - Nomvula: Sunday morning we have church till 11 😬 can we do "
             "afternoon?\n"
             "2026/03/02, 08:20 - Thandi: Sunday 3pm then?\n"
             "2026/03/02, 12:47 - Megan: 3 works.\n"
             "2026/03/03, 18:05 - Thandi: Ok sorted 🎉 Sunday 3pm at Jolene's.",
             *Calendar::make("Africa/Johannesburg", "en_ZA"));
    EXPECT_EQ(whens(picnic), std::vector<std::string>{"2026-03-08 15:00--"});
}

TEST(BuiltinReaderTest, AChatsDayRuledOutByALaterMessageIsNoEvent) {
    const auto game = read("[02/03/2026, 18:52] Ciarán: Lads, 5 a side this Thurs? Usual 8pm "
                           "slot in Cabra\n[02/03/2026, 19:20] Ciarán: Cabra astro is closed "
                           "Thursday, they're relaying the surface\n[02/03/2026, 19:24] Owen: "
                           "They've a 7.30 on Fri\n[02/03/2026, 19:31] Fiachra: Fri no good for "
                           "me. Saturday morning?\n[02/03/2026, 20:06] Owen: Booked ✅ Sat 14th, "
                           "10–11, Pitch 2, Phibsboro Sports Dome");
    EXPECT_EQ(whens(game), std::vector<std::string>{"2026-03-14 10:00-11:00"});
}

TEST(BuiltinReaderTest, ANewTimeSaidAgainstTheOldMovesTheEventAtTheOld) {
    // A chat's later message; "said so." is no Sunday.
    const auto haldi = read("*Haldi*\nSaturday, 7th March 2026 · 10:00 am\n\"Malhotra Niwas\"\n"
                            "[03/03/26, 9:24 pm] Sunita: One change, Haldi is now 11 am not 10, "
                            "pandit ji said so.");
    ASSERT_EQ(haldi.size(), 1u);
    EXPECT_EQ(haldi[0].startTime, "11:00");
    const auto ride = read("samedi 7 mars 2026\n\n08h30   Lyon – Part-Dieu, parking Villette\n\n"
                           "Mathieu : Petit changement : je partirai à 8h15 au lieu de 8h30.",
                           *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(ride.size(), 1u);
    EXPECT_EQ(ride[0].startTime, "08:15");
    // In a thread that quotes the first message below its answer, the old time is told below.
    const auto supper =
        read("Objet : TR: Souper-bénéfice U11\n\nSalut, regarde le 2e courriel en bas.\n\n"
             "-----Message d'origine-----\nObjet : Souper-bénéfice U11 - CHANGEMENT DE SALLE\n\n"
             "La date ne change pas : samedi 14 mars.\nPar contre, le souper commencera à 18 h 30 "
             "plutôt qu'à 18 h, le temps d'installer la salle.\n\n-----Message d'origine-----\n"
             "Objet : Souper-bénéfice U11\n\nL'équipe U11 organise un\nsouper spaghetti le "
             "samedi 14 mars 2026 à 18 h à la salle paroissiale.",
             *Calendar::make("America/Toronto", "fr_CA"));
    ASSERT_EQ(supper.size(), 1u);
    EXPECT_EQ(supper[0].startTime, "18:30");
    // The same time told on someone else's clock is no move.
    const auto call = read("Call: Friday 6 March 2026, 1 pm\n\nHeads up: the office sends "
                           "everything in its own time, so this is 4 pm our time, not 1.");
    ASSERT_EQ(call.size(), 1u);
    EXPECT_EQ(call[0].startTime, "13:00");
    // A moment told again on the reader's clock is read there.
    const auto review = read("The review moves to Wed 11 March, same slot – 1pm Sydney, i.e. "
                             "10–11am our time.",
                             *Calendar::make("Asia/Singapore", "en_SG"));
    ASSERT_EQ(review.size(), 1u);
    EXPECT_EQ(review[0].startTime, "10:00");
    EXPECT_EQ(review[0].endTime, "11:00");
    // A later line that moves the only event to a time moves it without the old time said.
    const auto practice = read("Choir practice is on Thursday 19 March at 7.30pm in the church "
                               "hall.\n\nHeads up: practice pushed back to 8pm this week.");
    ASSERT_EQ(practice.size(), 1u);
    EXPECT_EQ(practice[0].startTime, "20:00");
    const auto lunch = read("Priya: Team lunch on Thursday 12 March at Dosa House, 12:30?\nJen: "
                            "Can we do 1pm instead? I have a call until 12:45\nPriya: Sure.");
    ASSERT_EQ(lunch.size(), 1u);
    EXPECT_EQ(lunch[0].startTime, "13:00");
    // ... unless the move names a day of its own, perhaps another event's.
    const auto lesson = read("Supplier call: Wednesday 11 March, 1:00 PM\n\nReminder: this week "
                             "only, Saturday's lesson\nmoves to 9:30 am at the rink.");
    ASSERT_FALSE(lesson.empty());
    EXPECT_EQ(lesson[0].startTime, "13:00");
    // The day a show was first planned for is no event.
    const auto show = read("Suite à l'indisposition d'une comédienne, la représentation de\n"
                           "« Mademoiselle Else » initialement prévue le vendredi 15/01/2027\n"
                           "est REPORTÉE au jeudi 11 mars 2027 à 20h15.",
                           *Calendar::make("Europe/Brussels", "fr_BE", Weekday::monday));
    ASSERT_EQ(show.size(), 1u);
    EXPECT_EQ(show[0].startDate, "2027-03-11");
    // Times offered as a choice give way to the one booked below.
    const auto vet = read("Sat 14/03 we have 9:00am or 10:40am with Dr Koh. Reply 1 or 2\n"
                          "2 please\nThanks, Pickles is now booked for Sat 14/03 at 10:40am.");
    ASSERT_EQ(vet.size(), 1u);
    EXPECT_EQ(vet[0].startTime, "10:40");
}

TEST(BuiltinReaderTest, TheDaysUnderAHeadingOfOpeningHoursOrCoverAreNoEvents) {
    const auto slot = read("Your slot: Sunday 8 March 2026, 14:30 – 15:00\n\nOPENING HOURS\n"
                           "Winter hours (until Saturday 28 March 2026): 08:00 – 16:00 daily\n"
                           "Summer hours (from Sunday 29 March 2026): 08:00 – 18:00 daily\n"
                           "All sites are closed on 25 and 26 December.");
    ASSERT_EQ(slot.size(), 1u);
    EXPECT_EQ(slot[0].startDate, "2026-03-08");
    // Nor are those under a heading of what a warranty covers.
    EXPECT_TRUE(read("WARRANTY COVERAGE\nComprehensive warranty (product): 01/03/2026 to "
                     "28/02/2027\nInverter compressor:  01/03/2026 to 28/02/2036")
                    .empty());
}

TEST(BuiltinReaderTest, AStayKeepsItsDaysWhenAWeekdayIsSpokenOfInGeneral) {
    // "le mardi soir" speaks of every Tuesday, not of the stay's; the stay ends at the hour its
    // departure is due, and how many it is for is no part of its name.
    const auto drafts =
        read("Votre réservation est confirmée :\n\n"
             "  Gîte « La Grange aux Hirondelles » – 6 personnes\n"
             "  Du samedi 11 juillet 2026 au samedi 18 juillet 2026 (7 nuits)\n"
             "  Arrivée entre 16 h et 19 h – départ avant 10 h\n\n"
             "Pour la table d'hôtes : le mardi soir je tiens le stand du marché, donc ce ne sera "
             "pas possible le 14. Je vous ai notés pour le jeudi 16 juillet à 19 h 30.",
             *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Gîte « La Grange aux Hirondelles »");
    EXPECT_EQ(drafts[0].startDate, "2026-07-11");
    EXPECT_EQ(drafts[0].startTime, "16:00");
    EXPECT_EQ(drafts[0].endDate, "2026-07-18");
    EXPECT_EQ(drafts[0].endTime, "10:00");
    EXPECT_EQ(drafts[1].startDate, "2026-07-16");
    EXPECT_EQ(drafts[1].startTime, "19:30");
}

TEST(BuiltinReaderTest, AnOutwardAndAReturnLegThatEachArriveAreTwoJourneys) {
    const auto drafts = read("YOUR TRIP  Q7KX2P\n\nDepart   Sun 15 Mar 2026\n"
                             "LM 517   07:25 SIN T1  →  08:45 PEN\nChecked in\n\n"
                             "Return   Wed 18 Mar 2026\nLM 522   19:50 PEN  →  21:05 SIN T1");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startTime, "07:25");
    EXPECT_EQ(drafts[0].endTime, "08:45");
    EXPECT_FALSE(drafts[0].endDate);
    EXPECT_EQ(drafts[1].startDate, "2026-03-18");
    EXPECT_EQ(drafts[1].startTime, "19:50");
    EXPECT_EQ(drafts[1].endTime, "21:05");
}

TEST(BuiltinReaderTest, AnAppsBookingsGiveTheirTimesOverTheirPlaces) {
    // Each booking under the day: a line of its times over its address. A cancelled one is not
    // a booking, and a single time over a stop is a leg's, not a booking's.
    const auto drafts = read("Your upcoming inspections\n\nFRIDAY 13 MARCH\n9:00am – 9:20am\n"
                             "14 Kedron Parade, Wooloowin QLD 4030\n3 bed · 1 bath\n\n"
                             "10:15am – 10:30am\n2/88 Maudsland Street, Lutwyche QLD 4030\n"
                             "2 bed · 2 bath\n\n11:15am – 11:30am\n⚠ CANCELLED by agent\n"
                             "31 Ellesmere Street, Windsor QLD 4030");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startTime, "09:00");
    EXPECT_EQ(drafts[0].endTime, "09:20");
    EXPECT_EQ(drafts[0].location, "14 Kedron Parade, Wooloowin QLD 4030");
    EXPECT_EQ(drafts[1].startTime, "10:15");
    EXPECT_EQ(drafts[1].location, "2/88 Maudsland Street, Lutwyche QLD 4030");
}

TEST(BuiltinReaderTest, AnAppsEventsUnderTheirDaysAreNamedAndPlacedBelowThem) {
    const auto drafts = read("My Tickets\n\nSat, Mar 14 · 8:00 PM\nNorthern Lights Tour\n"
                             "Brightwater Theatre • Leeds\n2 tickets · Row F\n\n"
                             "Fri, Apr 3 · 7:30 PM\nLeeds Rhinos vs Wigan Warriors\n"
                             "Headingley Stadium • Leeds\n1 ticket · North Stand");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Northern Lights Tour");
    EXPECT_EQ(drafts[0].location, "Brightwater Theatre • Leeds");
    EXPECT_EQ(drafts[1].title, "Leeds Rhinos vs Wigan Warriors");
    EXPECT_EQ(drafts[1].location, "Headingley Stadium • Leeds");
}

TEST(BuiltinReaderTest, AnAppsSessionsInBlocksOfTheirOwnAreNamedBelowTheirTimes) {
    const auto drafts = read("Mon programme\n\nVENDREDI 14 AOÛT\n\n20:30 – 21:45\nOrchestre des "
                             "Alpes – Nuit italienne\nScène du Lac\n\n22:15 – 23:00\nDJ Lumen\n"
                             "Place de la Planta\n\nSAMEDI 15 AOÛT\n\n21:00\nGrand spectacle "
                             "pyrotechnique\nRives du Rhône",
                             *Calendar::make("Europe/Zurich", "fr_CH", Weekday::monday));
    ASSERT_EQ(drafts.size(), 3u);
    EXPECT_EQ(drafts[0].title, "Orchestre des Alpes – Nuit italienne");
    EXPECT_EQ(drafts[1].title, "DJ Lumen");
    EXPECT_EQ(drafts[1].endTime, "23:00");
    // A single time opening its block over a name is a session too.
    EXPECT_EQ(drafts[2].title, "Grand spectacle pyrotechnique");
    EXPECT_EQ(drafts[2].startDate, "2026-08-15");
    EXPECT_EQ(drafts[2].startTime, "21:00");

    // A late set goes on after midnight of its day; a set whose time changed keeps the new one.
    const auto sets = read("SATURDAY 14 MARCH\n\n8:45pm – 10:15pm\nHARUTO & THE FLOOD\n"
                           "Main Stage\n\n12:15am – 1:15am\nVELVET MILE\nThe Woolshed\n\n"
                           "SUNDAY 15 MARCH\n\nTIME CHANGE  3:40pm – 4:30pm  (was 3:10pm)\n"
                           "LOWTIDE CHOIR\nBandstand");
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[1].title, "Velvet Mile");
    EXPECT_EQ(sets[1].startDate, "2026-03-15");
    EXPECT_EQ(sets[1].startTime, "00:15");
    EXPECT_EQ(sets[2].title, "Lowtide Choir");
    EXPECT_EQ(sets[2].startTime, "15:40");
}

TEST(BuiltinReaderTest, AWeekdayNamesADayOfASpanOnlyWhereItIsToldOf) {
    const auto festival = read("Riverfest, March 13–15\nFri 5pm–11pm\nSat 11am–11pm");
    ASSERT_EQ(festival.size(), 2u);
    EXPECT_EQ(festival[1].startDate, "2026-03-14");
    EXPECT_EQ(festival[1].startTime, "11:00");
    // Far below, in a note of its own, a weekday speaks of every such day.
    const auto holiday = read("Half term: Monday 13 April to Friday 17 April\n\nClubs:\nChess"
                              "\nChoir\nDrama\nCoding\nArt\n\nReminder: on Wednesday, the "
                              "library closes at 5pm.");
    ASSERT_EQ(holiday.size(), 1u);
    EXPECT_EQ(holiday[0].startDate, "2026-04-13");
    EXPECT_EQ(holiday[0].endDate, "2026-04-17");
}

TEST(BuiltinReaderTest, AnEventFromOneDayAndTimeToAnotherIsOne) {
    // The days named again in the subject lie inside it, and "Thursday afternoon" is a moment of
    // it, not one of its days.
    const auto drafts = read("Objet : Séminaire les 12 et 13 mars\n\nNotre séminaire aura lieu "
                             "du jeudi 12 mars à 9h30 (accueil à partir de 9h) au vendredi 13 "
                             "mars à 16h.\n\nLe jeudi après-midi, une activité surprise.",
                             *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-12");
    EXPECT_EQ(drafts[0].startTime, "09:30");
    EXPECT_EQ(drafts[0].endDate, "2026-03-13");
    EXPECT_EQ(drafts[0].endTime, "16:00");
    // The minutes of a French time open no span of days.
    const auto plain = read("Séminaire du jeudi 12 mars à 9h30 au vendredi 13 mars à 16h.",
                            *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].startDate, "2026-03-12");
    EXPECT_EQ(plain[0].endDate, "2026-03-13");
}

TEST(BuiltinReaderTest, ZonesAndTheirConversions) {
    auto drafts = read("Product launch stream\nMarch 18, 10:00 – 11:00 PT\n");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].timeZone, "America/Los_Angeles");
    // The same time in other places, in parentheses, is no second event.
    drafts = read("Town hall on 19 March at 3pm London time (10am New York, 7am Seattle).");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "15:00");
    EXPECT_EQ(drafts[0].timeZone, "Europe/London");
    // So are the same times in several zones set off by slashes; the reader's own zone is kept.
    const std::string slashes = "Carrier review\nThursday, March 19\n9:00–10:00 am PT / "
                                "12:00–1:00 pm ET / 5:00–6:00 pm London time";
    drafts = read(slashes);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "09:00");
    EXPECT_EQ(drafts[0].timeZone, "America/Los_Angeles");
    drafts = read(slashes, *Calendar::make("America/New_York", "en_US"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "12:00");
    EXPECT_EQ(drafts[0].endTime, "13:00");
    // Or by bars, with each zone's day before its clock.
    drafts =
        read("Webinar: Thursday, 19 March 2026\nThu 8:00 AM PDT | Thu 4:00 PM GMT | Thu 9:30 PM "
             "IST",
             *Calendar::make("Asia/Kolkata", "en_IN"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "21:30");
    // Times told on each place's clock are in the zone of the city each event is in.
    drafts = read("Please note: all times are LOCAL. The UK is on GMT; France is one hour ahead "
                  "(CET).\n\nTHURSDAY 12 MARCH 2026\nDinner reserved nearby:\nBrasserie du "
                  "Faubourg, 41 Rue du Faubourg Saint-Denis, 75010 Paris\n17:45, table for 2",
                  *Calendar::make("Europe/London", "en_GB"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].timeZone, "Europe/Paris");
    // Standard time named where it is kept all year is the reader's own, in summer too; where
    // clocks move in summer it is the region's.
    const char* tutoring = "Tutoring: Tue, Oct 6, 1:30 PM MST";
    drafts = read(tutoring, *Calendar::make("America/Phoenix", "en_US"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].timeZone.value_or("America/Phoenix"), "America/Phoenix");
    drafts = read(tutoring, *Calendar::make("America/Los_Angeles", "en_US"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].timeZone, "America/Denver");
    // A zone for all of a schedule's times.
    drafts = read("Hackathon – March 21, 2026\nAll times are ET\n9:00 AM Kickoff\n5:00 PM Demos");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[1].timeZone, "America/New_York");
    EXPECT_EQ(drafts[1].startTime, "17:00");
    // A flight leaves at its airport's time, which matters where its clock differs from the
    // reader's; a city in a restaurant's name says nothing of its clock.
    drafts = read("RETURN  Friday 13 March 2026\n"
                  "  NA 298   Chicago O'Hare (ORD) Terminal 5  →  London Heathrow (LHR)\n"
                  "  Departs  18:20\n");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].timeZone, "America/Chicago");
    const Calendar london = *Calendar::make("Europe/London", "en_GB");
    const std::string dublin = "Flight EI 482, Friday 13 March 2026\nDublin Airport (DUB) 07:05 → "
                               "Lisbon (LIS) 10:40";
    const auto suggestions =
        EventSuggestion::suggestions(read(dublin, london), kNow, london, dublin);
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_EQ(suggestions[0].timeZone, std::nullopt);
    drafts = read("Dinner at the Chicago Grill on 19 March at 8pm");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].timeZone, std::nullopt);
}

TEST(BuiltinReaderTest, AChatsMessagesAreReadWithoutTheirWritersNamesAndStamps) {
    // The times under each message are when it was sent; the day said in one message takes the
    // time a later one gives, across the names and stamps between them.
    const auto drafts = read("Jonas\nLeute!! Spieleabend am Freitag bei mir?\n19:31\n\n"
                             "Lena\njaaa bin dabei 🙌 wann?\n19:33\n\n"
                             "Jonas\nso ab halb 8?\n19:34\n\nSam\nich komme später\n19:36",
                             *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Spieleabend");
    EXPECT_EQ(drafts[0].startDate, "2026-03-06");
    EXPECT_EQ(drafts[0].startTime, "19:30");
    // The app's stamps on a 24-hour clock say nothing of how the writer tells the time.
    const auto dinner = read("[02/03/2026, 19:04] Hannah: Right ladies, birthday dinner for "
                             "Jess!! Friday 13th, 7.30 at Saffron Lane?\n[02/03/2026, 19:06] "
                             "Jess: yes please");
    ASSERT_EQ(dinner.size(), 1u);
    EXPECT_EQ(dinner[0].startTime, "19:30");

    // Each message under its writer's name alone, the names coming back.
    const auto named = read("Maya\nhey!! are you around next week?\nMe\nyes!! free most mornings\n"
                            "Maya\ncoffee wednesday? before work\nMe\nwed works, 8:30?\n"
                            "Maya\nperfect. Grounded on Atlantic Ave?");
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].title, "Coffee");
    EXPECT_EQ(named[0].startDate, "2026-03-04");
    EXPECT_EQ(named[0].startTime, "08:30");
    // Stamps set off at the end of each message's last line.
    const auto stamped =
        read("Melli\nUnd am Do ist dann normal Unterricht? 20:55\nAnja\nJa, ganz normal!   20:57\n"
             "Jörg\nIst das Sommerfest noch am Fr. 13.3.?? 21:03\nAnja\n"
             "Ja! Fr 13.3. ab 15 Uhr auf dem Pausenhof 🎉   21:06",
             *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(stamped.size(), 1u);
    EXPECT_EQ(stamped[0].startDate, "2026-03-13");
    EXPECT_EQ(stamped[0].startTime, "15:00");
    // ... after a word or a sign, and hours apart, when each message stands under its writer's
    // name in a block of its own.
    const auto blocks =
        read("Lena\nWandern am Samstag? da haben eh alle frei 18:07\n\nTobi\nbin dabei 👍 18:10\n\n"
             "Markus\nSamstag hab ich Dienst 😩 21:48\n\nLena\nOk dann Sonntag 8.3. um 7:15 "
             "am Bahnhof\nZurück so gegen 18 Uhr 22:02",
             *Calendar::make("Europe/Vienna", "de_AT", Weekday::monday));
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].startDate, "2026-03-08");
    EXPECT_EQ(blocks[0].startTime, "07:15");
    // Text messages under the day and time each came in, up to today's.
    const auto texts = read("      Ven. 27 févr. · 18:02\nRAPPEL : RDV le mardi 10/03 à 10h30.\n\n"
                            "      Sam. 28 févr. · 09:47\nVotre RDV est confirmé. Durée : 30 min.\n"
                            "\n      Lun. 2 mars · 08:50\nVos résultats sont disponibles.",
                            *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].startDate, "2026-03-10");
    // An exported chat's day and time before a dash.
    const auto exported =
        read("02/03/2026, 18:40 - Priya Raman created group \"Dinner\"\n"
             "02/03/2026, 18:42 - Priya Raman: dinner Sat 14th at 8pm at Casa Ferrante?\n"
             "02/03/2026, 18:44 - Tom Ashby: I'm in");
    ASSERT_EQ(exported.size(), 1u);
    EXPECT_EQ(exported[0].startDate, "2026-03-14");
    EXPECT_EQ(exported[0].startTime, "20:00");
    // After an export's stamp, the writer runs to the colon, role and all: no name for what
    // they said.
    const auto roles = read("[2/3/26, 6:41:07 pm] Brad (U11 Coach): nets moved to Sat 7 March, "
                            "4pm at the clubrooms\n[2/3/26, 6:44:12 pm] Nic – Archie's mum: ok");
    ASSERT_EQ(roles.size(), 1u);
    EXPECT_EQ(roles[0].title, "Nets");
    EXPECT_EQ(roles[0].startTime, "16:00");
    // A lock screen's clock shows today and the time; its notifications say what is on.
    const auto locked = read("Monday, March 2\n9:00\n\nMessages                12m ago\n"
                             "Coach Bal (Skating)\nReminder: Saturday's lesson moves to 9:30 am "
                             "at Riverview Arena.");
    ASSERT_EQ(locked.size(), 1u);
    EXPECT_EQ(locked[0].startDate, "2026-03-07");
    EXPECT_EQ(locked[0].startTime, "09:30");
    // So is the status bar over it; a notification's row under its name gives today's time
    // beside the days written out below.
    const auto notified = read("8:55                        .ıll 4G ▭ 81%\n        Monday 2 March\n"
                               "             8:55\n\nCALENDAR                       now\n"
                               "Bin night\nToday 5:00 pm\n\nCALENDAR                 1h ago\n"
                               "Swimming\nThu 5 Mar  3:45 pm – 4:30 pm");
    ASSERT_EQ(notified.size(), 2u);
    EXPECT_EQ(notified[0].title, "Bin night");
    EXPECT_EQ(notified[0].startDate, "2026-03-02");
    EXPECT_EQ(notified[0].startTime, "17:00");
    EXPECT_EQ(notified[1].startDate, "2026-03-05");
    // So is a desktop's taskbar clock closing a screenshot, beside its icons.
    const auto desktop = read("Legende: ✔ angemeldet  ✖ abgemeldet  ◷ Zulassung ausstehend\n\n"
                              "──────────────────────────────\n"
                              "Prüfungsamt · Sprechzeiten Di + Do 9:30–12:00\n"
                              "Impressum · Datenschutz · Barrierefreiheit      Version 2026.2\n\n"
                              "                        🔊 ᯤ   09:00\n"
                              "                        02.03.2026",
                              *Calendar::make("Europe/Berlin", "de_DE"));
    EXPECT_TRUE(desktop.empty());
    // Even two stamps are, once their times have passed: the day written in one says nothing
    // of the weekdays said in the messages.
    const auto texted = read("Text Message\n        Sun 1 Mar 7:12 pm\nCan swing by tmrw arvo "
                             "to measure up, around 3?\nToo easy see u then\n        Today 8:48 "
                             "am\nSorry, got held up on a job. Could do Thurs arvo instead, 2ish?\n"
                             "        Thurs 2 works\nThurs 2pm locked in");
    ASSERT_EQ(texted.size(), 1u);
    EXPECT_EQ(texted[0].startDate, "2026-03-05");
    EXPECT_EQ(texted[0].startTime, "14:00");
    // So is the divider between one day's messages and the next.
    const auto divided =
        read("#team-wombat\n──────── Monday, 2 March ────────\n\nDev: Jess hits 10 "
             "yrs on Friday 🎉 drinks Fri arvo at the Kingfisher from 4:30",
             *Calendar::make("Australia/Perth", "en_AU"));
    ASSERT_EQ(divided.size(), 1u);
    EXPECT_EQ(divided[0].startDate, "2026-03-06");
    EXPECT_EQ(divided[0].startTime, "16:30");
    // The same start in the last column of each row of fixtures is no chat's stamps.
    const auto fixtures = read("Sat 7 Mar   Kingsfold 2nd XI       H    1.00pm\n"
                               "Sat 14 Mar  Brampton Vale 2nd XI   A    1.00pm\n"
                               "Sat 21 Mar  Little Hatherley       H    1.00pm");
    ASSERT_EQ(fixtures.size(), 3u);
    for (const EventDraft& fixture : fixtures) {
        EXPECT_EQ(fixture.startTime, "13:00") << fixture.startDate;
    }
}

TEST(BuiltinReaderTest, ChatsNameTheirEventsInSentences) {
    auto drafts = read("Ana: fancy a picnic on saturday?\nAna: 1pm by the lake");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Picnic");
    EXPECT_EQ(drafts[0].startDate, "2026-03-07");
    EXPECT_EQ(drafts[0].startTime, "13:00");

    // The answer that names the day again gives its time.
    drafts = read("Maya: coffee wednesday? before work\nSam: wed works, 8:30?\nMaya: perfect");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-04");
    EXPECT_EQ(drafts[0].startTime, "08:30");

    // A speaker with a picture beside the name, a drawn-out greeting and a short weekday.
    drafts = read("Tash 🌺: heyyy bbq at ours this sat if ur free!! 🍖\nTash 🌺: from 3ish\n"
                  "Me: see u sat x");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Bbq");
    EXPECT_EQ(drafts[0].startDate, "2026-03-07");
    EXPECT_EQ(drafts[0].startTime, "15:00");

    // Friends who meet "7ish" meet in the evening, unless the morning is said; a message that
    // names nothing gives the title without its stamp and writer.
    drafts = read("[2/3/26, 3:58 PM] Sam Reyes: tmrw 7ish? Pho Lan on Clement");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:00");
    EXPECT_EQ(drafts[0].title.find("Sam"), std::string::npos);
    drafts = read("[2/3/26, 3:58 PM] Sam Reyes: brunch tmrw 10ish?");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "10:00");
    // So do friends who meet at a bare 7 where clocks are told on a 12-hour dial; where they
    // are told on a 24-hour one, or the morning is said, 7 is the morning.
    const Calendar newYork = *Calendar::make("America/New_York", "en_US");
    const Calendar vienna = *Calendar::make("Europe/Vienna", "de_AT");
    for (const auto& [text, calendar, time] :
         {std::tuple{"Jess: ramen tmrw at 7? 🍜\nJess: I'll grab a table\nMe: yesss", &newYork,
                     "19:00"},
          std::tuple{"Kev: are we still doing trivia\nKev: next thu, not tmrw. 7:30\nMe: in",
                     &newYork, "19:30"},
          std::tuple{"Dana: run tmrw morning at 7?\nMe: ok", &newYork, "07:00"},
          std::tuple{"Anna: Laufen morgen um 7?\nIch: gern", &vienna, "07:00"}}) {
        drafts = BuiltinReader::read(text, kNow, *calendar);
        ASSERT_EQ(drafts.size(), 1u) << text;
        EXPECT_EQ(drafts[0].startTime, time) << text;
    }
    // What friends are "still doing" is the event.
    drafts = BuiltinReader::read("Kev: are we still doing trivia\nKev: next thu, 7:30\nMe: in",
                                 kNow, newYork);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Trivia");

    // "next tue" said on a Monday is not tomorrow, and a weekday asked about is no day.
    drafts = read("Kev: haymarket moved trivia to tuesdays\nMe: wait which tuesday\n"
                  "Kev: next tue, not tmrw. 7:30pm");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-10");
    EXPECT_EQ(drafts[0].startTime, "19:30");

    // In American English "on 5th" is a street; the day stays the one the chat named.
    drafts = read("Priya: dinner this friday? it's been ages\n"
                  "Priya: that thai place on 5th, Baan Siam?\nSam: ok! 7:30 works for me",
                  *Calendar::make("America/New_York", "en_US"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-06");
    EXPECT_EQ(drafts[0].startTime, "19:30");

    // "Tomorrow" with a time in a message holds beside days written out.
    drafts = read("[2/3/26, 7:59 PM] Coach Ray: practice is moved to TMRW (tue) 5:30-7\n"
                  "[2/3/26, 8:01 PM] Coach Ray: game sat 7 March is at 8am vs the Scorpions");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-03");
    EXPECT_EQ(drafts[0].endTime, "19:00");
    EXPECT_EQ(drafts[1].startDate, "2026-03-07");

    drafts = read("Tomorrow 8pm drinks at The Crown?");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Drinks");
    EXPECT_EQ(drafts[0].startDate, "2026-03-03");
    EXPECT_EQ(drafts[0].location, "The Crown");

    // A chat's day and the time a later message gives join into one event, and a speaker's name
    // ("Sam", "Sa." for Saturday in French) is no day.
    drafts = read("Maya: climbing sat morning?\nMaya: thinking 9:30 at the wall\n"
                  "Chris: in\nSam: can I bring my cousin?");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-07");
    EXPECT_EQ(drafts[0].startTime, "09:30");
    drafts = read("Lauren: movie night at mine thurs??\nLauren: thinking 8ish\n"
                  "Tasha: 🙋 might be late, work til 7");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Movie night");
    EXPECT_EQ(drafts[0].startDate, "2026-03-05");
    EXPECT_EQ(drafts[0].startTime, "20:00");
    // "back by" ends the day's outing.
    drafts = read("Ellie: Right, Sunday walk is on\nEllie: meet 10am at the car park\n"
                  "Ellie: we'll do Kinder Scout, back by 4ish");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "10:00");
    EXPECT_EQ(drafts[0].endTime, "16:00");
    // Another day named before the time leaves the first without one.
    drafts = read("Jo: free on friday?\nKim: no, saturday 10am?");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-07");
    EXPECT_EQ(drafts[0].startTime, "10:00");

    // Above a chat's messages stands its name; every line after a name is a message, however
    // it starts; a day ruled out is no day; a fixture is named with its opponent, and the
    // training with its game.
    drafts = read("Harriers Netball Mums\n\n"
                  "Coach Bea: Training is on Tuesday this week, 6-7pm at Grove Park. NOT Monday!\n"
                  "Lou: Great\n"
                  "Coach Bea: Thursday's match against Kingsmead starts at 4pm at the school.\n"
                  "Jen: Who's driving?");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Netball training");
    EXPECT_EQ(drafts[0].startDate, "2026-03-03");
    EXPECT_EQ(drafts[0].startTime, "18:00");
    EXPECT_EQ(drafts[1].title, "Match against Kingsmead");
    EXPECT_EQ(drafts[1].startDate, "2026-03-05");
    EXPECT_EQ(drafts[1].startTime, "16:00");

    drafts = read("Morgen um 19 Uhr Probe im Vereinsheim!");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-03");
    EXPECT_EQ(drafts[0].startTime, "19:00");
    EXPECT_EQ(drafts[0].location, "Vereinsheim");
}

TEST(BuiltinReaderTest, ATimeForAllTheRowsIsOnTheClockTheTextSaysItsHourOn) {
    // "8pm" said of one game puts "All Thursdays 8.30 start" in the evening too; the end of a
    // shop's hours does not.
    const auto league = read("Fixtures are out. All Thursdays 8.30 start unless it says "
                             "otherwise.\nDIV 2 WINTER\n12/03  H  v Railway Tavern A\n19/03  A  "
                             "v Bell & Anchor (Church St)\nCUP R1 – Tue 24/03 A v Wheatsheaf 8pm");
    EXPECT_EQ(whens(league), (std::vector<std::string>{"2026-03-12 20:30--", "2026-03-19 20:30--",
                                                       "2026-03-24 20:00--"}));
    const auto coach = read("Journey date: Fri, 13-Mar-2026\nDeparture time: 10:30\n\n"
                            "Customer service: +65 6555 0420 (daily 8am–10pm)");
    EXPECT_EQ(whens(coach), std::vector<std::string>{"2026-03-13 10:30--"});
}

TEST(BuiltinReaderTest, ATripOverSeveralDaysLeavesOnItsFirstAndIsBackOnItsLast) {
    const auto camp = read("GRADE 4 CAMP\n\nWe are excited to confirm our camp at Kloofwater in "
                           "the Magaliesberg from Wednesday 11 to Friday 13 March.\n\nTRAVEL\n"
                           "Buses depart from the school gate at 07:30 sharp on 2026/03/11.\nWe "
                           "expect to be back at school at approximately 14:00 on Friday 13 "
                           "March.");
    ASSERT_EQ(camp.size(), 1u);
    EXPECT_EQ(camp[0].startDate, "2026-03-11");
    EXPECT_EQ(camp[0].startTime, "07:30");
    EXPECT_EQ(camp[0].endDate, "2026-03-13");
    EXPECT_EQ(camp[0].endTime, "14:00");
}

TEST(BuiltinReaderTest, TimesSaidWithWeekdaysOfNoEventAreTheirsNotTheDaysAbove) {
    const auto visit = read("Engineer visit: Tuesday 7 April 2026\nPlease keep the meter area "
                            "clear.\nQuestions? Member Services, Mon-Fri 7:30 am - 5:00 pm.");
    EXPECT_EQ(whens(visit), std::vector<std::string>{"2026-04-07 ---"});
}

TEST(BuiltinReaderTest, AClosingTimeEndsADayButNeverStartsItAndACallTimeEndsNothing) {
    auto drafts = read("Last day of term: Tuesday 10 March (school closes at 2pm)");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_FALSE(drafts[0].startTime);
    drafts = read("Flea market: Saturday 7 March from 8am, closes at 2pm");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "08:00");
    EXPECT_EQ(drafts[0].endTime, "14:00");
    // When to be there before the start is no end; an arrival overnight is.
    drafts = read("Choir concert: Tuesday 10 March at 7:00 p.m. Singers arrive by 6:30 p.m.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:00");
    EXPECT_FALSE(drafts[0].endTime);
    drafts = read("Night train, Tuesday 10 March\nDeparts 22:10 · Arrives 07:05");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endTime, "07:05");
    // A table's row is labelled by its first word, unless a cell before holds a time of its own.
    drafts = read("Ferry, Tuesday 10 March\nDepart Horseshoe Bay   3:10 pm\n"
                  "Arrive Departure Bay   approx. 4:50 pm");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "15:10");
    EXPECT_EQ(drafts[0].endTime, "16:50");
    drafts = read("Arctic Monkeys\nSat 14 Mar 2026\nDoors: 18:30  Start: 19:30");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "19:30");
    // Also when the start is told on the line below the doors, in a German compound too.
    const struct {
        const char* text;
        const char* start;
    } below[] = {{"Arctic Monkeys\nSat 14 Mar 2026\nDoors 6.30pm\nStart: 7.30pm", "19:30"},
                 {"FEUERWEHRBALL\nSamstag, 14. März 2026\nSaaleinlass ab 19:00 Uhr\n"
                  "Beginn: 20:00 Uhr",
                  "20:00"},
                 // The start may come a line further than other times, after the doors.
                 {"FEUERWEHRBALL\nSamstag, 14. März 2026\nGasthof Kirchenwirt\nHinterbrunn 12\n"
                  "Saaleinlass ab 19:00 Uhr\nBeginn: 20:00 Uhr",
                  "20:00"},
                 {"Veranstaltung:   Neujahrskonzert\nDatum:           Samstag, 14. März 2026\n"
                  "Türöffnung:      16.00 Uhr\nKonzertbeginn:   17.00 Uhr\n"
                  "Ende:            ca. 19.15 Uhr (inkl. Pause)",
                  "17:00"},
                 {"Maturaball\nSamstag, 14. März 2026\nSaalöffnung ist um 19:00 Uhr, Beginn mit "
                  "der Polonaise um 20:00 Uhr.",
                  "20:00"},
                 // A performance starts when it is given, a whole hour too.
                 {"Les Noces de Gisèle\nsam. 14 mars 2026\nOuverture des portes : 19 h 15\n"
                  "Représentation : 20 h 00",
                  "20:00"}};
    for (const auto& c : below) {
        drafts = read(c.text);
        ASSERT_EQ(drafts.size(), 1u) << c.text;
        EXPECT_EQ(drafts[0].startTime, c.start) << c.text;
    }
    // The time after a route's arrow is the arrival.
    drafts = read("Outbound · Thu 12 Mar 2026\nTP1357  London Heathrow (LHR) T2  07:25 → Lisbon "
                  "(LIS) T1  10:05");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "07:25");
    EXPECT_EQ(drafts[0].endTime, "10:05");
    // The time of the return or the end, on a line of its own, ends the day's event.
    for (const char* text : {"Wandertag am Freitag, 13. März\nTreffpunkt: 8:00 Uhr auf dem "
                             "Schulhof\nRückkehr: gegen 13:30 Uhr, ebenfalls am Schulhof",
                             "Sortie le vendredi 13 mars\nDépart : 8h00\nRetour : vers 13h30",
                             "Sortie le vendredi 13 mars\n  • Départ en autobus : 8 h\n"
                             "  • Retour prévu au CPE : vers 13 h 30",
                             "Projekttag am Freitag, 13. März\nBeginn: 8:00 Uhr\nEnde: 13:30 Uhr",
                             "Sports Day on Friday 13 March.\nRaces start at 8am and we expect to "
                             "finish by 1.30pm."}) {
        drafts = read(text);
        ASSERT_EQ(drafts.size(), 1u) << text;
        EXPECT_EQ(drafts[0].startTime, "08:00") << text;
        EXPECT_EQ(drafts[0].endTime, "13:30") << text;
    }
}

TEST(BuiltinReaderTest, ADayRuledOutIsNoEvent) {
    // A day kept for rain is ruled out while the weather holds, but good weather is the plan.
    for (const char* text : {"lunch on Friday 13 March, not Thursday. 1pm",
                             "Mittagessen am Freitag, 13. März, nicht am Donnerstag, um 13 Uhr",
                             "Sports Day is on Friday 13 March at 1pm. In case of rain, it will "
                             "move to Friday 20 March.",
                             "If the weather is good, we grill on Friday 13 March at 6pm.",
                             "Sports day on Friday 13 March at 1pm (Friday 20 March if it "
                             "rains)."}) {
        const auto drafts = read(text);
        ASSERT_EQ(drafts.size(), 1u) << text;
        EXPECT_EQ(drafts[0].startDate, "2026-03-13") << text;
    }
}

TEST(BuiltinReaderTest, AMovedEventKeepsOnlyItsNewDay) {
    for (const char* text :
         {"Dr. Feldman is no longer available on Monday, March 9. We have moved your cleaning to "
          "Tuesday, March 10 at 3:30 PM.",
          "Instead of Monday, March 9 we meet on Tuesday, March 10 at 3:30 PM.",
          "Instead of Monday could we do Tuesday 10 March at 3:30 PM?",
          // Someone who cannot keep a day calls off what was set for it before.
          "You're all set for Monday, March 9 at 3:30 PM with Dr. Okafor.\nSo sorry, Dr. Okafor "
          "is out of the office on Monday, March 9. Could we move you to Tuesday, March 10 at "
          "3:30 PM?",
          "Leider müssen wir Ihren Termin am Montag, 09.03.2026 um 9:00 Uhr absagen.\nIhr neuer "
          "Termin: Dienstag, 10.03.2026, 15:30 Uhr",
          "Monday, March 9 is cancelled, we meet on Tuesday, March 10 at 3:30 PM instead.",
          "La Dre Gagnon ne pourra pas recevoir Pixel le lundi 9 mars à 10 h 30.\n"
          "Nous avons déplacé le rendez-vous au mardi 10 mars, 15 h 30.",
          "Dr. Feldman is unable to see you on Monday, March 9. Your new appointment is "
          "Tuesday, March 10 at 3:30 PM.",
          "The 1:00 pm sailing on Tuesday, March 10, has been cancelled.\n\nNEW SAILING\n"
          "Tuesday, March 10, 2026\nDepart Horseshoe Bay   3:30 pm",
          // A clock's "p.m." ends no sentence before the word it goes with.
          "The 1:00 p.m. sailing on Tuesday, March 10 has been cancelled. You've been moved to the "
          "3:30 p.m. sailing.\n\nRETURNING\nTuesday, March 10, 2026\nDepart 3:30 p.m.",
          // A chat that settles on another day calls the first off in a sentence of its own.
          "Priya: Drinks Monday at the Heron? 7:30pm?\nDan: Tue might be better\nPriya: So "
          "it's TUE 10th, 3:30pm. Monday is OFF",
          // Moved from one day to another: no span of days.
          "The design sync is moving from Monday, March 9 to Tuesday, March 10, same time "
          "(3:30 PM).",
          "Design sync moved from Mon 9 Mar to Tue 10 Mar, 3:30 PM.",
          "The design sync has been pushed from Monday to Tuesday, March 10 at 3:30 PM.",
          "Au lieu du lundi 9 mars, on se voit le mardi 10 mars à 15 h 30.",
          // A subject that calls an event off, over its new day.
          "Subject: Appointment cancelled – new date\n\nWe had to cancel Monday, March 9. Your "
          "new appointment: Tuesday, March 10 at 3:30 PM.",
          // A day said not to take place.
          "The offsite replaces our weekly sync on Monday, March 9, which will not take place. "
          "Design sync: Tuesday, March 10 at 3:30 PM.",
          "Le séminaire remplace notre réunion du lundi 9 mars, qui n'aura donc pas lieu.\n"
          "Point visio : mardi 10 mars à 15 h 30",
          // German says the move last; the day it moves to stays.
          "Der Ausflug am Mo. 9.3. muss leider verschoben werden.\nNEUER TERMIN: Di., 10.03., "
          "15:30 Uhr",
          "Der Ausflug wird auf den 10.03. um 15:30 Uhr verschoben.",
          // A changed booking that still shows the day it had.
          "Your booking has been changed\n\n  NEW   Tue, 10 Mar 2026 · 15:30\n        6 guests\n\n"
          "  WAS   Mon, 9 Mar 2026 · 19:30\n        4 guests",
          "Neuer Termin: Di., 10.03.2026, 15:30 Uhr\nAlter Termin: Mo., 09.03.2026, 9:00 Uhr",
          "- Überlandfahrt: war für Mo, 09.03. geplant, muss ich leider verschieben → neuer "
          "Termin Di, 10.03., 15:30–17:00 Uhr",
          "Nouveau créneau : mardi 10 mars à 15 h 30\nAncien créneau : lundi 9 mars à 9 h",
          // ... keeping its time.
          "Priya: the dry run is Monday 9 March, 15:30–16:30 in Teams.\nTom: Monday clashes with "
          "the board, can we do Tuesday?\nPriya: OK - dry run moved to Tuesday 10 March, same "
          "time.",
          // A later message moves what it names.
          "Tech week:\n• Load-in: Mon, Mar 9, 9 AM – 4 PM\n\nSchedule change, sorry all. Load-in "
          "moves to Tuesday Mar 10, 3:30 – 10 PM.",
          "EVENT RESCHEDULED\nNew date: Tue, Mar 10, 2026 • 3:30 PM\n"
          "Originally scheduled: Mon, Mar 9, 2026",
          // An answer of two words opens the line, not a day called off.
          "No worries. I'm away Monday, so that won't work either. Let's do Tuesday, March 10 at "
          "3:30 PM."}) {
        const auto drafts = read(text);
        ASSERT_EQ(drafts.size(), 1u) << text;
        EXPECT_EQ(drafts[0].startDate, "2026-03-10") << text;
        EXPECT_EQ(drafts[0].startTime, "15:30") << text;
    }
    // In German the verb that moves it ends the sentence; the place to meet is named after
    // "Treffpunkt".
    const auto site = read("[02.03.26, 08:12] Jana: Die Begehung mit dem Statiker ist am "
                           "Donnerstag, 12.03., um 10:00 Uhr.\n[02.03.26, 14:47] Jana: Update: Die "
                           "Begehung wird auf Freitag, 13.03., 8:30 Uhr verschoben. Treffpunkt "
                           "Baucontainer Einfahrt Nord.\n[02.03.26, 14:52] Murat: Ok, passt.",
                           *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    ASSERT_EQ(site.size(), 1u);
    EXPECT_EQ(site[0].title, "Begehung");
    EXPECT_EQ(site[0].startDate, "2026-03-13");
    EXPECT_EQ(site[0].startTime, "08:30");
    EXPECT_EQ(site[0].location, "Baucontainer Einfahrt Nord");
}

TEST(BuiltinReaderTest, AForwardedMessageMovedByTheNoteAboveItKeepsOnlyTheNewDay) {
    const auto drafts = read(
        "Subject: FW: Fire Warden Training\n\nHi Hannah,\nPlease note the training below has moved "
        "to Wednesday 18/03, 2–4pm, same room.\n\n-----Original Message-----\nSubject: Fire "
        "Warden Training\nWhen: Wednesday 11 March 2026, 9:30am – 11:30am\nWhere: Level 3 "
        "Training Room, 200 George Street, Sydney",
        *Calendar::make("Australia/Sydney", "en_AU"));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-18");
    EXPECT_EQ(drafts[0].startTime, "14:00");
    // Below a mail app's line over the message passed on, or the header of one set below the
    // note; the new day keeps the old time when the note says so.
    const std::pair<const char*, const char*> notes[] = {
        {"moved to Wednesday 11 March", "---------- Forwarded message ---------\n"},
        {"moved from Thursday to Wednesday 11 March",
         "From: Safety <safety@example.com>\nSent: Friday, 27 February 2026 4:02 PM\n"}};
    for (const auto& [note, marker] : notes) {
        const auto moved = read(
            std::string("Subject: FW: Fire Warden Training\n\nHi team, the session has been ") +
                note + ", same time.\n\n" + marker +
                "Subject: Fire Warden Training\n\nFire Warden Training will run on Thursday "
                "12 March, 2:00–4:00 pm.",
            *Calendar::make("Australia/Sydney", "en_AU"));
        ASSERT_EQ(moved.size(), 1u) << note;
        EXPECT_EQ(moved[0].startDate, "2026-03-11") << note;
        EXPECT_EQ(moved[0].startTime, "14:00") << note;
        EXPECT_EQ(moved[0].endTime, "16:00") << note;
    }
}

TEST(BuiltinReaderTest, AForwardedMessageIsReadBelowTheNoteAboveIt) {
    // The note's sign-off ends before the forwarded header, whose subject names the event; the
    // header's date and the quoted earlier message give no events.
    const auto drafts = read("Hi Sam,\n\nCan you cover this one for me?\n\nCheers,\nPriya\n\n"
                             "-------- Original Message --------\n"
                             "From: Lena Ross <lena@harbourworks.example>\n"
                             "Sent: Friday, February 27, 2026 4:10 PM\n"
                             "Subject: Supplier onboarding call – updated\n"
                             "To: Ops Team <ops@harbourworks.example>\n\n"
                             "Hello everyone,\n\n"
                             "We are now meeting on Tuesday 10 March, 11:00–11:45, in the Blue "
                             "Room.\n\n"
                             "Lena\n\n"
                             "> Supplier onboarding call: Monday 9 March, 15:00, Blue Room.\n"
                             "> Lena");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Supplier onboarding call");
    EXPECT_EQ(drafts[0].startDate, "2026-03-10");
    EXPECT_EQ(drafts[0].startTime, "11:00");
    EXPECT_EQ(drafts[0].endTime, "11:45");
    // ... also set below "On … wrote:" without its marks.
    const auto answered =
        read("Hi Liam,\n\nwe've moved Biscuit's visit to Thursday, March 12 at 4:40 PM.\n\n"
             "On Mon, Mar 2, 2026 at 3:12 PM Bedford Vets <desk@bedfordvets.example> wrote:\n\n"
             "This is a confirmation of the following appointment:\n"
             "Date/Time: Tuesday, March 10 at 10:20 AM\n"
             "Heartworm prevention season starts June 1.");
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].startDate, "2026-03-12");
    // ... or below "-----Ursprüngliche Nachricht-----".
    const auto below = read("Sehr geehrte Frau Wessels,\n\nwir haben den Termin verlegt.\n\n"
                            "Neuer Termin: Di., 10.03.2026, 7:30 bis 10:00 Uhr\n\n"
                            "-----Ursprüngliche Nachricht-----\nVon: Katrin Wessels\n"
                            "Betreff: Re: Wartungstermin\n\nam 5.3. bin ich leider auf "
                            "Dienstreise.\n\n> folgenden Termin vorgesehen: Do., 5.3.2026, "
                            "zwischen 12 und 16 Uhr.",
                            *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].startDate, "2026-03-10");
    // A note that forwards a message passes its days on, beside the note's own.
    const auto forwarded =
        read("Objet : TR: Convocation visite médicale + entretien\n\nBonjour Camille,\n\nVotre "
             "entretien est décalé au jeudi 12 mars à 10h00.\n\n-------- Message d'origine "
             "--------\nObjet : Convocation\n\nVous êtes convoquée le mardi 10 mars 2026 à 14h20.",
             *Calendar::make("Europe/Paris", "fr_FR"));
    ASSERT_EQ(forwarded.size(), 2u);
    EXPECT_EQ(forwarded[0].startDate, "2026-03-12");
    EXPECT_EQ(forwarded[1].startDate, "2026-03-10");
    // A quoted message alone still gives its events.
    const auto quoted = read("> Team lunch: Friday 6 March, 12:30, The Anchor");
    ASSERT_EQ(quoted.size(), 1u);
    EXPECT_EQ(quoted[0].startDate, "2026-03-06");
}

TEST(BuiltinReaderTest, AnAppointmentIsNamedByThePracticeItIsAt) {
    const auto drafts = read("Subject: Upcoming appointment reminder\n\nHi Jessica,\n\n"
                             "Appointment: 10/03/2026 at 10:20 AM\n\nAspen Ridge Animal Hospital\n"
                             "2250 Pearl St, Boulder, CO 80302");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Aspen Ridge Animal Hospital");
    // ... or by whom it is with, where the practice's name says so.
    const auto dental = read("Hi Olivia,\n\nPatient: Olivia Makris\nDate: Thursday 12/03/2026\n"
                             "Time: 3:45pm\n\nHarbourside Smiles Dental\n"
                             "Shop 4, 112 Military Road, Neutral Bay");
    ASSERT_EQ(dental.size(), 1u);
    EXPECT_EQ(dental[0].title, "Dentist appointment");
    // Whose it is and that it comes are no part of a name.
    const auto named = read("Subject: Your dental check-up\n\nTuesday 10 March at 9:00");
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].title, "Dental check-up");
}

TEST(BuiltinReaderTest, TheDaysOfACourseAreNamedByTheCourseAndTheirDay) {
    // "16 h 30" is a 24-hour clock, so the dinner break does not move the morning start to the
    // evening; a registration's confirmation before the dash names nothing.
    const auto drafts =
        read("Objet : Confirmation d'inscription – Secourisme en milieu de travail\n\n"
             "Jour 1 : samedi 7 mars 2026, de 8 h 30 à 16 h 30\n"
             "Jour 2 : samedi 14 mars 2026, de 8 h 30 à 16 h 30\n"
             "(pause dîner de 45 minutes – apportez votre lunch)");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Secourisme en milieu de travail (Jour 1)");
    EXPECT_EQ(drafts[1].title, "Secourisme en milieu de travail (Jour 2)");
    for (const EventDraft& day : drafts) {
        EXPECT_EQ(day.startTime, "08:30");
        EXPECT_EQ(day.endTime, "16:30");
    }
    // A single labelled day is no series.
    const auto one = read("Workshop on soldering\nDay 1: Saturday 7 March, 9:00–12:00");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].title.find("(Day 1)"), std::string::npos);
}

TEST(BuiltinReaderTest, TimesAboveAListOfDaysHoldForEachDayWithoutItsOwn) {
    const auto drafts = read("SUMMER CONCERTS\n\nThursdays · 7:00 – 8:30 PM\nKellogg Park\n\n"
                             "MARCH 12   The Porch Lights\nMARCH 19   Motor City Horns\n"
                             "MARCH 26   Brass Band (+ kids' petting zoo at 6:15)\n"
                             "APRIL 2    Jazz Trio, 6 PM");
    ASSERT_EQ(drafts.size(), 4u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(drafts[k].startTime, "19:00") << drafts[k].title;
        EXPECT_EQ(drafts[k].endTime, "20:30") << drafts[k].title;
    }
    EXPECT_EQ(drafts[3].startTime, "18:00");
    // So they do for rows set apart, each opening with its day, below and beyond a row with a
    // time of its own.
    const auto season = read("FILM SOCIETY\n\nThursdays at 8pm\nThe Loft Cinema\n\n"
                             "12 MAR   THE SALT ORCHARD\n         dir. A. Brennock · 98 min\n\n"
                             "26 MAR   DOUBLE BILL — early start 7pm!\n\n"
                             "9 APR    NIGHT FERRY\n         dir. M. Ilves · 112 min");
    ASSERT_EQ(season.size(), 3u);
    EXPECT_EQ(season[0].startTime, "20:00");
    EXPECT_EQ(season[1].startTime, "19:00");
    EXPECT_EQ(season[2].startTime, "20:00");
    // A weekly meeting's times hold for its days however far below, past an aside in brackets
    // and a row called off, even after a day that is no session.
    const auto course = read("From: Mireille Thibodeau\nDate: Mon, Mar 2, 2026 at 4:12 PM\n"
                             "Subject: French for Travellers (note March 17)\n\nBonjour à "
                             "tous,\n\nWelcome to the course!\nA few practical things:\n\n"
                             "WHEN & WHERE\nTuesdays, 6:30 - 8:30 p.m.\nKingsway Hall, Room 214\n"
                             "(Evening parking in Lot C is free after 5 p.m.)\n\nSCHEDULE\n"
                             "Session 1 - Tues. March 10 - Greetings\n"
                             "Session 2 - Tues. March 17 - ** CANCELLED **\n"
                             "Session 3 - Tues. March 24 - At the café");
    ASSERT_EQ(course.size(), 2u);
    EXPECT_EQ(course[0].startDate, "2026-03-10");
    EXPECT_EQ(course[1].startDate, "2026-03-24");
    for (const auto& session : course) {
        EXPECT_EQ(session.startTime, "18:30") << session.title;
        EXPECT_EQ(session.endTime, "20:30") << session.title;
    }
    // Times in brackets on a line that leads in to the list are its own.
    const auto lessons = read("Cours de planche à neige\n\nSéances (samedis, 13 h 00 à 15 h 00) :\n"
                              "14 mars · 21 mars · 28 mars",
                              *Calendar::make("America/Toronto", "fr_CA"));
    ASSERT_EQ(lessons.size(), 3u);
    for (const auto& lesson : lessons) {
        EXPECT_EQ(lesson.startTime, "13:00") << lesson.startDate;
        EXPECT_EQ(lesson.endTime, "15:00") << lesson.startDate;
    }
}

TEST(BuiltinReaderTest, ALateCheckOutOnOfferEndsNeitherTheStayNorTheDinner) {
    const auto drafts = read("Arrival:    Friday 13 March 2026 (check-in from 3pm)\n"
                             "Departure:  Sunday 15 March 2026 (check-out by 11am)\n\n"
                             "We have reserved a table in our restaurant on Saturday 14 March at "
                             "7.30pm.\nBreakfast is served 7–10am.\n"
                             "Late check-out until 1pm can be arranged for £25.");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].startTime, "15:00");
    EXPECT_EQ(drafts[0].endDate, "2026-03-15");
    EXPECT_EQ(drafts[0].endTime, "11:00");
    EXPECT_EQ(drafts[1].startTime, "19:30");
    EXPECT_FALSE(drafts[1].endTime);
    // Nor one joined by a hyphen, as German writes it.
    const auto hamburg =
        read("Anreise:   Donnerstag, 12.03.2026\nAbreise:   Sonntag, 15.03.2026\n\n"
             "Check-in:   ab 15:00 Uhr\nCheck-out:  bis 11:00 Uhr\n"
             "Late-Check-out bis 14:00 Uhr auf Anfrage (25,00 €).",
             *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(hamburg.size(), 1u);
    EXPECT_EQ(hamburg[0].endTime, "11:00");

    // Nor does a late arrival provided for, or a time for the day before the stay.
    const auto stay = read("Anreise:  Samstag, 08.08.2026, ab 16:00 Uhr\n"
                           "Abreise:  Samstag, 15.08.2026, bis 10:00 Uhr\n\n"
                           "Bei Anreise nach 22:00 Uhr geben Sie uns bitte Bescheid.\n"
                           "Brötchen: Bestellung bis 18:00 Uhr am Vortag.",
                           *Calendar::make("Europe/Berlin", "de_DE"));
    ASSERT_EQ(stay.size(), 1u);
    EXPECT_EQ(stay[0].startTime, "16:00");
    EXPECT_EQ(stay[0].endTime, "10:00");
}

TEST(BuiltinReaderTest, AFrenchDayKeepsItsHoursBesideItsProgramme) {
    // Folded, "dès" (from) is "des" (of the): only right before a time does it start the day.
    const auto drafts = read("La fête de l'école aura lieu le samedi 14 mars, de 10 h à 16 h, "
                             "dans la cour : spectacle des enfants à 10 h 30, puis stands.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startTime, "10:00");
    EXPECT_EQ(drafts[0].endTime, "16:00");
    const auto from = read("Portes ouvertes le samedi 14 mars dès 9 h 30.");
    ASSERT_EQ(from.size(), 1u);
    EXPECT_EQ(from[0].startTime, "09:30");
}

TEST(BuiltinReaderTest, AnOvernightLegEndsOnTheDayItArrives) {
    const auto drafts = read("ALLER\nven. 13/03/2026   Marseille, Gare maritime   départ 19h30\n"
                             "sam. 14/03/2026   Ajaccio, Port de commerce   arrivée 07h00\n");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-13");
    EXPECT_EQ(drafts[0].startTime, "19:30");
    EXPECT_EQ(drafts[0].endDate, "2026-03-14");
    EXPECT_EQ(drafts[0].endTime, "07:00");
    // The day of arrival written beside its time, and a flight named by the city it goes to.
    const auto flight =
        read("Your flight times\n\nRETURN  Friday 13 March 2026\n"
             "  NA 298   Chicago O'Hare (ORD) Terminal 5  →  London Heathrow (LHR) Terminal 3\n"
             "  Departs  18:20\n"
             "  Arrives  08:35 (+1 day, Saturday 14 March)");
    ASSERT_EQ(flight.size(), 1u);
    EXPECT_EQ(flight[0].title, "Flight to London");
    EXPECT_EQ(flight[0].startTime, "18:20");
    // 08:35 in London is 03:35 in Chicago, whose clock the flight leaves by.
    EXPECT_EQ(flight[0].timeZone, "America/Chicago");
    EXPECT_EQ(flight[0].endDate, "2026-03-14");
    EXPECT_EQ(flight[0].endTime, "03:35");
    // ... its departure on the same line, and the days counted on after a plus; an arrival on
    // the day it left is no event of its own either.
    // A time that only ends something before it ("check-out by 11:00") starts no leg.
    const auto back = read("Friday 13 March 2026\nHotel check-out by 11:00\n"
                           "Nightjet 470  Zürich HB → Hamburg-Altona\n"
                           "Depart 22:35  Arrive 07:55 (+1, Saturday 14 March)");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].startDate, "2026-03-13");
    EXPECT_EQ(back[0].startTime, "22:35");
    EXPECT_EQ(back[0].endDate, "2026-03-14");
    EXPECT_EQ(back[0].endTime, "07:55");
    const auto out = read("Saturday 14 March 2026\nTrain ICE 578  Berlin Hbf → München Hbf\n"
                          "Depart 09:40\nArrive 11:05 (same day, Saturday 14 March)");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].startTime, "09:40");
    EXPECT_EQ(out[0].endTime, "11:05");
    EXPECT_FALSE(out[0].endDate);
}

TEST(BuiltinReaderTest, AnItinerarysFlightsEndInTheZoneTheyLeaveFrom) {
    // Each clock is its airport's; the arrival is told in the zone of departure, and a clock
    // that goes back arrives the next day.
    const auto drafts = read(
        "FLIGHT 1 OF 2 · OUTBOUND\nFri, Mar 13, 2026\n\nBX 117\n"
        "08:10  YYZ  Toronto Pearson Intl, Terminal 1\n10:05  YVR  Vancouver Intl, Main Terminal\n"
        "\nFLIGHT 2 OF 2 · RETURN\nSun, Mar 22, 2026\n\nBX 124\n"
        "22:45  YVR  Vancouver Intl, Main Terminal\n06:20  YYZ  Toronto Pearson Intl, Terminal 1\n",
        *Calendar::make("America/Toronto", "en_CA"));
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Flight to Vancouver");
    EXPECT_EQ(drafts[0].location, "YYZ  Toronto Pearson Intl, Terminal 1");
    EXPECT_EQ(drafts[0].timeZone, "America/Toronto");
    EXPECT_EQ(drafts[0].endTime, "13:05");
    EXPECT_FALSE(drafts[0].endDate);
    EXPECT_EQ(drafts[1].title, "Flight to Toronto");
    EXPECT_EQ(drafts[1].timeZone, "America/Vancouver");
    EXPECT_EQ(drafts[1].startTime, "22:45");
    EXPECT_EQ(drafts[1].endDate, "2026-03-23");
    EXPECT_EQ(drafts[1].endTime, "03:20");

    // An app's card stacks each clock over its airport, with the terminal between them.
    const auto card = read("RETURN  Sydney to Perth\nMon 09 Nov 2026\nCW 631\n18:40\n"
                           "Sydney (SYD)\nTerminal 2\n20:55\nPerth (PER)\nTerminal 3\n"
                           "5h 15m  Non-stop  Economy Flex\n\nWe recommend arriving at the "
                           "airport at least 90 minutes before your flight.\n",
                           *Calendar::make("Australia/Perth", "en_AU"));
    ASSERT_EQ(card.size(), 1u);
    EXPECT_EQ(card[0].title, "Flight to Perth");
    EXPECT_EQ(card[0].location, "Sydney (SYD)");
    EXPECT_EQ(card[0].timeZone, "Australia/Sydney");
    EXPECT_EQ(card[0].endTime, "23:55");
    // A row with its day and its flight's number before the route leaves from the route's start.
    const auto rows =
        read("FLIGHTS\nThu 12 Mar 2026   NZ 10   Auckland (AKL) 21:40 → Honolulu (HNL) "
             "07:25\nSat 21 Mar 2026   NZ 9    Honolulu (HNL) 13:05 → Auckland (AKL) "
             "19:50",
             *Calendar::make("Pacific/Auckland", "en_NZ"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].location, "Auckland (AKL)");
    EXPECT_EQ(rows[1].location, "Honolulu (HNL)");
    EXPECT_EQ(rows[1].timeZone, "Pacific/Honolulu");
    // A table's row without an arrow, each time followed by its airport, leaves from the first
    // and arrives at the second, the next day after "+1".
    const auto table = read("Flight    Date          Departs                        Arrives\n"
                            "BA 982    Thu 12 Mar    07:25 London Heathrow (LHR)    10:20 Berlin "
                            "Brandenburg (BER)\n"
                            "BA 983    Sat 14 Mar    21:40 Berlin Brandenburg (BER)   06:50 +1 "
                            "New York JFK (JFK)",
                            *Calendar::make("Europe/Berlin", "en_GB"));
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].location, "London Heathrow (LHR)");
    EXPECT_EQ(table[0].timeZone, "Europe/London");
    EXPECT_EQ(table[0].endTime, "09:20");
    EXPECT_EQ(table[1].location, "Berlin Brandenburg (BER)");
    EXPECT_EQ(table[1].endDate, "2026-03-15");
    EXPECT_EQ(table[1].endTime, "11:50");
    // A stop named by its code and a town without a word for a stop is a stop too.
    const auto legs = read("DEPART  ·  Fri, Mar 13, 2026\n\n  NL 402\n  06:10  YOW  Ottawa\n"
                           "  07:20  YYZ  Toronto Pearson, Terminal 1\n\n  NL 1187\n"
                           "  08:55  YYZ  Toronto Pearson, Terminal 1\n  10:32  YQT  Thunder Bay",
                           *Calendar::make("America/Toronto", "en_CA"));
    EXPECT_EQ(whens(legs),
              (std::vector<std::string>{"2026-03-13 06:10-07:20", "2026-03-13 08:55-10:32"}));
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_EQ(legs[0].location, "YOW  Ottawa");
    // A route under the day, its times on a line below, arrives at the end of the route.
    const auto dateline = read("Saturday 12 September 2026\nFlight NZ10  Auckland (AKL) → "
                               "Honolulu (HNL)\nDepart 19:40\nArrive 07:05 (same day, Saturday "
                               "12 September)\n\nSunday 13 September 2026\nHarbour tour – "
                               "pick-up 06:45\nWaikiki Shore Hotel, 2161 Kalia Road, Honolulu",
                               *Calendar::make("Pacific/Auckland", "en_NZ"));
    ASSERT_EQ(dateline.size(), 2u);
    // What happens there is on its clock.
    EXPECT_EQ(dateline[1].timeZone, "Pacific/Honolulu");
    EXPECT_EQ(dateline[0].timeZone, "Pacific/Auckland");
    EXPECT_EQ(dateline[0].endDate, "2026-09-13");
    EXPECT_EQ(dateline[0].endTime, "05:05");
}

TEST(BuiltinReaderTest, EachAppointmentKeepsItsNameAndTheLengthStatedUnderIt) {
    const auto drafts = read("Blood test\nTuesday 10 March 2026, 07:45\nDuration: 30 minutes\n\n"
                             "Results talk\nTuesday 17 March 2026, 08:15\nDuration: 15 minutes\n");
    ASSERT_EQ(drafts.size(), 2u);
    EXPECT_EQ(drafts[0].title, "Blood test");
    EXPECT_EQ(drafts[0].endTime, "08:15");
    EXPECT_EQ(drafts[1].title, "Results talk");
    EXPECT_EQ(drafts[1].endTime, "08:30");

    // One length, stated under the first of two events, is the first one's.
    const auto letter =
        read("1) ELTERNABEND\nDer Elternabend findet am\n   Di., 10.03.2026, um 19.30 "
             "Uhr\nim Klassenraum statt.\nWir rechnen mit ca. 1,5 Stunden.\n\n"
             "2) SPORTFEST\nFreitag, 13.03.2026, 8 Uhr\n");
    ASSERT_EQ(letter.size(), 2u);
    EXPECT_EQ(letter[0].endTime, "21:00");
    EXPECT_FALSE(letter[1].endTime);

    // A form's length beside its time, on the line below the day.
    const auto form = read("Patient: Olivia Makris\nDate: Thursday 12/03/2026\n"
                           "Time: 3:45pm (approx. 45 mins)\n\nPatient: Noah Makris\n"
                           "Date: Thursday 12/03/2026\nTime: 4:30pm (approx. 30 mins)\n");
    ASSERT_EQ(form.size(), 2u);
    EXPECT_EQ(form[0].endTime, "16:30");
    EXPECT_EQ(form[1].endTime, "17:00");
}

TEST(BuiltinReaderTest, LeavingOnOneDayAndReturningOnAnotherIsOneTrip) {
    auto drafts = read("The children will leave school by coach at 9.00am on Monday 11th May and "
                       "return at approximately 3.30pm on Wednesday 13th May.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-05-11");
    EXPECT_EQ(drafts[0].startTime, "09:00");
    EXPECT_EQ(drafts[0].endDate, "2026-05-13");
    EXPECT_EQ(drafts[0].endTime, "15:30");
    // Two days without a return are two events.
    drafts = read("Parents' evenings: Monday 11th May at 6pm and Wednesday 13th May at 6pm.");
    EXPECT_EQ(drafts.size(), 2u);
    // The first and last days of a span told below it, the last after a return.
    drafts = read("Wed 11 – Fri 13 Mar  Year 7 camp at Camp Raukawa.\n"
                  "                     Buses leave 8.45am Wednesday, back at school\n"
                  "                     approx. 2.30pm Friday. Gear list attached.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-11");
    EXPECT_EQ(drafts[0].startTime, "08:45");
    EXPECT_EQ(drafts[0].endDate, "2026-03-13");
    EXPECT_EQ(drafts[0].endTime, "14:30");
    // A festival's first and last days that each open at a time are days of their own.
    drafts = read("Sat 14 – Sun 15 March  Spring Fair\nOpen 10am Saturday and 11am Sunday.");
    EXPECT_EQ(drafts.size(), 2u);
}

TEST(BuiltinReaderTest, AClassVisitingAPlaceGoesOnATripThere) {
    const auto drafts = read("Dear Parents,\n\nYear 4 will be visiting the Science Museum on "
                             "Wednesday 25th March. The coach leaves at 8.45am.\n\nKind regards,\n"
                             "Mrs Thompson");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].title, "Trip to the Science Museum");
    EXPECT_EQ(drafts[0].location, "Science Museum");
}

TEST(BuiltinReaderTest, WhatMustBeHandedInByADayIsDueThatDay) {
    auto drafts = read("Dear parents,\nThe write-up must be handed in by Friday to Mr Osei.\n"
                       "Absent students should see him at 12:30 for a data pack.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-06");
    EXPECT_FALSE(drafts[0].startTime); // the time of another sentence is not its own
    drafts = read("Completed forms must be returned by 13 March.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-13");
    // A day to answer by, or one something lasts until, is no event.
    EXPECT_TRUE(read("Let me know by the 19th if you can make it.").empty());
    EXPECT_TRUE(read("The envelope must stay on my desk until Friday 13 March.").empty());
    // Beside a meeting, what must be sent in by a day is a condition of taking part.
    drafts = read("The AGM will be held on Wednesday 25 March at 7.30pm.\n"
                  "Nominations must reach the Secretary by 14 March.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-25");
}

TEST(BuiltinReaderTest, BesideTimedEventsADayToldOfInPassingIsNoEvent) {
    const std::string evening = "Parents' evening: Thursday 12 March, 4pm – 7pm, Main Hall.\n";
    auto drafts = read(evening + "We will send the booking links home on Monday 16 March.");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-12");
    // A day the sentence is about stays: one with no school, one its subject is on, and a row
    // of a list.
    for (const char* day : {"Reminder: there is no school on Friday 13 March.",
                            "Picture retakes are this Friday, March 13, in the gym.",
                            "• School photos – Friday 13 March (full uniform please)",
                            "No school on Friday 13 March (staff training day)."}) {
        drafts = read(evening + day);
        ASSERT_EQ(drafts.size(), 2u) << day;
        EXPECT_EQ(drafts[1].startDate, "2026-03-13") << day;
    }
    // Without a timed event the day is all the text has to tell.
    drafts = read("We will send the booking links home on Monday 16 March.");
    EXPECT_EQ(drafts.size(), 1u);
    drafts = read("Pas de classe du jeudi 14 mai au dimanche 17 mai inclus.",
                  *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].endDate, "2026-05-17");
}

TEST(BuiltinReaderTest, AWeekdayInAMonthIsEachSuchDayOfIt) {
    for (const char* text : {"Free yoga: every Sunday in April, 9–10am, Victoria Park",
                             "Yoga im Park: jeden Sonntag im April, 9–10 Uhr"}) {
        const auto drafts = read(text);
        ASSERT_EQ(drafts.size(), 4u) << text;
        const char* sundays[] = {"2026-04-05", "2026-04-12", "2026-04-19", "2026-04-26"};
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(drafts[k].startDate, sundays[k]);
            EXPECT_EQ(drafts[k].startTime, "09:00");
            EXPECT_EQ(drafts[k].endTime, "10:00");
        }
    }
    EXPECT_TRUE(read("Earn double points every Tuesday in April!").empty());
    // A day called off elsewhere in the text, in a sentence that runs on into the next line, is
    // none of them.
    const auto singing = read("Offenes Singen\njeden Dienstag im April\n19:00 – 20:30 Uhr\n\n"
                              "ACHTUNG: Am 14. April (nach Ostern)\nentfällt das Singen!",
                              *Calendar::make("Europe/Vienna", "de_AT", Weekday::monday));
    std::vector<std::string> days;
    for (const EventDraft& d : singing) {
        days.push_back(d.startDate);
    }
    EXPECT_EQ(days, (std::vector<std::string>{"2026-04-07", "2026-04-21", "2026-04-28"}));
    // "supprimée": called off in French.
    const auto rehearsal = read("Répétition le mercredi 4 mars de 17h15 à 17h35.\n"
                                "⚠ La répétition générale du samedi 7 mars, annoncée dans le "
                                "calendrier, est supprimée.",
                                *Calendar::make("Europe/Paris", "fr_FR", Weekday::monday));
    ASSERT_EQ(rehearsal.size(), 1u);
    EXPECT_EQ(rehearsal[0].startDate, "2026-03-04");
    // A time called off on a day leaves the day's other times.
    const auto ferry = read("The 1:00 pm sailing on Friday 13 March has been cancelled.\n\n"
                            "New sailing: Friday 13 March, 3:10 pm");
    ASSERT_EQ(ferry.size(), 1u);
    EXPECT_EQ(ferry[0].startTime, "15:10");
}

TEST(BuiltinReaderTest, DaysThatAreNoEvents) {
    // A message's header, a deadline, a day gone by, a weather list, a receipt's time stamp.
    const char* texts[] = {
        "From: Ben <ben@example.com>\nSent: Monday, March 2, 2026 8:12 AM\nTo: Team\n"
        "Subject: Notes\n\nThanks for yesterday.",
        "Please reply by 15 March.",
        "The bridge was closed on 3 February 2026.",
        "Monday: Sunny\nTuesday: Rain\nSunset 6:02 PM",
        "SHOP 17\n02/03/2026 08:41\nBread 2.10\nTOTAL 2.10",
        // A table of each day's prayer times, a column each.
        "Date   Day  Fajr  Sunrise  Zuhr   Asr   Maghrib  Isha\n"
        "10 Mar Tue  5:04   6:44  12:22   3:48   5:58   7:26\n"
        "11 Mar Wed  5:01   6:42  12:22   3:49   6:00   7:28",
        // A calendar's day with nothing on it.
        "Thursday, 12 March\n          No events",
        "THU 12\n  Nothing planned. Tap to create.",
        "Round 10 · Sat 14 Mar\nNo games – King's Birthday long weekend",
        // When an office is open, week after week.
        "Permanence du secrétariat : lundi et jeudi de 9h à 11h30",
        "Sprechzeiten: Montag und Donnerstag 9–11 Uhr",
        // Days of a list gone by a fortnight ago, as their month is.
        "At the Sand Cup on 14 and 15 February the club won three golds.",
        // A shop's sale, as its mailing tells it.
        "SPRING SALE – 30% off everything!\nStarts Friday 13 March at 9am, ends Sunday 15 March at "
        "midnight.\nMembers get early access from Thursday 12 March, 6pm.\nShop now at "
        "example.com",
        // A troop's week without a meeting.
        "Sun 15 March – No meeting (spring break)",
        // A tide table's day, each reading on a line of its own.
        "Tides · Galway Bay\n\nSat 14 Mar\nLow    00:21   1.0 m\nHigh   06:30   4.8 m\n"
        "Low    12:46   0.9 m",
        // A poster's sentence broken before the day to act by.
        "Need to reschedule? Call us or reply to this email no later\nthan 5:00 PM CT on "
        "Tuesday, 3/17. Changes made after that may incur a fee.",
        "RAIN OR SHINE\nPre-registration required by\nFri. March 13 at example.org/hhw",
        // A booking's terms of cancelling, as an app shows them beside its button.
        "[ Stornieren ]  kostenlos bis Di 10.03., 18:00",
        // A day declined.
        "Sorry, the slot on Thursday 12 March at 12:30 won't work for me.",
        // When the booking of an event closes.
        "Bookings close Wed 11 Mar, 5:00 pm",
        "Clôture des réservations : mercredi 11 mars à 12h00",
        // A bill's rough and effective days, and when the next statement comes.
        "Your next scheduled meter read: on or about Mar 12, 2026",
        "The new rate applies with effect from 1 April 2026.",
        "Relevé de compte\nProchain extrait : 31.03.2026",
        // A car park's ticket, read on the way in and out, and the stay it was paid for.
        "CITYPARK\nEntry:    02/03/2026 06:14\nExit:     02/03/2026 08:52\nDuration: 2h 38m\n"
        "Amount paid: £6.50",
        // Today's date at a circular's head is when it was written.
        "Hillview School\nCircular No. 47      Date: 02/03/2026\n\nDear Parents,\nplease note "
        "the new lunch menu.",
        "No rehearsal on 12 March.",
        // The header of a mail set below its subject, its sender written with a mail address.
        "Invitation: Audit readout\n\nFrom: Priya <priya@millrace.example.com>\nTo: Dana "
        "<dana@example.com>\nDate: Mon, Mar 2, 2026 at 10:31 AM\n\nSee you there.",
        // A booking whose status says it was called off, above all its days.
        "←  Booking Details\n  ● CANCELLED          Refund credited ✔\n  SBC  ──────▶  MAS\n"
        "  Sat, 14 Mar 2026        Sat, 14 Mar 2026\n  06:10                   11:45",
        "Your table\nStatus: Cancelled\nFriday 13 March 2026, 19:30 – 4 guests",
        // ... or its heading, whatever it offers instead.
        "✕                                             Help\n\n              Booking cancelled\n"
        "  The Copper Kettle\n  Sat 14 Mar · 19:30 · 4 people\n\n"
        "  Changed your mind? Tables still available on Sat 14 Mar:\n   18:00    18:15    21:00",
        // The day the clocks change.
        "Daylight saving starts at 2:00 am on Sunday 29 March – clocks go forward one hour.",
        "Reminder: the UK moves its clocks forward on 29 March.",
        "(no lesson on 12 March – half term)",
        "Spielplan\nSa. 14.03.  spielfrei (Osterferien)",
        "Week of March 9\nHello families,",
        "Dr. Feldman is no longer available on Tuesday, March 10 at 2:00 PM.",
        "Your order has shipped!\nEstimated delivery: Thursday, March 12 – Saturday, March 14",
        "Bitte gebt bis zum 12. März Bescheid, ob ihr dabei seid.",
        "The choir concert on Friday 13 March at 7pm is cancelled.",
        "Training cancelled on Saturday 14 March (pitch frozen).",
        "Platz 5 · Einzel – storniert am 12.03. (Regen)",
        "📢 Platzpflege: Plätze 1–4 am Mo 09.03. bis 12 Uhr gesperrt",
        "Wegen Krankheit im Team muessen wir Ihren Termin am 09.03. um 8 Uhr leider verschieben.",
        "+++ Frühlingsempfang entfällt +++\nDer für Sonntag, 15. März geplante Empfang muss "
        "wegen der Sanierung\ndes Vereinsheims leider ausfallen.",
        // Outside what the reader booked, said on the day's line or on over the next.
        "ℹ Networking Dinner (Wed 11 Mar, 18:30, Skyline Terrace) is\n  not included in your "
        "Standard Pass. Upgrade in the app.",
        "Pre-conference workshops (Thu, 12 Mar, 2:00 – 5:30 PM) are NOT part of your pass.",
        "Summer hours: Mon–Sat 9am–8pm, Sun 11am–5pm",
        "Öffnungszeiten: Di–So 10–18 Uhr, Donnerstag bis 20 Uhr",
        // Below a form whose labels repeat ("With:" twice), the hours are still the hours.
        "With: Dr Priya Raman\n\nWith: Jess Tran\nHours: Mon–Fri 8am–6pm, Sat 8am–1pm",
        "CITY PHARMACY\nIBUPROFEN 400 MG\nFILLED: 03/03/2026   REFILLS: 1\n"
        "DISCARD AFTER: 03/03/2027",
        "Fresh milk\nBest before: 12.03.2026",
        "Free cancellation until 11:59 pm (property local time) on 10 March 2026.",
        "Please RSVP by 5pm on Friday 6 March.",
        "Please comment on the deck by EOD Tuesday 3/10.",
        "Could you please confirm by end of day Wednesday, March 11?",
        "Les dossiers sont à nous remettre au plus tard le vendredi 6 mars.",
        "Order #GP-44-18203957 • Placed Mar 1, 2026",
        "Booking made on 2 Mar 2026 · Unsubscribe",
        "Angeschlagen am 2.3.2026",
        "Total paid: CHF 212.60 · Paid by Visa ****4471 on 02.03.2026",
        "Balance £410.00 – taken automatically from your card on 23/03/2026",
        // A warehouse shut, and the last pick-ups before it.
        "3. CNY stock build – note the SG warehouse is closed 25–28 Mar, so last pick-ups for "
        "CNY orders are on 23 Mar",
        "Your parcel is on its way\n\nExpected delivery\nTue 10 Mar, 10:15 – 12:15",
        "Wet weather? Check our page by 3pm on the day — postponement date Sun 15 March.",
        "Coupon: $10 off. Valid 3/20/2026 - 3/31/2026 on purchases of $50+",
        "Ihre Bestellung Nr. 302-5581942 wurde am 10. März 2026 versandt.",
        "Voraussichtliche Zustellung: Freitag, 13. März 2026, zwischen 10:00 und 14:00 Uhr",
        "Your order was dispatched on 9 March 2026.",
        "Full line-up & stage times announced 20 March",
        "Booking reference: QX7RTM\nBooked on: Thu 5 Mar 2026",
        "Reference:       BB-2611-0487\nBooked on:       12/03/2026",
        "Gebucht am: 12.03.2026",
        "Sat 12th was honestly the best night of the year.",
        "ANCIEN RENDEZ-VOUS (annulé)\nmardi 17 mars 2026, entre 8 h et 12 h",
        "Bezahlt mit Kreditkarte (Visa **** 4471) am 02.03.2026",
        "Anmeldeschluss für alle AGs ist Fr., 13.03.!",
        "Redaktionsschluss für die Ausgabe 2/2026: Montag, 16. März 2026.",
        // A day kept in reserve, named at the end of the line above.
        "Heats run all morning, finals after lunch. Postponement day\n    Fri 13 Mar",
        // ... and the last day to do something, named there too.
        "Sollten Sie verhindert sein, melden Sie sich bitte bis spätestens\nFreitag, 13. März, "
        "direkt beim Rauchfangkehrer.",
        "Elles peuvent être adressées par écrit au Collège communal jusqu'au\n20 mars 2026 à 12h.",
        "The deadline for entries is Friday 13 March.",
        "The last day to withdraw with a full refund is Friday, March 13 (through the office).",
        "Closing date for entries: Friday 13 March.",
        "La date limite d'inscription est le vendredi 13 mars, dernier délai le 12 mars.",
        "Erstattung/Umtausch bis einschl. 10.03.2026 gegen Entgelt von 10 € möglich",
        "Bestellnummer: 4471-22\nVersanddatum: 12.03.2026",
        "Unser Büro bleibt während der Betriebsferien vom 20.07. bis 07.08.2026 geschlossen.",
        "Don't miss our spring season: booking opens for Friends on 12 March 2026.",
        "Der Vorverkauf beginnt am 12. März 2026 um 10 Uhr.",
        "TIX $28 + BF\nPRESALE MON 16 MAR 10AM",
        "If that slot doesn't work, I can also offer Friday, March 13 at 2:00 p.m.",
        "Si ce créneau ne vous convient pas, je peux aussi vous proposer le vendredi 13 mars à "
        "14 h.",
        "You're on direct debit, so we'll take $412.36 from your account ending 662 on "
        "30/03/2026.",
        "Votre colis a été expédié le 9 mars 2026.",
        "Hinweis zum Datenschutz: Ihre Anmeldedaten werden am 31.03.2026 gelöscht.",
        "Your details will be deleted on 31 March 2026.",
        "Subject: Important: Revision to your Home Fibre plan charges wef 10 Mar 2026",
        "Contract start: 15/03/2025\nContract end: 14/03/2027",
        "Räben gibt es vor Ort für Fr. 4.– pro Stück (Mitglieder Fr. 3.–).",
        "You may terminate your service by submitting a request no later than 13 March 2026.",
        "Billing period: Feb 1, 2026 – Feb 28, 2026\nStatement date: March 3, 2026\n"
        "Due date: March 24, 2026\n\nQuestions? Call 1-800-555-0199, Mon–Fri 7am–7pm.",
        "Rechnungsbetrag: 84,20 €\nFällig am: 24.03.2026",
        "In case of rain, Sports Day will move to Friday 20 March.",
        "Bei schlechtem Wetter weichen wir auf Sonntag, 22. März aus.",
        "Loyer : 1 150 € / mois\nDisponible à partir du 1er avril 2026",
        "2-bed flat, unfurnished. Available from 1 April 2026.",
        "Wohnung frei ab 1. April 2026, Kaltmiete 980 €",
        "USAGE HISTORY (kWh)\nMar 25   812 | Apr 25   590 | May 25   544 | Jun 25   701",
        "So sorry, but we have to cancel your Sat 3/14 11:00 AM appt.",
        "Her next openings are Tue 3/10 at 6:15 PM or Thu 3/12 at 10:00 AM.",
        "Hi Mr Goh, available slots with Dr Lim: Thu 12/03 8:40AM",
        "Reply 1 for Tuesday at 6:15 PM, 2 for Thursday at 10 AM.",
        "Your first bill will arrive around March 20.\nQuestions? Call us 7 AM – 10 PM CT.",
        "Nantes, le 2 mars 2026\n\nClasses de CE1 et CE2\n\nChers parents,",
        "Anmeldeschluss: 31. März 2026",
        "• Anmeldezeitraum 2. PZR (Wiederholungsprüfungen): 16.03.–27.03.2026",
        "Registration period: 16–27 March 2026",
        "Contract period:  2026/09/01 – 2027/08/31",
        "Die Fallstudie schicken wir Ihnen spätestens am 18.03. zu.",
        "Votre prochain extrait sera établi le 31/07/2026.",
        "  Option                 Ja   Wenn nötig   Nein\n  Fr, 13.03.2026         11        4"
        "        11\n  Sa, 14.03.2026  ★      14        3         9",
        "Next scheduled reading: on or around 02 Dec 2026 (actual)",
        "Payment:          Debit order\nStatus:           PAID · 2026/03/12",
        "Good to know\n• Club hours: Mon–Fri 05:00–21:00 · Sat 07:00–17:00",
        "Pendant les congés d'automne (du 24/10 au 01/11) : aussi ouvert le lundi.",
        "5 x S$29.00 (weekend rate)  S$145.00\nPromo MAR20                 -S$14.50",
        "Die Verrechnung erfolgt mit der nächsten Abgabenvorschreibung\n(Fälligkeit 15.05.2026).",
        "Die Turnstunden fallen während der Fasnachtsferien (21.3.–5.4.) aus.",
        "Mein Vorschlag: Freitag, 6.3., ab 16 Uhr im Stadtpark?\nWetter: Gewitter. Der Freitag "
        "fällt aus!!",
        "Fixtures\nSat 14 Mar   No match – county cup weekend",
        "Kurstermine\n   Do, 12. März – KEIN KURS (Semesterferien)",
        "Fixtures\nSat 14/3    ---------- BYE (no game) ----------",
        "OTHER DATES\nMon 9 Mar - Public holiday (Commonwealth Day), NO practice",
        "Newsletter – Friday 6th March 2026\n\nDear Parents and Carers,",
        "St. Mark's Church — Weekly Bulletin, Sunday, March 8, 2026\n\nWelcome to all our "
        "visitors!",
        "Take 30% off every rain shell through Sunday, March 8 at 11:59 PM PT.",
        "Subject: EVENT CANCELLED: The Marlow Sisters – full refund issued\n\nThe event below "
        "has been cancelled.\n\n  THE MARLOW SISTERS\n  Sat, Mar 21, 2026 · Show 8:00 PM\n"
        "  The Rio Hall, 1660 E Broadway, Vancouver",
        // ... even where they only hope to set a new date.
        "Subject: Event cancelled – your refund is on its way\n\nHarbour Lights\nSat, Mar 21, "
        "2026 · 7:30 PM\n\nThe organizer hopes to reschedule later in the year. If a new date "
        "is announced, you will get first access.",
        "Current certificate expiry date: 21/05/2026",
        "Date d'expiration : 30/06/2026",
        "Late cancellations (after 10:15 AM Thu, Mar 12) forfeit the deposit.",
        "Kostenlose Stornierung bis Freitag, 13.03.2026, danach 80 %.",
        "Anzahlung 30 % (330,30 €) – erhalten am 02.03.2026, vielen Dank.",
        "Der Restbetrag von 770,70 € wird am 08.07.2026 automatisch von Ihrer Kreditkarte "
        "(**** 4418) abgebucht.",
        "Letzte Monatsrate (CHF 89.00): Belastung am 01.12.2026",
        "Die Kursgebühr wird (Mandatsreferenz VHS-104-22871) frühestens am 01.04.2026 von Ihrem "
        "Konto\neingezogen.",
        "Von 28. bis 30. Dezember Parteienverkehr nur vormittags (8-12 Uhr).",
        "Our opening hours over Easter: Saturday 4 April, 9am – 1pm.",
        "Accueil : lundi au vendredi, 13 h 30 – 19 h ; samedi 9 h – 12 h",
        "The church office will be closed Monday, March 9.",
        "In den Osterferien (29.03.–09.04.2026) ist die Geschäftsstelle geschlossen.",
        "Der Termin am Dienstag, 10.03.2026 (Fastnacht) muss leider entfallen.",
        "• Kurabgabe: 2,80 € pro Nacht (Hauptsaison 01.05.–30.09.)",
        "High season: 1 July – 31 August, £120 per night",
        "Our call centre will be closed on Monday 9 March (Bank Holiday).",
        "Kindly note: our offices close for the festive season from 18 December 2026\nand reopen "
        "on Monday, 11 January 2027.",
        "Plan: Family 2 TB · $9.99/mo\nNext billing date: 03/12/2026\nMember since 04/18/2019",
        "Ce courriel a été envoyé le 12 mars 2026 à l'adresse anne@example.ca.",
        "This email was sent on 12 March 2026 to anne@example.com.",
    };
    for (const char* text : texts) {
        EXPECT_TRUE(read(text).empty()) << text;
    }
    // A shop, restaurant or carrier saying when it is shut tells its customers when not to
    // come; the days of a list after an abbreviated month ("Dec. 25, Dec. 26") are in the
    // same sentence.
    for (const char* text :
         {"Your table for 6 is booked for Friday 13 March at 7:45pm.\n\nPlease note we are "
          "closed from 24 March until 2 April inclusive. Happy Easter!",
          "Your table for 6 is booked for Friday 13 March at 7:45pm.\n\nEaster hours\nOur "
          "depots are closed Mar. 25, Mar. 26 and Apr. 6.",
          "Vernissage le vendredi 13 mars 2026 à 19h45.\nFermé les jours fériés (Vendredi-Saint "
          "3 avril et lundi de Pâques 6 avril).",
          "Your review is on Friday 13 March at 10.40am.\n\nPlease note the practice will "
          "close at 1pm on Wednesday 25 March for staff training."}) {
        const auto booking = read(text);
        ASSERT_EQ(booking.size(), 1u) << text;
        EXPECT_EQ(booking[0].startDate, "2026-03-13");
    }
    // A delivery booked for a window, unlike a parcel's expected one, is kept.
    const auto booked = read("DELIVERY\nTuesday 10 March 2026\nWindow: 11:00am – 3:00pm");
    ASSERT_EQ(booked.size(), 1u);
    EXPECT_EQ(booked[0].startTime, "11:00");
    // A sentence that calls something off says nothing of the new day below it.
    const auto moved = read("Das Busunternehmen hat kurzfristig abgesagt.\n"
                            "NEUER TERMIN: Di., 10.03.2026, 8 Uhr");
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].startDate, "2026-03-10");
    // A subject that calls the event off says nothing of the day it is moved to.
    const auto rescheduled = read("Subject: Class cancelled\n\nThe class is rescheduled to "
                                  "Friday 13 March, 6pm.");
    ASSERT_EQ(rescheduled.size(), 1u);
    EXPECT_EQ(rescheduled[0].startDate, "2026-03-13");
    // A fixture list read one cell to a line: the round without a match gives nothing.
    const auto fixtures = read("DATE\nOPPONENT\nKICK-OFF\nSat 7 Mar\nAshby Rovers\n10:30\n"
                               "Sat 14 Mar\nBYE\n-\nSat 21 Mar\nHinckley Town\n11:00");
    ASSERT_EQ(fixtures.size(), 2u);
    EXPECT_EQ(fixtures[0].startDate, "2026-03-07");
    EXPECT_EQ(fixtures[1].startDate, "2026-03-21");
    // A day without school, unlike one without practice, is the reader's.
    const auto noSchool = read("OTHER DATES\nMon 9 Mar - Public holiday (Commonwealth Day), no "
                               "school");
    ASSERT_EQ(noSchool.size(), 1u);
    EXPECT_EQ(noSchool[0].startDate, "2026-03-09");
    // The last day of something, unlike the last day to do it, is the reader's.
    const auto lastDay = read("The last day of term is Friday 13 March.");
    ASSERT_EQ(lastDay.size(), 1u);
    EXPECT_EQ(lastDay[0].startDate, "2026-03-13");
    // Other dates offered to whoever cannot come on their own.
    EXPECT_TRUE(read("Can't make it? Other clinic dates are Apr 20 (Plant 3, 5:30-8:00 AM) and Apr "
                     "28 (Building 1, 11:00 AM-2:00 PM).",
                     *Calendar::make("America/Chicago", "en_US"))
                    .empty());
}

TEST(BuiltinReaderTest, TextsItCannotReadGiveNothingInBoundedTime) {
    EXPECT_TRUE(read("").empty());
    EXPECT_TRUE(read("会議は金曜日の午後三時から本社の第二会議室で行います。").empty());
    EXPECT_TRUE(read("Встреча в пятницу в три часа").empty());
    EXPECT_TRUE(read(std::string(200000, '\xff')).empty());
    // A megabyte: only its start is read, so its events are those of the start.
    std::string huge = "Choir practice\nWednesday 11 March, 7:30pm\n";
    while (huge.size() < (1u << 20)) {
        huge += "Lorem ipsum 12:30 dolor 14. März, sit amet 3/4 at 5pm.\n";
    }
    const auto drafts = read(huge);
    ASSERT_FALSE(drafts.empty());
    EXPECT_LE(drafts.size(), 40u);
    EXPECT_EQ(drafts[0].startDate, "2026-03-11");
}

TEST(BuiltinReaderTest, TheEngineIsAlwaysReadyAndStopsWhenAsked) {
    BuiltinReader engine;
    EXPECT_EQ(engine.source(), EventFinder::Source::builtinReader);
    EXPECT_TRUE(engine.status().available);
    engine.prewarm(kNow, kBerlin, {});
    std::stop_source stop;
    auto result = engine.events("Lunch tomorrow at 1pm", kNow, kBerlin, stop.get_token());
    ASSERT_EQ(result.drafts.size(), 1u);
    EXPECT_FALSE(result.failure);
    stop.request_stop();
    result = engine.events("Lunch tomorrow at 1pm", kNow, kBerlin, stop.get_token());
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.drafts.empty());

    // Calendars copied to threads read the same text alike.
    std::vector<EventDraft> a;
    std::vector<EventDraft> b;
    std::thread one([&a] { a = read("Quiz night, Friday 6 March at 8pm", Calendar(kBerlin)); });
    std::thread two([&b] { b = read("Quiz night, Friday 6 March at 8pm", Calendar(kBerlin)); });
    one.join();
    two.join();
    EXPECT_EQ(a, b);
    ASSERT_EQ(a.size(), 1u);
}

TEST(BuiltinReaderTest, DraftsBecomeTheSuggestionsTheTextMeans) {
    const std::string text = "Parents' meeting\nTuesday 10/3 at 6pm\nSchool library";
    const auto suggestions = EventSuggestion::suggestions(read(text), kNow, kBerlin, text);
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_EQ(suggestions[0].title, "Parents' meeting");
    EXPECT_EQ(suggestions[0].start, test::at(kBerlin, 2026, 3, 10, 18, 0));
    EXPECT_EQ(suggestions[0].end, test::at(kBerlin, 2026, 3, 10, 19, 0));
    EXPECT_EQ(suggestions[0].location, "School library");
}

} // namespace
} // namespace plannery
