#include "finder/PlacePicking.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

// The places of the events found in a text read on Monday, 2 March 2026 ("-" for none).
std::vector<std::string> places(const char* text, const char* locale = "en_GB") {
    const Calendar calendar = *Calendar::make("Europe/London", locale);
    const Instant now = test::at(calendar, 2026, 3, 2, 9, 0);
    const ReaderDays days(calendar, now);
    const TextFacts facts = TextFacts::read(text, days);
    const auto candidates = assemble(facts, days, now, calendar);
    const PlacePicker picker(facts, candidates, calendar.localeId());
    std::vector<std::string> out;
    for (const Candidate& c : candidates) {
        out.push_back(picker.place(c).value_or("-"));
    }
    return out;
}

using Places = std::vector<std::string>;

TEST(PlacePickingTest, LabelsAddressesAndVenueLines) {
    EXPECT_EQ(places("Quiz\nWhen: Friday 6 March, 8pm\nWhere: The Old Bell, Market Street"),
              Places{"The Old Bell, Market Street"});
    EXPECT_EQ(
        places("Open day\nSaturday 7 March, 10am\nGreenway College\n18 Park Road, Leeds LS6 2AB"),
        Places{"Greenway College, 18 Park Road, Leeds LS6 2AB"});
    EXPECT_EQ(places("ROYAL PLAYHOUSE\nHigh Street, Stratford upon Avon CV37 6BB\n\nThe Tempest\n"
                     "Sat 7 March, 2pm"),
              Places{"ROYAL PLAYHOUSE, High Street, Stratford upon Avon CV37 6BB"});
    EXPECT_EQ(places("Concert familial\nDimanche 15 mars 2026 · 16h\n\nEspace culturel des Tilleuls"
                     "\n\nEntrée libre",
                     "fr_FR"),
              Places{"Espace culturel des Tilleuls"});
    // A venue set off by a dash before its address on the same line goes with it.
    EXPECT_EQ(places("Louise Attaque\nL'Olympia – 28 boulevard des Capucines, 75009 Paris\n"
                     "Samedi 7 mars 2026, 20h30",
                     "fr_FR"),
              Places{"L'Olympia, 28 boulevard des Capucines, 75009 Paris"});
    EXPECT_EQ(
        places("Elternabend am Dienstag, 10. März, um 19:30 Uhr im Klassenraum der 3b.", "de_DE"),
        Places{"Klassenraum der 3b"});
    // A room's name that could be read as a time is still the room.
    EXPECT_EQ(places("Date: Wednesday 25 March 2026\nTime: 4:10pm\nRoom: 4H (Junior Block)"),
              Places{"4H (Junior Block)"});
    EXPECT_EQ(places("Vision screening is on Tuesday 10 March in the library during break."),
              Places{"library"});
    // A labelled place that ends with a comma goes on at the next line, without its remark.
    EXPECT_EQ(places("Date:       Tuesday 10 March 2026\nTime:       10:40am\n"
                     "Location:   Outpatients Clinic 4B, Level 2, Ashdown Wing,\n"
                     "            Eastbrook General Hospital\n"),
              Places{"Outpatients Clinic 4B, Level 2, Ashdown Wing, Eastbrook General Hospital"});
    EXPECT_EQ(places("Tournoi le samedi 14 mars à 8 h 30\nAdresse : Hall omnisports, rue des "
                     "Combattants 112,\n  1300 Wavre (parking gratuit derrière la salle)",
                     "fr_BE"),
              Places{"Hall omnisports, rue des Combattants 112, 1300 Wavre"});
    // It ends where the sentence goes on to say when to be there.
    EXPECT_EQ(places("NCT test: Thursday 7 May 2026, 08:45\nPlease arrive at the test centre 10 "
                     "minutes before your test time."),
              Places{"test centre"});
    EXPECT_EQ(places("Flight CW 612, Thu 5 Nov 2026, 06:10\nBe at the airport at least 90 minutes "
                     "before departure."),
              Places{"airport"});
    // A street without a number, with its town, is a venue's line; a line of features is not.
    EXPECT_EQ(places("Fête du quartier\nsamedi 14 mars 2026\n\nPlace du Marché, Vannes\n\n"
                     "Buvette sur place · jeux pour les enfants à la salle",
                     "fr_FR"),
              Places{"Place du Marché, Vannes"});
    EXPECT_EQ(places("Choir concert\nSunday 8 March, 4pm\nSt. Peter's Church"),
              Places{"St. Peter's Church"});
    EXPECT_EQ(places("Summer ball\nSaturday 7 March, 7pm\nRiverside Pavilion"),
              Places{"Riverside Pavilion"});
    // The top line names who writes when a venue line follows.
    EXPECT_EQ(places("Mairie de Villeneuve\n\nRéunion publique\nMardi 17 mars 2026 à 18h30\n"
                     "Salle des fêtes, place de la Mairie",
                     "fr_FR"),
              Places{"Salle des fêtes, place de la Mairie"});
    EXPECT_EQ(places("Liebe Eltern,\nam Freitag, 15. Mai 2026 bleibt die Kita geschlossen.\n"
                     "Ihr Kita-Team Sonnenschein",
                     "de_DE"),
              Places{"-"});
    // A sentence names no venue.
    EXPECT_EQ(places("Open Evening\nThursday 12 March, 6–8pm\nCome and meet our teachers and see "
                     "the school.\nSt Aidan's High School, Harrogate"),
              Places{"St Aidan's High School, Harrogate"});
    EXPECT_EQ(places("BOOK CLUB\nMarch pick: Emma\nTuesday 17 March, 7pm\nat The Crown"),
              Places{"The Crown"});
    // A booked room's kind is no place.
    EXPECT_EQ(places("The Old Mill Inn\nCheck-in: Fri 20 Mar\nRoom: Double, garden view\n"
                     "Mill Road, Ambleside LA22 9DT"),
              Places{"Mill Road, Ambleside LA22 9DT"});
    EXPECT_EQ(places("Design review\nDate: Fri 6 Mar, 10:00\nRoom: 4.12"), Places{"4.12"});
    // A remark to the reader after a dash is no part of the place.
    EXPECT_EQ(places("Interview\nDate: Thursday, 12 March 2026\nTime: 10:30\nLocation: 200 "
                     "Wellington St W, 14th floor, Toronto – please check in at the desk"),
              Places{"200 Wellington St W, 14th floor, Toronto"});
    // A route starts where the trip does.
    EXPECT_EQ(places("Eurostar\nLondon St Pancras Intl → Paris Gare du Nord\nFriday 20 March 2026\n"
                     "Departs 07:01 · Arrives 10:20"),
              Places{"London St Pancras Intl"});
    // A heading stays one under a recogniser's stray letters.
    EXPECT_EQ(
        places("ES\nSPORTFEST der Grundschule\nFreitag, 6. März 2026, 8:30 Uhr\nSportplatz am "
               "Mühlbach",
               "de_DE"),
        Places{"Sportplatz am Mühlbach"});
    // A venue named in a sentence goes before an address that has none.
    EXPECT_EQ(places("Live at the Blue Room\nFriday 6 March 9pm\n12 Canal Street, Leeds"),
              Places{"Blue Room, 12 Canal Street, Leeds"});
    // One written before its street's number is the address's own.
    EXPECT_EQ(
        places("Live at the Blue Room\nFriday 6 March 9pm\nThe Vaults, 12 Canal Street, Leeds"),
        Places{"The Vaults, 12 Canal Street, Leeds"});
    // A bill's line is no venue, and a leg of a journey is where it leaves from.
    EXPECT_EQ(places("DEPARTING FLIGHT\nFri 6 Mar 2026\nKS 417   Melbourne (MEL) 7:00am  ->  "
                     "Sydney (SYD) 8:25am\n\nFare breakdown\nBase fares        $218.00"),
              Places{"Melbourne (MEL)"});
    EXPECT_EQ(places("Saturday 14 March 2026\nFlight NZ10  Auckland (AKL) → Honolulu (HNL)\n"
                     "Depart 19:40"),
              Places{"Auckland (AKL)"});
    EXPECT_EQ(places("Matinee\nSaturday 7 March, 2pm\n\nBase fare        $21.00"), Places{"-"});
    // A team signs for its venue.
    EXPECT_EQ(
        places("Rendez-vous le lundi 9 mars, 16 h 45\n\nMerci!\n\n"
               "L'équipe de la Clinique vétérinaire du Plateau\n4520, rue Saint-Denis, Montréal",
               "fr_CA"),
        Places{"Clinique vétérinaire du Plateau, 4520, rue Saint-Denis, Montréal"});
    // The sender's address under the closing says less than the link to join a call.
    EXPECT_EQ(places("Hi all,\nCarrier review on Thursday 5 March, 12:00–1:00 pm\n"
                     "Teams: https://teams.microsoft.com/l/meetup-join/19abc\n\nThanks,\nDana\n\n"
                     "Dana Whitlock\nHarborline Logistics, 140 Broadway, New York, NY 10005"),
              Places{"https://teams.microsoft.com/l/meetup-join/19abc"});
    // An event held on a video call's service is there, not at the sender's address.
    EXPECT_EQ(places("Camp Birch Hollow\n6820 W. Tamarack Lake Rd, Baldwin, MI 49304\n\n"
                     "PARENT ORIENTATION CALL\nWednesday, March 11, 7:30 p.m. ET on Zoom – link "
                     "in CampPortal.",
                     "en_US"),
              Places{"Zoom"});
    // Nor is an admission's price under a label that may name a way in.
    EXPECT_EQ(
        places("Conférence\nMardi 10 mars 2026, 19h30\nEntrée : 6 € · -18 ans : gratuit", "fr_BE"),
        Places{"-"});
    // Neither a post box nor the reader's own address is where to go.
    EXPECT_EQ(
        places("Stadt Bad Lauterfeld · Der Wahlleiter · Postfach 11 40 · 31737 Bad Lauterfeld\n\n"
               "Amtliche Wahlbenachrichtigung          Wahlbezirk: 014\n"
               "                                       Wählerverzeichnis-Nr.: 387\n"
               "Herrn\nJonas Kämmerer\nBirkenweg 22\n31737 Bad Lauterfeld\n\n"
               "  Wahltag:     Sonntag, 8. März 2026\n"
               "  Wahlzeit:    8.00 bis 18.00 Uhr\n"
               "  Ihr Wahlraum:\n"
               "      Grundschule Lindenhof – Mensa\n"
               "      Lindenhofstraße 3, 31737 Bad Lauterfeld",
               "de_DE"),
        Places{"Grundschule Lindenhof – Mensa, Lindenhofstraße 3, 31737 Bad Lauterfeld"});
}

