#include "finder/RecognitionNoise.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

TEST(RecognitionNoiseTest, DigitsReadAsLettersAreDigitsWhereANumberIsMeant) {
    const struct {
        const char* line;
        const char* fixed;
    } cases[] = {
        {"7pm – lam", "7pm – 1am"},
        {"7pm–lam", "7pm–1am"},
        {"Doors Ipm", "Doors 1pm"},
        {"Église Saint-Eustache, Paris ler", "Église Saint-Eustache, Paris 1er"},
        {"Meet on the lst floor", "Meet on the 1st floor"},
        {"Start l0:30, end l2.30pm", "Start 10:30, end 12.30pm"},
        {"Friday l5th May (l4h)", "Friday 15th May (14h)"},
        {"Fri Spm—11pm · Sat llam-llpm · Sun 1lam-6pm",
         "Fri 5pm—11pm · Sat 11am-11pm · Sun 11am-6pm"},
        {"Sat Llam, July 2O26", "Sat 11am, July 2026"},
        {"Date:   Thurs 22/1O/2026", "Date:   Thurs 22/10/2026"},
        {" Hallenplatz l (Granulat)", " Hallenplatz 1 (Granulat)"},
        // A French clock with an "O" for a zero, run into the timetable's next column.
        {"O8h00-10h00CM Droit", "08h00-10h00 CM Droit"},
        {"13h30-15h3OCM Histoire", "13h30-15h30 CM Histoire"},
        {"16h30-18h0OAnglais juridique", "16h30-18h00 Anglais juridique"},
        // ... or with an "l" for its hour's one; "lO" is ten, as no word is spelled so.
        {"dimanche 11 avril à l7hOO", "dimanche 11 avril à 17h00"},
        {"samedi lO avril à 2Oh15", "samedi 10 avril à 20h15"},
        // Words, a road and links stay as written.
        {"Ist das lame?", "Ist das lame?"},
        {"Oh no, Ohio", "Oh no, Ohio"},
        {"I5 north, I am late", "I5 north, I am late"},
        {"https://zoom.us/j/l2x?pwd=l0", "https://zoom.us/j/l2x?pwd=l0"},
        {"let lead level", "let lead level"},
        {"rendez-vous à l'école, voie l", "rendez-vous à l'école, voie l"},
        {"Sam and Lam, Poster session II, loam", "Sam and Lam, Poster session II, loam"},
        // So does a Canadian postcode, a letter between the digits of its second half.
        {"412 King Street East, Toronto, ON M5A 1L4", "412 King Street East, Toronto, ON M5A 1L4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withDigitsForLookalikes(c.line), c.fixed) << c.line;
    }
}

TEST(RecognitionNoiseTest, MisreadLettersAndDoubledDashesAreRepaired) {
    const struct {
        const char* line;
        const char* fixed;
    } cases[] = {
        {"Zoom: https://usO2web.zoom.us/j/845?pwd=Rk9O",
         "Zoom: https://us02web.zoom.us/j/845?pwd=Rk9O"},
        {"www.o2.co.uk/Offers", "www.o2.co.uk/Offers"},
        {"Venue: AlexanderstraBe 11, 10178 Berlin", "Venue: Alexanderstraße 11, 10178 Berlin"},
        {"Hauptstrae 5", "Hauptstraße 5"},
        {"StraRe des 17. Juni", "Straße des 17. Juni"},
        {"Testing legacy code —- Room 2", "Testing legacy code – Room 2"},
        {"Lunch -- Hall", "Lunch – Hall"},
        // A weekday split in two, ahead of the day it names; a sunny day stays.
        {"Satur day 16th January 2027", "Saturday 16th January 2027"},
        {"Vendred i 12 mars 2027 à 20 h", "Vendredi 12 mars 2027 à 20 h"},
        {"Mitt woch 3. März, Sun day service", "Mittwoch 3. März, Sun day service"},
        {"WEDNES DAY 3 MARCH", "WEDNESDAY 3 MARCH"},
        {"a sun day at the beach", "a sun day at the beach"},
        // Words that only look alike stay.
        {"Extra Bed, Strasse 4, Ostrava", "Extra Bed, Strasse 4, Ostrava"},
        {"OBE O2 Arena 2O", "OBE O2 Arena 2O"},
        {"Ultrae Trae", "Ultrae Trae"},
        {"x--y, --flag and the end --", "x--y, --flag and the end --"},
        // A small "l" inside a word in capitals is a capital "I"; a word with other small
        // letters keeps it.
        {"SAMEDl 14 NOVEMBRE, ÉGLlSE SAINT-JEAN", "SAMEDI 14 NOVEMBRE, ÉGLISE SAINT-JEAN"},
        {"COMMUNlTY CENTRE", "COMMUNITY CENTRE"},
        {"Hall, ml, HTML, McDonald", "Hall, ml, HTML, McDonald"},
        // A capital "I" between small letters is a small "l".
        {"pas d'écoIe, vote for the fiIm, WheeIchair access", "pas d'école, vote for the film, "
                                                              "Wheelchair access"},
        {"McIntosh, iPhone, AIDS", "McIntosh, iPhone, AIDS"},
        // A zero or a one between capitals of a word in capitals is an "O" or an "I"; codes keep
        // theirs.
        {"PR0BLEMSTOFFSAMMLUNG, H0TEL", "PROBLEMSTOFFSAMMLUNG, HOTEL"},
        {"FR1DAY 4th DECEMBER", "FRIDAY 4th DECEMBER"},
        // A possessive's "s" set apart; a quote's end before a word stays.
        {"Tierney' s Lounge, Main St.", "Tierney's Lounge, Main St."},
        {"'Rock' show, 'Jazz' sessions", "'Rock' show, 'Jazz' sessions"},
        {"BRL-7H42QK, K1A 0B1, TX0A, X00X", "BRL-7H42QK, K1A 0B1, TX0A, X00X"},
        // A British postcode's digits and letters in their places.
        {"41 Chapel Street, Manchester M3 SDF", "41 Chapel Street, Manchester M3 5DF"},
        {"14 HIGH STREET, WINCHESTER S023 9JX", "14 HIGH STREET, WINCHESTER SO23 9JX"},
        {"Church Lane, OX7 4QP, Oxfordshire", "Church Lane, OX7 4QP, Oxfordshire"},
        {"Tower Hamlets E1 OAN", "Tower Hamlets E1 0AN"},
        // A place's number set apart from its word.
        {"16:45 Dr Blake (Science) Lab3", "16:45 Dr Blake (Science) Lab 3"},
        {"Room12, Salle3 and Hall 4", "Room 12, Salle 3 and Hall 4"},
        {"MP3 player, base64, Room12b, Studio2026x", "MP3 player, base64, Room12b, Studio2026x"},
        // A venue's word run onto the column before it gets its gap back; names keep their
        // capitals.
        {"CM Droit des obligationsAmphi Portalis", "CM Droit des obligations  Amphi Portalis"},
        // So do a table's other columns, after a number or a month's stop; codes and units stay.
        {"sam. 16 janv.8 h 30Harfangs 2Castors 1Aréna des Pins, glace 1REPORTÉ",
         "sam. 16 janv. 8 h 30  Harfangs 2  Castors 1  Aréna des Pins, glace 1  REPORTÉ"},
        {"4G LTE, 2FA, 12Uhr, B3J 1H6, Dez.12", "4G LTE, 2FA, 12Uhr, B3J 1H6, Dez. 12"},
        {"Gr. 3 Mme LefevreSalle B214", "Gr. 3 Mme Lefevre  Salle B214"},
        {"PowerPoint on YouTube, McDonald's on LaSalle",
         "PowerPoint on YouTube, McDonald's on LaSalle"},
        // A zero among a word's small letters is an "o"; clocks and codes keep theirs.
        {"Studi0 2 · Cycle R00m · 0cean Pearl", "Studio 2 · Cycle Room · Ocean Pearl"},
        {"10.00am, 7:00pm, 2000m, A0B 1C2, 00am", "10.00am, 7:00pm, 2000m, A0B 1C2, 00am"},
        // So is a one between small letters an "l"; links, codes and numbers keep theirs.
        {"Final Exam Schedu1e, Ca1culus I, Bui1ding", "Final Exam Schedule, Calculus I, Building"},
        {"l'Assemb1ée généra1e, Répétition généra1e", "l'Assemblée générale, Répétition générale"},
        {"https://x.org/a1b, pwd=ab1cd, 1st, a1b2c, 11am", "https://x.org/a1b, pwd=ab1cd, 1st, "
                                                           "a1b2c, 11am"},
        // Well-formed codes and words that only look like one stay.
        {"London EC2A 2AG", "London EC2A 2AG"},
        {"Call NHS 111", "Call NHS 111"},
        {"Meet at B2 SOS", "Meet at B2 SOS"},
        {"Save the date SOS", "Save the date SOS"},
        {"LEVEL B2 SOS", "LEVEL B2 SOS"},
        // A month's "i" read as "l", and the "h" of "Uhr" read as "b" after a number.
        {"Sa. 26. Junl ab 15 Uhr, Sa., 12.6., von 9-12 Ubr", "Sa. 26. Juni ab 15 Uhr, Sa., 12.6., "
                                                             "von 9-12 Uhr"},
        {"Jull, 12Ubr, 3. Aprll", "Juli, 12Uhr, 3. April"},
        {"Thursday, Decernber 24, 1. Novernber", "Thursday, December 24, 1. November"},
        {"Ubr Mall, Julles, Mal", "Ubr Mall, Julles, Mal"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withLettersRepaired(c.line), c.fixed) << c.line;
    }
}

TEST(RecognitionNoiseTest, ArrowsReadAsSignsBetweenWordsAreArrows) {
    const struct {
        const char* line;
        const char* fixed;
    } cases[] = {
        {"TP1357 London Heathrow (LHR) T2 07:25 = Lisbon (LIS) T1 10:05",
         "TP1357 London Heathrow (LHR) T2 07:25 → Lisbon (LIS) T1 10:05"},
        {"Portsmouth > Fishbourne", "Portsmouth → Fishbourne"},
        {"Bristol -> Cardiff => Swansea", "Bristol → Cardiff → Swansea"},
        // Signs that are not between words, or are set close, stay.
        {"> quoted reply", "> quoted reply"},
        {"Total =", "Total ="},
        {"x=1 and a>b", "x=1 and a>b"},
        {"Score: = =", "Score: = ="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withArrowsForLookalikes(c.line), c.fixed) << c.line;
    }
}

} // namespace
} // namespace plannery::reader
