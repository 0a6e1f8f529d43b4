#include "finder/TimeReading.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

std::string show(const std::vector<TimeMention>& times) {
    std::string out;
    for (const TimeMention& t : times) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%02d:%02d", out.empty() ? "" : " ", t.start.hour,
                      t.start.minute);
        out += text;
        if (t.finish) {
            std::snprintf(text, sizeof text, "-%02d:%02d", t.finish->hour, t.finish->minute);
            out += text;
        }
    }
    return out;
}

std::string times(const char* text, TimeContext context = {}) {
    context.localeId = "en_GB";
    return show(readTimes(readLines(text)[0], context));
}

TEST(TimeReadingTest, ClockTimesInTheirWrittenForms) {
    const struct {
        const char* text;
        const char* times;
    } cases[] = {
        {"at 7pm", "19:00"},
        {"7:30 p.m.", "19:30"},
        {"19:30", "19:30"},
        {"um 19.30 Uhr", "19:30"},
        {"17 Uhr", "17:00"},
        {"à 14h", "14:00"},
        {"9h30", "09:30"},
        {"Départ 07h37", "07:37"},
        {"12 noon", "12:00"},
        {"at midnight", "00:00"},
        // A dotted hour opening a range ending in a sure time; a capitalised word of a name.
        {"Same time as usual, 7.30–9.30pm", "19:30-21:30"},
        {"Rehearsal 18.30-20:00", "18:30-20:00"},
        // ... or in a later dotted hour, where the two cannot be a day and a month each.
        {"09.15–12.00  Gesamtprobe (Saal)", "09:15-12:00"},
        {"13.30–15.00  Registerproben", "13:30-15:00"},
        {"Ferien 9.03–12.03", ""},
        {"Preise 14.50–12.00", ""},
        // An ordinal is no hour, whatever leads to it.
        {"à l'examen de fin de 1er cycle", ""},
        {"from 2nd to 4th year", ""},
        {"THE MIDNIGHT ORCHARD", ""},
        {"The Noon Gallery", ""},
        {"Midnight Saturday", "00:00"},
        {"12am", "00:00"},
        {"12:15 PM", "12:15"},
        {"at half past two in the afternoon", "14:30"},
        // "half 8" is half past eight, not half of eight hours or of anything else.
        {"half 8 Sun it is", "08:30"},
        {"Sun night half 7?", "07:30"},
        {"an hour and a half 8 of us", ""},
        {"half 8 hours", ""},
        {"half 10% off", ""},
        // "between 10 and 12" runs forwards, even in an evening's context.
        {"inspection next Tues between 10 and 12", "10:00-12:00"},
        {"Ihr Termin zw. 13 und 16 Uhr ist gebucht", "13:00-16:00"},
        // Said on a twelve-hour dial: nobody meets at half past one in the night.
        {"at quarter to 7", "18:45"},
        {"at half past one o'clock", "13:30"},
        {"at four o'clock in the afternoon", "16:00"},
        {"at eleven o'clock", "11:00"},
        {"le jeudi 12 mars 2026 à 19 heures", "19:00"},
        {"10:30:00", "10:30"},
        {"jeudi 4 juin 2026 à 18 h 30", "18:30"},
        // A dotted hour is a time where a word after it says so.
        {"All Thursdays 8.30 start", "08:30"},
        {"coach leaves 7.45 sharp", "07:45"},
        // A side's age group before its home mark is no French clock.
        {"Sat 6 Mar Dawley Rangers U11 H 10:00 Priorslee Rec", "10:00"},
        // A whole hour with its "h" set apart, unless it counts hours.
        {"samedi 27 juin à 10 h", "10:00"},
        {"À PARTIR DE 19 H", "19:00"},
        {"11 h : cérémonie au monument aux morts", "11:00"},
        {"Jeudi 10 septembre, 19 h : assemblée générale", "19:00"},
        {"Ouverture des portes : 19 h | Spectacle : 20 h (1re partie incluse)", "19:00 20:00"},
        {"prévenir 24 h à l'avance", ""},
        {"2 h de route", ""},
        {"une pause de 2 h", ""},
        {"Tout retard de plus de 1h = pas d'accès", ""},
        {"expect queues of more than 2h at the gate", ""},
        {"the tasting menu takes around 2.5 hours", ""},
        {"thinking 8ish", "08:00"},
        {"Muster at 06:30 hrs", "06:30"},
        {"Show length 2 hrs 10 mins", ""},
        // Four digits are a clock in a range of two or before "hrs", a year or code alone.
        {"0830 – 1230   Module 1", "08:30-12:30"},
        {"Muster 1330hrs", "13:30"},
        {"Class of 2026", ""},
        {"Order 1234", ""},
        {"le calendrier 2026-2027", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(times(c.text), c.times) << c.text;
    }
}

TEST(TimeReadingTest, RangesShareAmAndPmAndCrossNoon) {
    const struct {
        const char* text;
        const char* times;
    } cases[] = {
        {"10am–4pm", "10:00-16:00"},
        {"7-9pm", "19:00-21:00"},
        {"11-1pm", "11:00-13:00"},
        {"10am-2", "10:00-14:00"},
        {"2:00 - 4:30 PM", "14:00-16:30"},
        {"9:30–10:30am", "09:30-10:30"},
        {"11:30 AM – 12:00 PM", "11:30-12:00"},
        {"9 AM - 12 NOON", "09:00-12:00"},
        {"7pm – 1am", "19:00-01:00"},
        {"de 14h à 19h", "14:00-19:00"},
        {"de 10 h à 16 h", "10:00-16:00"},
        {"10 h – 16 h", "10:00-16:00"},
        {"admission entre 7 h 30 et 8 h", "07:30-08:00"},
        {"7 to 10 in the evening", "19:00-22:00"},
        {"von 10 bis 12 Uhr", "10:00-12:00"},
        {"10 – 15 Uhr", "10:00-15:00"},
        {"between 3 and 5pm", "15:00-17:00"},
        {"zwischen 7:00 und 12:00 Uhr", "07:00-12:00"},
        {"Zeitfenster: zwischen 7.00 und 14.00 Uhr", "07:00-14:00"},
        {"entre 9 h et 11 h", "09:00-11:00"},
        {"um 7:00 und 12:00 Uhr", "07:00 12:00"},
        {"19:00–21:00", "19:00-21:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(times(c.text), c.times) << c.text;
    }
    // Two bare numbers are hours only right after a day.
    EXPECT_EQ(times("for 10-12 year olds"), "");
    // Nor are they after a word that opens a time, where they count things.
    EXPECT_EQ(times("les groupes des 4-5 ans iront dîner"), "");
    EXPECT_EQ(times("from 2-3 weeks on"), "");
    const Line line = readLines("Saturday 10-12 at the park")[0];
    EXPECT_EQ(show(readTimes(line, TimeContext{.dateEnds = {1}})), "10:00-12:00");
    // ... or after its comma.
    const Line booked = readLines("Saturday, 10–11, Pitch 2")[0];
    EXPECT_EQ(show(readTimes(booked, TimeContext{.dateEnds = {1}})), "10:00-11:00");
}

TEST(TimeReadingTest, HoursWithoutAmOrPmAreReadAsPeopleMeanThem) {
    EXPECT_EQ(times("from 2!"), "14:00"); // nobody meets at 2 in the night
    EXPECT_EQ(times("Coffee at 10?"), "10:00");
    EXPECT_EQ(times("7:30 at Nonna's", TimeContext{.evening = true}), "19:30");
    EXPECT_EQ(times("07:30 sharp", TimeContext{.evening = true}), "07:30");
    EXPECT_EQ(times("5:30-7 at Field 3", TimeContext{.twelveHour = true}), "17:30-19:00");
    // A range runs forwards: an evening's start would pass its end.
    EXPECT_EQ(times("between 10 and 12", TimeContext{.evening = true, .twelveHour = true}),
              "10:00-12:00");
    EXPECT_EQ(times("Offsite – Thu 9/17, 9:00–3:30, Harbor Room",
                    TimeContext{.evening = true, .twelveHour = true}),
              "09:00-15:30");
    EXPECT_EQ(times("5:30 Frühstück"), "05:30");
    EXPECT_EQ(times("back by 4ish"), "16:00");
    EXPECT_EQ(times("thinking 8ish", TimeContext{.evening = true}), "20:00");
    // A dotted clock with a leading zero, or after the word for leaving, is a time.
    EXPECT_EQ(times("Flight BA123 07.40 on Sat 28 Mar"), "07:40");
    EXPECT_EQ(times("The coach departs 8.15 from the school gate"), "08:15");
    // Said to be in the morning, in a text that speaks of the evening too.
    EXPECT_EQ(times("at ten o'clock in the morning", TimeContext{.evening = true}), "10:00");
    EXPECT_EQ(times("at half past nine in the morning", TimeContext{.evening = true}), "09:30");
    // A text on a 24-hour clock keeps its mornings whatever the evening brings.
    EXPECT_EQ(times("10:15 Keynote", TimeContext{.evening = true, .twentyFourHour = true}),
              "10:15");
    // German half and quarter hours, on a twelve-hour dial.
    const auto german = [](const char* text, TimeContext context = {}) {
        context.localeId = "de_DE";
        return show(readTimes(readLines(text)[0], context));
    };
    EXPECT_EQ(german("so ab halb sieben"), "18:30");
    EXPECT_EQ(german("um halb neun zum Frühstück"), "08:30");
    EXPECT_EQ(german("um Viertel nach acht", TimeContext{.evening = true}), "20:15");
    EXPECT_EQ(german("um Viertel vor 10"), "09:45");
    EXPECT_EQ(german("um halb eins"), "12:30");
    EXPECT_EQ(german("um sieben Uhr", TimeContext{.evening = true}), "19:00");
    // "Stiege 2 am" over the day's line says "on", not "2 am".
    EXPECT_EQ(german("Wasser in Stiege 2 am"), "");
    EXPECT_EQ(german("Haus 3 am Dienstag"), "");
    // Numbers that are no times: prices, decimals, a room, a length, a score, a postcode, a
    // reference.
    for (const char* text :
         {"£14.30", "costs 14.30", "room 2.14", "1h 45m", "won 3:2 on", "1:1",
          "Absage bis 24 h vorher", "until 48 hours before", "Halifax, NS B3J 1H6",
          "Réservation n° BRL-7H42QK", "gegen ein Entgelt von 10 € pro Person", "from 12 EUR"}) {
        EXPECT_EQ(times(text), "") << text;
    }
}

} // namespace
} // namespace plannery::reader