// The venue's name a title may fall back on, for a text read on Monday, 2 March 2026.
std::string venue(const char* text) {
    const Calendar calendar = *Calendar::make("Europe/London", "en_GB");
    const Instant now = test::at(calendar, 2026, 3, 2, 9, 0);
    const ReaderDays days(calendar, now);
    const TextFacts facts = TextFacts::read(text, days);
    const auto candidates = assemble(facts, days, now, calendar);
    return PlacePicker(facts, candidates, calendar.localeId()).venueName();
}

TEST(PlacePickingTest, AVenueIsNamedBesideItsAddressButIsNeverTheStreet) {
    // Between the day and an address that opens with its venue, the line names the event.
    EXPECT_EQ(places("Sa, 14. März 2026\nFEUERWEHRBALL der FF Hollenau\nGasthof „Zur Post\", "
                     "Hauptplatz 5, 3572 Hollenau am Kamp\nEinlass 19.30 Uhr, Beginn 20.00 Uhr",
                     "de_AT"),
              Places{"Gasthof „Zur Post\", Hauptplatz 5, 3572 Hollenau am Kamp"});
    EXPECT_EQ(venue("Party of 4\nSaturday 7 March at 8:15 PM\n"
                    "Larkspur Kitchen — 2210 Fillmore St, San Francisco, CA 94115"),
              "Larkspur Kitchen");
    EXPECT_EQ(venue("Lunch\nSaturday 7 March, 1pm\nOsteria Nonna, 22 Market Square, Leeds"),
              "Osteria Nonna");
    EXPECT_EQ(
        venue("Open day\nSaturday 7 March, 10am\nGreenway College\n18 Park Road, Leeds LS6 2AB"),
        "Greenway College");
    // A place inside a quoted name is the name's.
    EXPECT_EQ(places("Wed 4 March, 7.30pm – Guest speaker: Hemi Walker, \"Chasing the Milky Way: "
                     "astrophotography in the Mackenzie Basin\"."),
              Places{"-"});
    EXPECT_EQ(
        places("Sa 7.3., 11:15 Uhr – Führung „Im Inneren des Ringbeschleunigers“ (Treffpunkt: "
               "Zelt 2)",
               "de_DE"),
        Places{"-"});
    // What follows a venue's colon is what happens there.
    EXPECT_EQ(
        places("► Sam. 14/03 à 20h30, église Saint-Aubin : concert « Stabat Mater »", "fr_FR"),
        Places{"église Saint-Aubin"});
    // A form's address set in under its value goes on there; a line set elsewhere does not.
    EXPECT_EQ(places("Course:     Beginners' Upholstery\n"
                     "Venue:      Fernside Community Learning Centre, Room 6\n"
                     "            22 Beaconsfield Street, Wyvernham WV2 8HN\n"
                     "Start:      Wednesday 11 March, 18:30",
                     "en_GB"),
              Places{"Fernside Community Learning Centre, Room 6, 22 Beaconsfield Street, "
                     "Wyvernham WV2 8HN"});
    EXPECT_EQ(places("Course:     Beginners' Upholstery\n"
                     "Venue:      Fernside Community Learning Centre, Room 6\n"
                     "22 Beaconsfield Street is the office; please do not go there.\n"
                     "Start:      Wednesday 11 March, 18:30",
                     "en_GB"),
              Places{"Fernside Community Learning Centre, Room 6"});
    // A flat's number goes with its house's.
    EXPECT_EQ(places("Installation le jeudi 19 novembre entre 13 h et 17 h\nAdresse de service : "
                     "4820, rue Fabre, app. 3, Montréal (Québec) H2J 3W1",
                     "fr_CA"),
              Places{"4820, rue Fabre, app. 3, Montréal"});
    // Who leads a class, after the room set in below it, is no part of the place.
    EXPECT_EQ(places("Donnerstag, 5.3.2026\n\n09:15 – 10:30 Uhr   Eröffnung\n"
                     "                    Saal Kettbaum · Anna Berger\n\n"
                     "11:00 – 12:30 Uhr   Forum A\n                    Saal Spindel · Jonas Roth",
                     "de_DE"),
              (Places{"Saal Kettbaum", "Saal Spindel"}));
    EXPECT_EQ(places("MY BOOKINGS\n\nWED 11 MAR\nVinyasa Flow (all levels)\n"
                     "6:15 pm – 7:15 pm · 60 min\nStudio 2 · Coach Tash R.\n✓ Booked      Mat 6\n\n"
                     "SAT 14 MAR\nSpin Endurance\n8:00 am - 9:00 am · 60 min\n"
                     "Cycle Room · Coach Mel\n✓ Booked      Bike 22\n\n"
                     "SUN 15 MAR\nYin Yoga\n5:00 pm – 6:00 pm · 60 min\nStudio 1 · Priya\n"
                     "✓ Booked      Mat 2",
                     "en_AU"),
              (Places{"Studio 2", "Cycle Room", "Studio 1"}));
    // Whose session it is, a name alone before the place, is no part of it.
    EXPECT_EQ(places("SAT 3/14\n 9:00 – 9:45 AM   Preschool Swim\n"
                     "                  Noah · Westbrook Aquatic Ctr, Pool B\n"
                     " 11:00 AM – 12:30 PM   Youth Basketball – Practice\n"
                     "                  Emma · Lincoln Elementary Gym",
                     "en_US"),
              (Places{"Westbrook Aquatic Ctr, Pool B", "Lincoln Elementary Gym"}));
    // An invitation's question is no part of the venue it answers with.
    EXPECT_EQ(places("Wann?   Samstag, 14. März\n        von 14.30 bis 18.00 Uhr\n"
                     "Wo?     Kletterhalle Griffwerk\n        Am Stadthafen 9, 48155 Münster",
                     "de_DE"),
              Places{"Kletterhalle Griffwerk, Am Stadthafen 9, 48155 Münster"});
    // A form's row of a day, after its label, takes the place set in below it.
    EXPECT_EQ(places("  Course:     Introduction to Beekeeping\n"
                     "  Day 1:      Saturday 14th March, 10.00am – 4.00pm\n"
                     "              Room 4, Main Building\n"
                     "  Day 2:      Sunday 15th March, 10.00am – 1.00pm\n"
                     "              Teaching apiary, Coolnahay Farm\n\n"
                     "Lough Ennell Adult Education Centre · 044 93 31 806",
                     "en_IE"),
              (Places{"Room 4, Main Building", "Teaching apiary, Coolnahay Farm"}));
    // A later sentence's time leaves the address to the text: the club night the paragraph
    // tells of and the one the programme lists are both there.
    EXPECT_EQ(places("As always, club nights are on the 1st and 3rd Wednesday of every month at "
                     "7.30pm at the Kotare Street Community Hall, 22 Kotare Street, Fendalton. "
                     "Doors open 7.15pm.\n\nWINTER PROGRAMME\n\nWed 3 June, 7.30pm – Members' "
                     "night: \"Show & tell\".",
                     "en_NZ"),
              (Places{"Kotare Street Community Hall, 22 Kotare Street, Fendalton",
                      "Kotare Street Community Hall, 22 Kotare Street, Fendalton"}));
    // An hour is no house number, even before a saint's "St.".
    EXPECT_EQ(
        places("Saturday 14 March 2026\nCeremony at 2pm at St. Mochulla's Church, Tulla Road, "
               "Kilnamona",
               "en_IE"),
        Places{"St. Mochulla's Church"});
    // A town and its state written out under a street alone go with it; a sentence does not.
    EXPECT_EQ(places("Saturday, March 14, 2026\nat half past four in the afternoon\n\nGrace Stone "
                     "Chapel\n118 Old Post Road\nRhinebeck, New York\nReception to follow",
                     "en_US"),
              Places{"Grace Stone Chapel, 118 Old Post Road, Rhinebeck, New York"});
    EXPECT_EQ(places("Saturday, March 14, 2026 at 4pm\n\nGrace Stone Chapel\n118 Old Post "
                     "Road\nDinner, dancing and cake to follow",
                     "en_US"),
              Places{"Grace Stone Chapel, 118 Old Post Road"});
    // An address goes on below its line only where the line ends with it.
    EXPECT_EQ(places("Hockey vs Karaka Hills\nSat 7 Mar 9.00am\n\nHome games at Tawa Grove Turf, "
                     "12 Mātai Road, Hamilton. Away = Riverlea\nPark Turf, 3 Ngaio Street.",
                     "en_NZ"),
              Places{"Tawa Grove Turf, 12 Mātai Road, Hamilton"});
    EXPECT_EQ(places("Kontrolle am Mo 09.03., 8.15 Uhr\n\nZahnarztpraxis Dr. Wiegand\n"
                     "Hainbuchenweg 7 (2. OG, Aufzug vorhanden)\n34117 Kassel",
                     "de_DE"),
              Places{"Zahnarztpraxis Dr. Wiegand, Hainbuchenweg 7, 34117 Kassel"});
    // Nor is whose business it is.
    EXPECT_EQ(places("PHYSIOTHERAPIE\nInh. Jana Lüdtke · Neuer Markt 5 · 18055 Rostock\n\n"
                     "Termin: Mo 09.03., 7.40 Uhr",
                     "de_DE"),
              Places{"Neuer Markt 5, 18055 Rostock"});
    // Words that lead into an address are no name, and the street is none either.
    EXPECT_EQ(venue("Saturday 7 March, 1pm\nDinner at 22 Market Square, Leeds"), "");
    EXPECT_EQ(venue("Saturday 7 March, 1pm\nCome to 22 Market Square, Leeds"), "");
    // The office of the one who signs, over the address or alone, is no venue.
    EXPECT_EQ(places("Photo day on Saturday 7 March, 8.30am.\n\nWarm regards,\nKaren\n"
                     "Chairperson, Linksfield Lions Hockey Club\n"
                     "Linksfield Lions Clubhouse, 12 Club Street, Johannesburg"),
              Places{"Linksfield Lions Clubhouse, 12 Club Street, Johannesburg"});
    EXPECT_EQ(places("Club night on Wednesday 4 March, 7.30pm.\n\nThanks,\nRachel\n"
                     "Secretary, Camera Club Inc.\n027 555 8842"),
              Places{"-"});
    // The writer's own place is where its address is.
    EXPECT_EQ(places("Betreff: Ihr Termin in unserer Praxis\n\nDienstag, 10.03.2026, 7:45 Uhr\n"
                     "Lange Reihe 42, 20099 Hamburg",
                     "de_DE"),
              Places{"Lange Reihe 42, 20099 Hamburg"});
    EXPECT_EQ(places("Grillfest am Samstag, 14.03.2026, ab 16 Uhr\n"
                     "Wo: bei uns im Garten, Lindenweg 12, 79098 Freiburg",
                     "de_DE"),
              Places{"Garten, Lindenweg 12, 79098 Freiburg"});
}

