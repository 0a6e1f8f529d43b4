#include "finder/DateReading.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

// Thursday, 5 March 2026.
struct Reading {
    Calendar calendar;
    ReaderDays days;
    DateReader reader;

    explicit Reading(const char* locale = "en_GB", bool dayFirst = true)
        : calendar(*Calendar::make("Europe/Berlin", locale)),
          days(calendar, test::at(calendar, 2026, 3, 5, 10, 0)), reader(days, dayFirst) {}

    std::vector<DateMention> read(const char* text) const {
        const auto lines = readLines(text);
        return lines.empty() ? std::vector<DateMention>{} : reader.read(lines[0]);
    }
    std::string first(const char* text) const {
        const auto dates = read(text);
        return dates.empty() ? "-" : ReaderDays::key(dates[0].day);
    }
};

TEST(DateReadingTest, WrittenDaysInEnglishGermanAndFrench) {
    const Reading r;
    const struct {
        const char* text;
        const char* day;
    } cases[] = {
        {"Saturday, March 14th", "2026-03-14"},
        {"Sat 14 Mar 2026", "2026-03-14"},
        {"Journey date: Fri, 18-Dec-2026", "2026-12-18"},
        {"Check-in 05-Apr-2027", "2027-04-05"},
        {"the fourteenth of March", "2026-03-14"},
        {"WED, APR 08, 2026 7:00PM", "2026-04-08"},
        {"Dienstag, den 17. März 2026", "2026-03-17"},
        {"Donnerstag, 14. Jänner 2027", "2027-01-14"}, // Austrian German, read in any locale
        {"Sonntag, 7. Feber 2027", "2027-02-07"},
        {"Sa, 29.08.2026, 15:30 Uhr", "2026-08-29"},
        {"le mardi 15 septembre", "2026-09-15"},
        {"Jeudi 26 mars 2026 à 9h30", "2026-03-26"},
        {"mar. 14 avril", "2026-04-14"},
        // ... but March where a number follows alone, however French shortens "mardi".
        {"Dinner Mar 20 at 7pm", "2026-03-20"},
        {"Clinic on Mar. 28", "2026-03-28"},
        {"Sept 3", "2026-09-03"},
        {"2026-03-14T10:00", "2026-03-14"},
        {"23/02/2026", "2026-02-23"},
        {"am 24.04. von 10:00", "2026-04-24"},
        {"am 24.02. von 10:00", "2027-02-24"}, // this year's has passed
        {"on the 15th at 6pm", "2026-03-15"},
        {"Friday the 15th", "2026-05-15"}, // the next 15th that is a Friday
        {"January 12", "2027-01-12"},      // the next such day
        {"Thursday, March 5", "2026-03-05"},
        {"Right, Wednesday 18th it is then!", "2026-03-18"},
        // A bare number after a weekday and its article, as Quebec writes it.
        {"le déménagement c'est DIMANCHE le 29, pas samedi", "2026-03-29"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(r.first(c.text), c.day) << c.text;
    }
}

TEST(DateReadingTest, NumericOrderFollowsTheLocaleUnlessTheNumbersOrWeekdayTellOtherwise) {
    const Reading us("en_US", false);
    const Reading uk("en_GB", true);
    EXPECT_EQ(us.first("on 3/7 at 9am"), "2026-03-07");
    EXPECT_EQ(uk.first("on 3/7 at 9am"), "2026-07-03");
    EXPECT_EQ(us.first("on 25/3"), "2026-03-25");   // 25 can only be the day
    EXPECT_EQ(uk.first("Wed 10/14"), "2026-10-14"); // 14 can only be the day
    // Friday 3 April or Saturday 4 March 2027? The weekday decides.
    EXPECT_EQ(us.first("Fri 3/4"), "2026-04-03");
    EXPECT_EQ(us.first("14.03.2026"), "2026-03-14"); // dots are written day first
    // A row's day before its colon, and a day something is due by, are days too.
    EXPECT_EQ(us.first("Tue 3/17: PTA meeting, 6:30 PM"), "2026-03-17");
    EXPECT_EQ(us.first("order photos online by 3/10"), "2026-03-10");
    EXPECT_EQ(us.first("forms due 3/20"), "2026-03-20");
    EXPECT_EQ(us.first("3/20: Field trip to the science museum"), "2026-03-20");
    EXPECT_EQ(us.first("- 3/24 – Spring concert, 7pm"), "2026-03-24");
    EXPECT_EQ(us.first("3/4 cup of sugar"), "-");
    EXPECT_EQ(uk.first("17/03  H  v Railway Tavern A"), "2026-03-17"); // before a column gap
    EXPECT_EQ(us.first("Last day before break is 3/27 (Fri)"), "2026-03-27");

    const auto lines = readLines("Due 25/12/2026\nParty 3/4/2026");
    EXPECT_EQ(DateReader::numericOrder(lines), true);
    EXPECT_EQ(DateReader::numericOrder(readLines("12/25/2026")), false);
    EXPECT_EQ(DateReader::numericOrder(readLines("3/4/2026")), std::nullopt);
}

TEST(DateReadingTest, NumbersThatAreNoDates) {
    const Reading r;
    for (const char* text :
         {"Confirmation 3928.114.557", "open 24/7", "2.5 times", "Order #: 42-18377/UK",
          "1. FC Union Berlin", "Version 2.1", "Buchungsnummer: 20260601-4471", "room 2.14",
          "call 020 7946 0321", "5V⎓2A", "Dimensions: 3.6 x 2.4", "the 2nd floor", "10-12 years",
          "14.30 €", "Platz 64", "1898 e.V.", "1/2 price after 5pm"}) {
        EXPECT_EQ(r.first(text), "-") << text;
    }
    // A distance with its decimal point beside a workout's day.
    const Reading us("en_US", false);
    EXPECT_EQ(us.read("Sat 3/7   8:03 AM   Hike   6.8 mi · 2:51:10").size(), 1u);
    EXPECT_EQ(us.read("Sun 3/8   7:30 AM   Run   2.5 km").size(), 1u);
    // In English a stop after a number at the line's end ends its sentence; in German it marks
    // the day.
    EXPECT_EQ(r.first("Casual, no speeches. Finger food from 9."), "-");
    EXPECT_EQ(Reading("de_DE").first("Wir treffen uns am 9."), "2026-03-09");
    // Two numbers with an hour right after them are a day.
    EXPECT_EQ(r.first("13/03 8pm"), "2026-03-13");
    EXPECT_EQ(r.first("dinner 13/03, 20 Uhr"), "2026-03-13");
}

TEST(DateReadingTest, RelativeDaysAndWeekdays) {
    const Reading r; // Thursday 5 March 2026
    const struct {
        const char* text;
        const char* day;
        bool evening;
    } cases[] = {
        {"Coffee tomorrow at 10?", "2026-03-06", false},
        {"dinner tonight", "2026-03-05", true},
        {"morgen Abend", "2026-03-06", true},
        {"übermorgen", "2026-03-07", false},
        {"demain soir", "2026-03-06", true},
        {"après-demain", "2026-03-07", false},
        {"the day after tomorrow", "2026-03-07", false},
        {"on friday", "2026-03-06", false},
        {"this Thursday", "2026-03-05", false},
        {"next Thursday", "2026-03-12", false},
        {"next fri", "2026-03-13", false},
        {"vendredi prochain", "2026-03-06", false},
        {"Saturday's match is at 2", "2026-03-07", false},
        // A dotted clock after the weekday is no day and month.
        {"Quiz night Friday 7.30pm", "2026-03-06", false},
        {"Team lunch Friday 12.30", "2026-03-06", false},
    };
    for (const auto& c : cases) {
        const auto dates = r.read(c.text);
        ASSERT_FALSE(dates.empty()) << c.text;
        EXPECT_EQ(ReaderDays::key(dates[0].day), c.day) << c.text;
        EXPECT_TRUE(dates[0].relative) << c.text;
        EXPECT_EQ(dates[0].evening, c.evening) << c.text;
    }
    // "Morgen" as a noun, a two-letter abbreviation without its stop, the English "may".
    EXPECT_EQ(r.first("Guten Morgen"), "-");
    EXPECT_EQ(r.first("So gegen 18:30"), "-");
    EXPECT_EQ(r.first("you may bring a friend"), "-");
    EXPECT_EQ(r.first("Sat's kit is washed"), "-");
    // Whom a greeting greets: "Sam" is also a French Saturday, "Mo" a German Monday.
    EXPECT_EQ(r.first("Hi Sam, can you cover this one?"), "-");
    EXPECT_EQ(r.first("Hallo Mo, kannst du das übernehmen?"), "-");
    EXPECT_FALSE(r.read("Fri 5pm")[0].fullWeekday);
    // A weekly day with its clock names no date.
    EXPECT_EQ(Reading("de_DE").first("8 Einheiten, jeweils Donnerstag 20.15 – 21.45 Uhr"), "-");
}

TEST(DateReadingTest, ACalendarRowsWeekdayTakesTheDaySetUnderIt) {
    const Reading r; // Thursday 5 March 2026
    const auto under = [&r](const char* text) {
        const auto lines = readLines(text);
        const auto dates = r.reader.read(lines[0], &lines[1]);
        return dates.empty() ? std::string("-") : ReaderDays::key(dates[0].day);
    };
    // Under a weekday in a column of its own, a day alone in its column: the next such day on
    // that weekday, a week or a month ahead if need be.
    EXPECT_EQ(under("TUE   Dentist - Dr. Okafor\n 17   8:30 – 9:15AM"), "2026-03-17");
    EXPECT_EQ(under("THU   Book club\n  2   7 – 9PM"), "2026-04-02");
    EXPECT_EQ(under("Fri\n13"), "2026-03-13");
    // A number that goes on, or a weekday that does, is no stacked day.
    EXPECT_EQ(under("TUE   Dentist\n 17 Clark St, Chicago"), "2026-03-10");
    EXPECT_EQ(under("Tue at the dentist\n17   8:30"), "2026-03-10");
}

TEST(DateReadingTest, DaysListedBeforeTheirMonth) {
    const Reading r;
    const auto days = [&r](const char* text) {
        std::string out;
        for (const DateMention& d : r.read(text)) {
            out += (out.empty() ? "" : " ") + ReaderDays::key(d.day);
        }
        return out;
    };
    EXPECT_EQ(days("Sessions: 9, 16 and 23 March"), "2026-03-09 2026-03-16 2026-03-23");
    EXPECT_EQ(days("on 9, 16, and 23 March, then 6 April"),
              "2026-03-09 2026-03-16 2026-03-23 2026-04-06");
    EXPECT_EQ(days("les 7 et 14 mars"), "2026-03-07 2026-03-14");
    EXPECT_EQ(days("Chantilly les 1er et 2 octobre"), "2026-10-01 2026-10-02");
    EXPECT_EQ(days("Dates: Tuesday 10 and Wednesday 11 November 2026"), "2026-11-10 2026-11-11");
    // Counts and later numbers are not days of the list.
    EXPECT_EQ(days("Rooms 3 and 14 March"), "2026-03-14");
    EXPECT_EQ(days("2 adults, 20 March"), "2026-03-20");
    // A listed day has its year written where its month has.
    for (const char* text : {"les 7 et 14 mars", "les 7 et 14 mars 2026"}) {
        const auto listed = r.read(text);
        ASSERT_EQ(listed.size(), 2u) << text;
        EXPECT_EQ(listed[0].yearWritten, listed[1].yearWritten) << text;
    }
}

TEST(DateReadingTest, SpansOfDays) {
    const Reading r;
    const struct {
        const char* text;
        const char* first;
        const char* last;
    } cases[] = {
        {"July 24–26", "2026-07-24", "2026-07-26"},
        {"Fri & Sat, May 15-16", "2026-05-15", "2026-05-16"},
        {"25 – 29 May", "2026-05-25", "2026-05-29"},
        {"27. bis 31. Juli 2026", "2026-07-27", "2026-07-31"},
        {"du lundi 6 au vendredi 10 juillet 2026", "2026-07-06", "2026-07-10"},
        {"Sat, Aug 8 – Wed, Aug 12", "2026-08-08", "2026-08-12"},
        {"Montag, 21. Dezember 2026 bis Freitag, 1. Januar 2027", "2026-12-21", "2027-01-01"},
        {"28 December – 3 January", "2026-12-28", "2027-01-03"},
        {"Hauptsaison 01.05.–30.09.", "2026-05-01", "2026-09-30"},
        // The first day's weekday in brackets stands between it and the connector.
        {"closed from 07/11/2026 (Saturday) to 11/11/2026", "2026-11-07", "2026-11-11"},
        {"Ferien 26.10. (Mo.) bis 30.10.", "2026-10-26", "2026-10-30"},
        // The last day as it is hoped for.
        {"Von 16.11. bis voraussichtlich 4.12. wird der Kanal saniert", "2026-11-16", "2026-12-04"},
        {"Road closed 16 Nov to approx. 4 Dec", "2026-11-16", "2026-12-04"},
        // The last day said to be included, after a comma.
        {"von Montag, 6. Juli, bis und mit Sonntag, 9. August 2026 geschlossen", "2026-07-06",
         "2026-08-09"},
        {"vom 6. Juli bis einschliesslich 9. August", "2026-07-06", "2026-08-09"},
    };
    for (const auto& c : cases) {
        const auto dates = r.read(c.text);
        ASSERT_FALSE(dates.empty()) << c.text;
        const DateMention& d = dates.back();
        EXPECT_EQ(ReaderDays::key(d.day), c.first) << c.text;
        ASSERT_TRUE(d.last) << c.text;
        EXPECT_EQ(ReaderDays::key(*d.last), c.last) << c.text;
    }
    // The word that opens a span is part of it.
    const auto line = readLines("Congé d'automne : du lundi 19 au vendredi 30 octobre")[0];
    EXPECT_EQ(line.tokens[r.reader.read(line)[0].begin].key, "du");
    // A range of hours after a day is no span.
    EXPECT_FALSE(r.read("March 14 10-12")[0].last);
}

TEST(DateReadingTest, DeadlinesAndDaysThatDoNotExist) {
    const Reading r;
    for (const char* text :
         {"RSVP by March 9", "bis 20.04.", "avant le 10 septembre", "Vorverkauf ab 1. September",
          "can be booked from Monday 9 March",
          // The day from which terms apply.
          "zum 1. April 2026 passen wir unsere Bedingungen an", "effective 1 April 2026",
          "à compter du 1er avril 2026", "as of 1 April 2026",
          // Said after the day.
          "inscription pour ce vendredi 6/03 au plus tard", "by Friday 6 March at the latest",
          // The day after which something holds.
          "Rooms released after 1st April.", "Cancellations after 3 March 2027 are non-refundable",
          // The day the writer is back.
          "I'll be back on Monday, August 10 and will reply then.",
          // The day something runs out.
          "Take our survey – it closes on May 20.", "Your plan's benefits end on 31 August 2026",
          "the booking year resets on 1 April 2026",
          "Resell your ticket – resale closes 18 March 2026 at 5pm",
          "we need a decision before the contract renewal on March 21.", "Expires 30/04/2026",
          "Points expire 21/06/2027", "Gutschein verfällt am 31.12.2026",
          // The week something falls in.
          "Den Link erhalten Sie in der Woche vom 25. Mai.", "sometime during the week of March 9",
          "pendant la semaine du 9 mars",
          // The day tickets go on sale.
          "Carte de saison : prélocation dès 1er avril 2026"}) {
        const auto dates = r.read(text);
        ASSERT_FALSE(dates.empty()) << text;
        EXPECT_TRUE(dates[0].deadline) << text;
    }
    EXPECT_FALSE(r.read("Saturday, March 14")[0].deadline);
    // A term's last day is a day to mark, unlike a sale's.
    EXPECT_FALSE(r.read("Term ends Friday 17 July")[0].deadline);
    EXPECT_EQ(r.first("30 February 2026"), "-");
    EXPECT_EQ(r.first("31/04/2026"), "-");
    EXPECT_EQ(r.first("2026-13-01"), "-");
}

} // namespace
} // namespace plannery::reader