TEST(PlacePickingTest, VenuesInSentences) {
    const struct {
        const char* text;
        const char* place;
    } cases[] = {
        {"Drinks on Friday 6 March at 7pm at The Crown & Anchor!", "The Crown & Anchor"},
        {"Meeting on 10 March at 2pm in Conference Room 3 to plan.", "Conference Room 3"},
        {"Lunch on Friday 6 March at 1pm in the canteen, Building B.", "canteen, Building B"},
        {"Workshop on Friday 6 March at 10am at Halden Foods, their office is on Wellington St.",
         "Halden Foods"},
        {"Review on 9 March at 10am at Karen's (12 Oak Lane).", "Karen's (12 Oak Lane)"},
        {"Trip on 9 March at 8am in Seattle.", "-"},
        {"Picnic on 7 March at noon at home.", "-"},
        // Without an article a place in lower case opens with its kind: "in proper school
        // uniform" is what to wear.
        {"Sports day on 9 March at 9am. Come in proper school uniform.", "-"},
        {"Assembly on 9 March at 9am in school hall 2.", "school hall 2"},
        // A name goes on with the kind of place it names; a remark that exclaims is no part.
        {"Cleanup on 7 March at 8am. Meet at the Elm Park pavilion (corner of Elm & 3rd)",
         "Elm Park pavilion (corner of Elm & 3rd)"},
        {"Walk on 8 March at 10am, meet at the Edale car park, the one by the station",
         "Edale car park"},
        {"Sports Day: 11 March, 1.30pm on the school field (bring sun hats!)", "school field"},
        {"Hands-on lab on 11 March at 10am.", "-"},
        {"Your meeting is booked for Wednesday 18 March at 17:20 in classroom 4B.", "classroom 4B"},
        // A number that starts a time is no part of the place.
        {"Lisa: movie on 6 March? Dune at the Odeon 8:15", "Odeon"},
        // A sentence's end is no abbreviation's full stop; a room's number may have one inside.
        {"Book club on 18 March at 7.30pm at the Crown Inn. We will discuss Emma.", "Crown Inn"},
        {"Budget review on Thursday 5 March at 3pm in Room 4.12?", "Room 4.12"},
        {"Workshop on Efficient Reasoning, 11 March at 10am", "-"},
        // The kind of place before a name with its own article is left out.
        {"Dinner on 13 March at 8pm at the restaurant The Ivy.", "The Ivy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(places(c.text), Places{c.place}) << c.text;
    }
    EXPECT_EQ(places("Treffen am 10.03.2026 um 18 Uhr im Gasthaus Linde.", "de_DE"),
              Places{"Gasthaus Linde"});
    EXPECT_EQ(places("Rendez-vous le 10 mars 2026 à 18h dans la salle des fêtes.", "fr_FR"),
              Places{"salle des fêtes"});
    EXPECT_EQ(places("La sortie au zoo de Vincennes aura lieu le jeudi 26 mars à 8h30.", "fr_FR"),
              Places{"zoo de Vincennes"});
    EXPECT_EQ(
        places("Votre réservation au restaurant Le Comptoir des Halles le 13 mars à 20h.", "fr_FR"),
        Places{"Le Comptoir des Halles"});
    // A venue's address after a comma is its own.
    EXPECT_EQ(places("Versammlung am 25. März 2026 um 18:00 Uhr im Gemeindesaal St. Martin, "
                     "Kirchgasse 2.",
                     "de_DE"),
              Places{"Gemeindesaal St. Martin, Kirchgasse 2"});
    // The day after a place is no part of it.
    EXPECT_EQ(places("Erinnerung: Ihr Termin bei Dr. Müller am 12.03. um 8:45 Uhr.", "de_DE"),
              Places{"Dr. Müller"});
    EXPECT_EQ(places("Konzert am 10.03.2026 um 18 Uhr in der Schlosskapelle.", "de_DE"),
              Places{"Schlosskapelle"});
    // A call's link, not a name in a sentence away from the day.
    EXPECT_EQ(places("Design review\nTuesday 10 March, 2:00 – 3:00pm\n"
                     "Join: https://zoom.us/j/123456\n"
                     "Please look at the Figma file before the meeting."),
              Places{"https://zoom.us/j/123456"});
    // The kind of place alone, without an article, is no place to go to.
    EXPECT_EQ(places("Lundi 9 mars, 8 h 30 : retour en classe", "fr_FR"), Places{"-"});
    // Where to leave the car is not where the event is.
    EXPECT_EQ(places("Zahnreinigung\nMi., 11.03., 08:15 Uhr\n\nParkmöglichkeiten finden Sie im "
                     "Parkhaus Am Lindentor.",
                     "de_DE"),
              Places{"-"});
    EXPECT_EQ(places("Check-up on 10 March at 9am.\nFree parking at the Elm Street car park."),
              Places{"-"});
    // An address the sentence gives after the day.
    EXPECT_EQ(places("Nous vous convions à un entretien le jeudi 19 mars 2026 à 14h30, dans nos "
                     "locaux au 18 rue de la République, 69002 Lyon (3e étage).",
                     "fr_FR"),
              Places{"18 rue de la République, 69002 Lyon"});
    // "à" names a place by its kind, written with a capital after its article; a sentence about
    // writing to someone's office ("Elles peuvent être adressées … au Collège communal") names
    // no venue.
    EXPECT_EQ(places("Une séance d'information se tiendra le\nmercredi 18 mars 2026 à 19h30\n"
                     "à l'Hôtel de ville, salle du Conseil.\n\nObservations et réclamations\n"
                     "Elles peuvent être adressées par écrit au Collège communal.",
                     "fr_BE"),
              Places{"Hôtel de ville, salle du Conseil"});
    // A place broken before the words that say which goes on with them.
    EXPECT_EQ(places("Je vous invite à la réunion le mardi 10 mars à 18h, dans la salle\nde CE2 "
                     "(bâtiment B, 1er étage). Durée : une heure environ.",
                     "fr_FR"),
              Places{"salle de CE2 (bâtiment B, 1er étage)"});
    EXPECT_EQ(places("Rehearsal on Tuesday 10 March at 7pm in the hall\nof St Mary's Church, "
                     "bring water."),
              Places{"hall of St Mary's Church"});
    EXPECT_EQ(places("Concert le samedi 14 mars 2026 à 20h à la Salle des fêtes.", "fr_FR"),
              Places{"Salle des fêtes"});
    EXPECT_EQ(places("Réunion le samedi 14 mars 2026 à Paris, à la fin du marché.", "fr_FR"),
              Places{"-"});
}

TEST(PlacePickingTest, ARemarkInBracketsAfterAPlaceIsNoPartOfIt) {
    EXPECT_EQ(places("3/21 – Campout at Lake Bryan (permission slips due 3/18)", "en_US"),
              Places{"Lake Bryan"});
    // ... unlike the part of the building it names.
    EXPECT_EQ(places("Pre-op assessment\nTue 10 Mar 2026, 10:40\nWhere: Anaesthetics, route 214 "
                     "(building B, level 0)"),
              Places{"Anaesthetics, route 214 (building B, level 0)"});
}

TEST(PlacePickingTest, ARowThatSaysThereIsNoSchoolNamesNoPlace) {
    EXPECT_EQ(places("- Fri 13 March: No school – Staff development day\n- Tue 17 March: PTA "
                     "meeting, 6:30 PM, library"),
              (Places{"-", "library"}));
}

TEST(PlacePickingTest, ALaterLineMovesTheEventToItsNewPlace) {
    EXPECT_EQ(places("The service design workshop is on Wednesday 18 March, 10:00–15:30 in the "
                     "Manchester office.\n\nUpdate: the workshop has moved to the Leeds office, "
                     "Wellington Place – same date and time."),
              Places{"Leeds office, Wellington Place"});
    EXPECT_EQ(places("Die Begehung ist am Dienstag, 17. März, um 9:00 Uhr im Bürogebäude Nord.\n"
                     "Kurze Info: Die Begehung wird in die Halle 3 verlegt, gleiche Zeit.",
                     "de_DE"),
              Places{"Halle 3"});
    // A move to another time names no place.
    EXPECT_EQ(places("Choir practice is on Thursday 19 March at 7.30pm in the church hall.\n\n"
                     "Practice moved to 8pm this week."),
              Places{"church hall"});
}

TEST(PlacePickingTest, ARowsCellUnderTheHeadForPlacesIsItsPlace) {
    // Whatever the words in it: "Workshop" names no place of its own.
    EXPECT_EQ(places("Facility: Glenridge Community Centre, 88 Larkspur Ave.\n\n"
                     "  #  Day   Date      Time                  Room\n"
                     "  1  Tue   Mar. 10   6:30 pm - 8:30 pm     Multipurpose Room 2\n"
                     "  2  Tue   Mar. 17   6:30 pm - 8:30 pm     Workshop (lower level)"),
              (Places{"Multipurpose Room 2", "Workshop (lower level)"}));
    // A cell that runs into the next column without a gap ends where that column starts; a
    // letter of two bytes in a cell before shifts no column.
    EXPECT_EQ(places("Prüfung         Datum            Beginn   Raum       Status\n"
                     "Datenbanken     Do, 05.03.2026   14:00    H 5         ✔ angemeldet\n"
                     "Größen          Fr, 06.03.2026   10:15    Hörsaal 12 ✔ angemeldet",
                     "de_DE"),
              (Places{"H 5", "Hörsaal 12"}));
}

TEST(PlacePickingTest, RowsTakeTheirOwnPlacesAndSessionsTheirHeadings) {
    // An event in a block of its own takes the venue and address under its day; a sentence
    // below is no place.
    EXPECT_EQ(places("Saturday 14 March, 4pm\nGrace Stone Chapel\n\nWelcome Drinks\n\n"
                     "Friday 13 March\n7 to 10 in the evening\nThe Tap Room at Kingston Hall\n"
                     "42 Wall Street, Kingston, NY"),
              (Places{"Grace Stone Chapel",
                      "The Tap Room at Kingston Hall, 42 Wall Street, Kingston, NY"}));
    EXPECT_EQ(places("Sports day\nFriday 13 March, 10am\nSchool field\n\nOptions evening\n"
                     "Thursday 19 March, 6pm\nMain Hall. There will be a short talk first."),
              (Places{"School field", "School field"}));
    // A place said in the sentence of the day, before it on its line; an abbreviation's stop
    // ends no sentence.
    EXPECT_EQ(places("There will be a short meeting for parents in the school hall on Tuesday "
                     "17th\nMarch at 7.30pm.\n\nFIRST CONFESSION\nThe children will make their "
                     "First Confession\nin St. Colman's Church on Thursday 26th March at 12 noon. "
                     "They will walk over."),
              (Places{"school hall", "St. Colman's Church"}));
    // A day before the dash that sets off an address is no venue's name.
    EXPECT_EQ(places("Probenwochenende\n\nDie Jahreskonzerte sind am Sa, 21. März (20.00 Uhr).\n\n"
                     "Samstag, 14. März 2026 – Kirchgemeindehaus Wiesenthal, Dorfstrasse 22",
                     "de_CH")
                  .front(),
              "Kirchgemeindehaus Wiesenthal, Dorfstrasse 22");
    // A row of day, times and stage is at that stage, not at its theatre's address below.
    EXPECT_EQ(
        places("Do, 5.03.2026 · 19:30 Uhr · Großes Haus\n„Der zerbrochne Krug“ · Lustspiel\n\n"
               "Ihr Abo-Büro\nTheater am Weserbogen\nMünsterwall 4, 31785 Hameln",
               "de_DE"),
        (Places{"Großes Haus"}));
    // A poster's item named above its times gives its venue after them.
    EXPECT_EQ(places("WINTER CARNIVAL\nSATURDAY MARCH 14\nSnow Sculpture Contest\n"
                     "9 a.m. - 2 p.m. · Memorial Park\njudging at 2 p.m.\n\n"
                     "Family Dance\n7:30 p.m. - midnight\nPinehurst Arena Hall"),
              (Places{"Memorial Park"}));
    EXPECT_EQ(places("Primarschule Buchholz\nBuchholzstrasse 31 · 8623 Wetzikon\n\nLiebe Eltern\n\n"
                     "Informationsabend\nAlle Eltern sind eingeladen zum Vortrag von Herrn Gisler "
                     "(Fachstelle Medienbildung):\nMittwoch, 18. März 2026, 19.30–21.00 Uhr, "
                     "Singsaal Schulhaus Buchholz.",
                     "de_CH"),
              (Places{"Singsaal Schulhaus Buchholz"}));
    // A neighbourhood's meeting place is a venue, as its German name ends in "-treff".
    EXPECT_EQ(places("RÄBEN SCHNITZEN\nSa, 7. März, 14–17 Uhr, im Quartiertreff "
                     "(Rebhaldenstrasse 14, UG)",
                     "de_CH"),
              Places{"Quartiertreff (Rebhaldenstrasse 14, UG)"});
    // A ticket's table of seats is no place, though its first column reads like a label.
    EXPECT_EQ(places("THÉÂTRE ROYAL DE LA FONTAINE\n\nLES CAPRICES DE MARIANNE\n\n"
                     "Jeudi 12 mars 2026 – 20h15\n\nSalle        Rang   Place   Tarif\n"
                     "Grande salle  F      14      Plein",
                     "fr_BE"),
              Places{"THÉÂTRE ROYAL DE LA FONTAINE"});
    // Nor is a fixture list's head, run together in a copy, though it names the rink's column.
    EXPECT_EQ(places("Voici l'horaire de janvier\n\nDate Heure Visiteur Local Aréna\n"
                     "Sam 7 mars 2026 8h15 Faucons M11 A Riverains\n"
                     "Dim 8 mars 2026 13h45 Élans de Charny Faucons M11 A",
                     "fr_CA"),
              (Places{"-", "-"}));
    // Each leg of a coach trip leaves from the address on the row of its departure.
    EXPECT_EQ(places("ALLER – Montréal → Québec\nven. 13 mars 2026\n"
                     "Départ 15 h 30  Terminus Centre-Ville, 1420, rue des Érables, Montréal\n"
                     "Arrivée 18 h 45  Terminus Sainte-Foy, 2750, chemin des Quatre-Bourgeois, "
                     "Québec\n\nRETOUR – Québec → Montréal\ndim. 15 mars 2026\n"
                     "Départ 13 h 10  Terminus Sainte-Foy, 2750, chemin des Quatre-Bourgeois, "
                     "Québec\nArrivée 16 h 25  Terminus Centre-Ville, 1420, rue des Érables, "
                     "Montréal",
                     "fr_CA"),
              (Places{"Terminus Centre-Ville, 1420, rue des Érables, Montréal",
                      "Terminus Sainte-Foy, 2750, chemin des Quatre-Bourgeois, Québec"}));
    // So does the line of a meeting's time, up to where its address ends.
    EXPECT_EQ(places("Liebe Mitglieder,\n\nJahreshauptversammlung 2026\n"
                     "Die ordentliche Jahreshauptversammlung findet am Freitag, 13. März 2026,\n"
                     "um 19.30 Uhr im Saal der Gaststätte „Zur Linde“, Hauptstraße 17, statt\n"
                     "(das Vereinsheim ist noch nicht nutzbar).\n\nWinterwanderung\n"
                     "Sonntag, 15.03.2026, Treffpunkt 10 Uhr am Parkplatz Friedhof (Waldweg).",
                     "de_DE")[0],
              "Saal der Gaststätte „Zur Linde“, Hauptstraße 17");
    // French names a venue by its kind and the adjective after it.
    EXPECT_EQ(places("Jeudi 12 mars : sortie au Parc aquatique du Mont-Castor. Départ en autobus "
                     "à 8 h 30.",
                     "fr_CA"),
              Places{"Parc aquatique du Mont-Castor"});
    // The sentence that gives a day's start below it says where, before an address that names
    // another event's place; a place in small letters ends where its time begins.
    EXPECT_EQ(places("SATURDAY 13th JUNE  -  The Big Day\n"
                     "Ceremony at half one (1.30pm) sharp in St Colman's Church, Newport Road,\n"
                     "Westport. Mass is about an hour.\n\n"
                     "Reception from 3.30pm at Carrowholly House Hotel, Carrowholly, Westport, "
                     "F28 K7Y2.\n\nSUNDAY 14th JUNE  -  The Day After\n"
                     "Photos at the clubhouse from 10:30 to 11:00.",
                     "en_IE"),
              (Places{"St Colman's Church", "clubhouse"}));
    // A room goes on with the building it is in.
    EXPECT_EQ(places("** PARENT MEETING **\nTues., 3/10 at 7 p.m. in the Community Room at "
                     "Hawthorne Rec Center\n(1450 N. Hawthorne Ave.).",
                     "en_US"),
              Places{"Community Room at Hawthorne Rec Center"});
    // A place denied is not where the event is.
    EXPECT_EQ(places("Elternabend am Donnerstag, 12.03., um 19:30 Uhr. Wir treffen uns diesmal "
                     "nicht im Gruppenraum, sondern im Bewegungsraum.",
                     "de_DE"),
              Places{"Bewegungsraum"});
    // A place on the line below, without the sentence that goes on after its address.
    EXPECT_EQ(places("Kinderfasching\nAm Faschingsdienstag, 10. März, von 14.30 bis 17.00 Uhr "
                     "verwandelt sich die\nTurnhalle der Grundschule Grünbach (Schulstraße 2) "
                     "wieder in eine Narrenburg.\nEintritt frei!\n\nArbeitseinsatz\n"
                     "Samstag, 14. März, ab 9 Uhr auf dem Sportgelände.",
                     "de_DE")[0],
              "Turnhalle der Grundschule Grünbach (Schulstraße 2)");
    // A line under the day that opens with the place names it; a sentence with an address says
    // where the text as a whole is.
    EXPECT_EQ(
        places("Offenes Singen\njeden Dienstag im März\n19:00 – 20:30 Uhr\nim Pfarrsaal\n\n"
               "ABSCHLUSSKONZERT\nSonntag, 29. März, 17 Uhr\nin der Pfarrkirche\n"
               "anschließend Agape vor der Kirche",
               "de_AT"),
        (Places{"Pfarrsaal", "Pfarrsaal", "Pfarrsaal", "Pfarrsaal", "Pfarrsaal", "Pfarrkirche"}));
    EXPECT_EQ(places("Sie findet statt am\n\nFreitag, 26.06.2026, um 19:30 Uhr\nim Vereinsheim, Am "
                     "Sportpark 3, 82223 Eichenau.\n\nAnträge bis 12.06.2026 einreichen.\n\n"
                     "Sommerfest am Samstag, 18. Juli, ab 14 Uhr im Festzelt am Sportplatz.",
                     "de_DE"),
              (Places{"Vereinsheim, Am Sportpark 3, 82223 Eichenau", "Festzelt am Sportplatz"}));
    // So is one in the block of one event, before its day.
    EXPECT_EQ(places("* Photos scolaires : jeudi 12 mars.\n\n* Excursion des P5-P6 au Domaine du "
                     "Bois-Rouvroy :\n  mercredi 18 mars, départ à 8h15.\n\n* Marché de Noël : "
                     "vendredi 20 mars dès 17h.",
                     "fr_FR"),
              (Places{"-", "Domaine du Bois-Rouvroy", "-"}));
    // A place in one row's sentence is that row's alone.
    EXPECT_EQ(places("Dates for the summer term\n"
                     "Swimming gala: Thursday 4 June, 2pm at the leisure centre\n"
                     "Last day of term: Friday 17 July"),
              (Places{"leisure centre", "-"}));
    EXPECT_EQ(places("Tuesday 10 March · Hall 2, Expo Centre\n09:00 Opening\n10:00 Talks – Room 5"),
              (Places{"Hall 2, Expo Centre", "Room 5"}));
    // A line set in below a session gives its room, without a remark in parentheses.
    EXPECT_EQ(
        places("THURSDAY 12 MARCH\n09:30 – 10:15   Opening keynote\n                Main Hall\n"
               "11:00 – 12:30   Workshop\n                Room 2.14 (bring a laptop)\n"
               "14:00 – 15:30   Study tour\n"
               "                Meeting point: registration desk, ground floor"),
        (Places{"Main Hall", "Room 2.14", "registration desk, ground floor"}));
    // ... or the room below its speaker and title.
    EXPECT_EQ(places("Donnerstag, 12.03.2026\n09:15 – 10:30 Uhr   Eröffnung\n"
                     "                    Prof. Dr. Ulrike Brandstätter, Hochschule Nordheim\n"
                     "                    Saal Kettbaum\n11:00 – 12:30 Uhr   Forum A\n"
                     "                    Moderation: Jonas Vellmer\n"
                     "                    Raum Schuss 1\n",
                     "de_DE"),
              (Places{"Saal Kettbaum", "Raum Schuss 1"}));
    // So does a line set in below a row that opens with its day, without a remark after a dash.
    EXPECT_EQ(places("Mar. 10 mars   Pratique          18 h 15 – 19 h 15\n"
                     "               Aréna Régis-Lavoie, glace 2\n"
                     "Sam. 14 mars   PARTIE vs Cobras de Saint-Lin   9 h 30\n"
                     "               Aréna Régis-Lavoie, glace 1 – chandail FONCÉ\n"
                     "Dim. 15 mars   Pratique de remplacement   11 h 15\n"
                     "               Centre sportif de la Seigneurie\n",
                     "fr_CA"),
              (Places{"Aréna Régis-Lavoie, glace 2", "Aréna Régis-Lavoie, glace 1",
                      "Centre sportif de la Seigneurie"}));
    // A match's away side is no place; the ground after it is.
    EXPECT_EQ(places("Sa. 07.03.  10:30  SV Aubing – FC Gräfelfing     Sportanlage Aubing\n"
                     "Sa. 14.03.  11:00  TSV Gauting – SV Aubing     Waldpark Gauting, Platz 3",
                     "de_DE"),
              (Places{"Sportanlage Aubing", "Waldpark Gauting, Platz 3"}));
    EXPECT_EQ(places("• Wednesday, March 4 — Midweek worship, 7:00 p.m., Sanctuary"),
              Places{"Sanctuary"});
    // A remark in parentheses is no place; a link to a call is one when nothing else is.
    EXPECT_EQ(places("Inset day: Monday 9 March (school closed)"), Places{"-"});
    // ... nor is a remark that a place is shut.
    EXPECT_EQ(places("INSET day – Friday 13th March, school closed to pupils"), Places{"-"});
    EXPECT_EQ(places("Lundi 9 mars : journée pédagogique, pas d'école.", "fr_FR"), Places{"-"});
    EXPECT_EQ(places("Friday 13 March: staff training day, no school"), Places{"-"});
    // An address the row gives after its day goes before a person after "bei".
    EXPECT_EQ(places("Ihr Termin am Donnerstag, 12.03.2026 um 10:15 Uhr bei Dr. Schneider "
                     "(Hausarztpraxis am Markt, Marktplatz 3, 72070 Tübingen).",
                     "de_DE"),
              Places{"Hausarztpraxis am Markt, Marktplatz 3, 72070 Tübingen"});
    // A place piece of a row goes before a name after "at" that is no place.
    EXPECT_EQ(places("Friday 6 March\n10:15 AM  Streaming at Scale with Open Tools (Room 12A)"),
              Places{"Room 12A"});
    // A place in the heading is part of the event's name, after any named below it.
    EXPECT_EQ(places("FREE YOGA IN THE PARK\nSunday 8 March, 9–10am\non the lawn by the bandstand, "
                     "Victoria Park, Bath"),
              Places{"lawn by the bandstand, Victoria Park, Bath"});
    EXPECT_EQ(places("QUIZ NIGHT AT THE RED LION\nThursday 12 March, 8pm"), Places{"THE RED LION"});
    // A slogan that exclaims is no venue.
    EXPECT_EQ(places("Keep Elm Park Beautiful!\nSpring Cleanup\nSaturday 7 March, 8am"),
              Places{"-"});
    // The time a place's label gives with it is no part of the place, nor is the preposition
    // that joins it to its sentence, or one left at the end of a broken line.
    EXPECT_EQ(places("Wandertag am Freitag, 13. März 2026\nTreffpunkt: 8:00 Uhr auf dem Schulhof",
                     "de_DE"),
              Places{"Schulhof"});
    EXPECT_EQ(places("The showcase is on Wednesday 11 March at 6.30pm in the Studio Theatre (doors "
                     "open 6.10pm)."),
              Places{"Studio Theatre"});
    EXPECT_EQ(places("Party at Flat 3, 27 Lansdowne Road, Bristol BS6 5LE\nSaturday 7 March, 8pm"),
              Places{"Flat 3, 27 Lansdowne Road, Bristol BS6 5LE"});
    EXPECT_EQ(places("Réunion le jeudi 12 mars\nLieu : 14h15, salle B12", "fr_FR"),
              Places{"salle B12"});
    // Nor is the length or a remark said in brackets after it.
    EXPECT_EQ(places("Réunion le jeudi 12 mars à 18 h 30\nLieu : salle de motricité (durée 1 h "
                     "environ)",
                     "fr_FR"),
              Places{"salle de motricité"});
    EXPECT_EQ(places("Wandertag: Freitag, 13.03.2026\nTreffpunkt: 8.00 Uhr auf dem Schulhof (bitte "
                     "pünktlich, der Bus wartet nicht!)",
                     "de_DE"),
              Places{"Schulhof"});
    // Nor is the way in after a whole address, though the region named there stays.
    EXPECT_EQ(places("Umzug: Freitag, 13.03.2026, 7.00 Uhr\nAdresse: Bühlstrasse 23, 8400 "
                     "Winterthur (3. OG, kein Lift)",
                     "de_CH"),
              Places{"Bühlstrasse 23, 8400 Winterthur"});
    EXPECT_EQ(places("E-bike rental, Friday 13 March, 9:30\nWhere: Parkweg 9, 1791 EK Den Burg "
                     "(Texel)",
                     "nl_NL"),
              Places{"Parkweg 9, 1791 EK Den Burg (Texel)"});
    // A bracket that names part of the place stays.
    EXPECT_EQ(places("Réunion le jeudi 12 mars à 18 h 30\nLieu : salle Jura (2e étage)", "fr_FR"),
              Places{"salle Jura (2e étage)"});
    // Beside the building, the floor is the invitation's to tell, wherever the bracket stands.
    EXPECT_EQ(places("Réunion le jeudi 12 mars à 18 h 30\nLieu : Centre Les Cèdres, salle Jura "
                     "(rez-de-chaussée), Chemin des Cèdres 9, 1004 Lausanne",
                     "fr_CH"),
              Places{"Centre Les Cèdres, salle Jura, Chemin des Cèdres 9, 1004 Lausanne"});
    EXPECT_EQ(
        places("Flu shots on Thursday 15 October, 10:15am\nWhere: Building 2, Training Room B "
               "(1st floor, next to the cafeteria)",
               "en_US"),
        Places{"Building 2, Training Room B"});
    // A closing that names an office signs the letter.
    EXPECT_EQ(places("Hi all,\nThe school will be closed on Friday 13 March for staff training.\n"
                     "Thanks, Office"),
              Places{"-"});
    // The sender's firm under a letter's closing is the place only when nothing else is.
    EXPECT_EQ(places("Meeting on Thursday 12 March at 2pm in Room 4.\n\nKind regards,\nJohn Smith\n"
                     "Green Lane Surgery"),
              Places{"Room 4"});
    EXPECT_EQ(places("Meeting on Thursday 12 March at 2pm.\n\nKind regards,\nJohn Smith\n"
                     "Green Lane Surgery\nhttps://meet.google.com/abc-defg-hij"),
              Places{"https://meet.google.com/abc-defg-hij"});
    EXPECT_EQ(places("Meeting on Thursday 12 March at 2pm.\n\nKind regards,\nJohn Smith\n"
                     "Green Lane Surgery"),
              Places{"Green Lane Surgery"});
    EXPECT_EQ(places("Standup on 9 March at 9:30\nhttps://meet.google.com/abc-defg-hij"),
              Places{"https://meet.google.com/abc-defg-hij"});
    EXPECT_EQ(places("Sync on 9 March at 9:30\nhttps://chime.aws/4211796605"),
              Places{"https://chime.aws/4211796605"});
    // Among several events, a whole day with no place of its own is held nowhere; a day alone
    // keeps the text's place.
    EXPECT_EQ(places("Greenway Primary School\n18 Park Road, Leeds LS6 2AB\n\nDear parents,\n"
                     "Parents' evening: Thursday 12 March, 4pm\n"
                     "Friday 13 March: INSET day – school closed\nMonday 23 March: last day of "
                     "term"),
              (Places{"Greenway Primary School, 18 Park Road, Leeds LS6 2AB", "-", "-"}));
    EXPECT_EQ(places("Street Fair\nSaturday 14 March\nMarket Square, Leeds LS1 6AB"),
              Places{"Market Square, Leeds LS1 6AB"});
    // A mailing's footer gives the sender's address; the webinar is held at its link, which may
    // be told by the line above it.
    EXPECT_EQ(places("Your webinar: Tuesday 10 March, 2:00 PM\n\nJoin from a PC, Mac or phone:\n"
                     "https://join.talkbridge.io/w/845123\n\nPinecrest HR Inc. · 1100 Melville "
                     "Street, Vancouver, BC V6E 4A6\nYou are receiving this email because you "
                     "registered. Unsubscribe"),
              Places{"https://join.talkbridge.io/w/845123"});
    EXPECT_EQ(places("Your webinar: Tuesday 10 March, 2:00 PM\nhttps://fernhill.zoom.us/j/839\n\n"
                     "You're receiving this email because you registered.\nUnsubscribe · Privacy "
                     "policy\nFernhill Analytics, Inc. · 548 Market St · San Francisco, CA 94104"),
              Places{"https://fernhill.zoom.us/j/839"});
    // The address a letter is sent to is the reader's own.
    EXPECT_EQ(
        places("                 Madame Véronique LAMBOTTE\n                 Rue du Fort 17/2\n"
               "                 5100 Jambes\n\nConsultation le mardi 10 mars 2026 à 10h40",
               "fr_BE"),
        Places{"-"});
    // Each of several events takes the labelled place below it, or one a map pin marks.
    EXPECT_EQ(places("Consultation\nThu, 12 Mar 2026  10:30 AM\nLocation: OPD Block B, Room 214\n"
                     "Investigation\nSat, 14 Mar 2026  08:15 AM\n📍 Cardiac Diagnostics, Block A"),
              (Places{"OPD Block B, Room 214", "Cardiac Diagnostics, Block A"}));
    // A pinned place goes on over the lines set in below it, without their remarks.
    EXPECT_EQ(places("🗓  Mardi 10 mars 2026 à 14h15\n📍  Cabinet de dermatologie Carnot\n"
                     "     18 boulevard Carnot, 2e étage (ascenseur)\n     59000 Lille\n"
                     "Motif : Contrôle",
                     "fr_FR"),
              Places{"Cabinet de dermatologie Carnot, 18 boulevard Carnot, 2e étage, 59000 Lille"});
    // A table's column gives each row's place: the whole of its cell, which may name only a part
    // of the building.
    EXPECT_EQ(places("Date        Time      Test                     Department\n"
                     "12/03/2026  08:00 AM  Fasting blood tests      Laboratory, Ground Floor\n"
                     "12/03/2026  09:15 AM  2D Echocardiogram        Cardiology, 2nd Floor, Room "
                     "204",
                     "en_IN"),
              (Places{"Laboratory, Ground Floor", "Cardiology, 2nd Floor, Room 204"}));
    // A row's place goes on over the parts of its building after it.
    EXPECT_EQ(
        places("1) 2D Echocardiography – 10-03-2026 at 9:30 AM, Echo Lab, 2nd Floor, B Block\n"
               "2) Review – 14-03-2026 at 4:30 PM, OPD 6, Ground Floor",
               "en_IN"),
        (Places{"Echo Lab, 2nd Floor, B Block", "OPD 6, Ground Floor"}));
    // A section's heading of one word over the address names no venue.
    EXPECT_EQ(places("Thu 12 Mar 2026   Flight NZ 10 to Honolulu\n\nACCOMMODATION\nWaikiki Palms "
                     "Resort, 2300 Kalakaua Ave, Honolulu\nCheck-in Thu 12 Mar 2026 from 3:00 pm"),
              (Places{"Waikiki Palms Resort, 2300 Kalakaua Ave, Honolulu"}));
    // A venue set after the day with its street is where the row is.
    EXPECT_EQ(places("AGM\nThursday 12 March at 8pm in the clubhouse.\n\nANNUAL DINNER DANCE\n"
                     "Saturday 14 March, The Riverside Hotel, Quay Street\nDrinks 7.30pm"),
              (Places{"clubhouse", "The Riverside Hotel, Quay Street"}));
    // Each appointment in a block of its own is held in the part of the building its block
    // names.
    EXPECT_EQ(
        places("MyCare · Galway Bay Clinic\n\nMRI – Right knee\nTue 10 Mar 2026 · 07:50\n"
               "Radiology, Ground Floor, Block C\n\nOrthopaedic review\nTue 17 Mar 2026 · "
               "14:15\nOutpatients Suite 2, First Floor, Block A"),
        (Places{"Radiology, Ground Floor, Block C", "Outpatients Suite 2, First Floor, Block A"}));
    // ... without the name of the doctor seen there.
    EXPECT_EQ(places("1. Pre-op assessment\nTue 10 Mar 2026 · 10:40\nDr A. Verhaegen - "
                     "Anaesthetics clinic, route 214 (Building B)\n\n2. Admission\nMon 16 Mar "
                     "2026 · 07:00\nDay surgery reception, route 300 (Building A, Level 1)"),
              (Places{"Anaesthetics clinic, route 214 (Building B)",
                      "Day surgery reception, route 300 (Building A, Level 1)"}));
    // A calendar's rows give each event's length under its time and its place under its name.
    EXPECT_EQ(places("Tuesday, 10 March\n10:00 am  Supplier visit\n1h 30m    Boardroom, Level 2\n\n"
                     "2:00 pm   Dental check-up\n45m       Ponsonby Road Dental   ↻"),
              (Places{"Boardroom, Level 2", "Ponsonby Road Dental"}));
    // Each of several webinars in a block of its own is joined at the link in its block.
    EXPECT_EQ(places("Session 1: Soil mapping\nThursday 12 March, 4pm\nJoin: "
                     "https://zoom.us/j/111\n\nSession 2: Water budgets\nThursday 19 March, "
                     "4pm\nJoin: https://zoom.us/j/222"),
              (Places{"https://zoom.us/j/111", "https://zoom.us/j/222"}));
}

} // namespace
} // namespace plannery::reader
