#include "finder/TitlePicking.h"

#include "TestSupport.h"
#include "finder/FinderText.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

// The titles of the events found in a text read on Monday, 2 March 2026.
std::vector<std::string> titles(const char* text, const char* locale = "en_GB",
                                const char* venue = "Venue Hall") {
    const Calendar calendar = *Calendar::make("Europe/London", locale);
    const Instant now = test::at(calendar, 2026, 3, 2, 9, 0);
    const ReaderDays days(calendar, now);
    const TextFacts facts = TextFacts::read(text, days);
    const auto candidates = assemble(facts, days, now, calendar);
    const TitlePicker picker(facts, candidates, calendar.localeId(), venue);
    std::vector<std::string> out;
    for (const Candidate& c : candidates) {
        out.push_back(picker.title(c));
    }
    return out;
}

using Titles = std::vector<std::string>;

TEST(TitlePickingTest, HeadingsNameASingleEvent) {
    EXPECT_EQ(titles("WINTER BALL\nSaturday 14 March, 7pm\nTown Hall"), Titles{"Winter Ball"});
    // A generic first line, a venue over its address and a sign-off name no event.
    EXPECT_EQ(titles("Booking confirmation\nPotters Wheel Studio\n4 Kiln Lane, Stoke ST1 2AB\n"
                     "Pottery taster\nSunday 15 March, 10:00\nThanks,\nMaria"),
              Titles{"Pottery taster"});
    // A heading over an address that opens with its own venue names what is on there.
    EXPECT_EQ(titles("Thank you for your booking\n\nTHE WINTER'S TALE\nRoyal Exchange Theatre, St "
                     "Ann's Square, Manchester M2 7DH\n\nPerformance: Saturday 14 March 2026, "
                     "2.30pm (matinee)"),
              Titles{"The Winter's Tale"});
    // A ticket's label says what it is for, and a name keeps the article it opens with.
    EXPECT_EQ(titles("THE OLD VIC YARD THEATRE\nBox Office Confirmation\n\nPerformance: A Doll's "
                     "House\nDate: Saturday 14 March 2026\nTime: 14:30 (matinee)"),
              Titles{"A Doll's House"});
    // A registration's subject names what it is for, and a clock given again in another zone
    // names nothing.
    EXPECT_EQ(titles("Subject: You're registered: Payroll Year-End — Live Webinar\n\n"
                     "When:  Tuesday, March 10, 2026\n       2:00 PM ET / 11:00 AM PT\n"),
              Titles{"Payroll Year-End — Live Webinar"});
    // Nor do the instructions for coming to it.
    EXPECT_EQ(titles("Subject: Joining instructions – Applied Data Analytics with Python\n\n"
                     "Saturday 14 March 2026, 9:00 – 17:30"),
              Titles{"Applied Data Analytics with Python"});
    // A heading that only says an appointment is new names nothing; where it is does.
    EXPECT_EQ(titles("Hi Liam,\n\nwe've moved the visit:\n\nNEW APPOINTMENT\n"
                     "Thursday, 12 March 2026 at 4:40 PM\n"),
              Titles{"Venue Hall"});
    // Nor does the part of a whole that a heading numbers.
    EXPECT_EQ(
        titles("Your NHS Health Check\n\nPART 1 - BLOOD TEST\nTuesday 10 March 2026 at 08:20\n"
               "Holmcroft Branch Surgery"),
        Titles{"Blood Test"});
    // Nor does the heading of a booking's or an app's list.
    EXPECT_EQ(titles("CAMPING\nArrive: Fri 13 Mar 2026\n\nACTIVITIES\nGlow Worm Discovery Walk\n"
                     "Sat 14 Mar 2026, 7:15 pm – 8:45 pm"),
              (Titles{"Camping", "Glow Worm Discovery Walk"}));
    // Nor does a venue set after the day with its street, nor the street.
    EXPECT_EQ(titles("AGM\nThursday 12 March at 8pm in the clubhouse.\n\nANNUAL DINNER DANCE\n"
                     "Saturday 14 March, The Riverside Hotel, Quay Street\nDrinks 7.30pm"),
              (Titles{"AGM", "Annual Dinner Dance"}));
    // Nor is a remark in brackets after it, before the colon that leads to its day.
    EXPECT_EQ(
        titles("Répétition générale (obligatoire pour tous les patineurs) :\nvendredi 13 mars "
               "de 18 h à 20 h 30, à l'aréna.",
               "fr_CA"),
        Titles{"Répétition générale"});
    // Nor does the label of a time inside a line.
    EXPECT_EQ(titles("Blood Test\n📅 Tue, 10 Mar 2026     Slot: 7:00 AM – 8:00 AM\n\n"
                     "Home Sample Collection\n📅 Thu, 12 Mar 2026     Slot: 7:00 AM – 8:00 AM"),
              (Titles{"Blood Test", "Home Sample Collection"}));
    // Nor does what changed, after a dash in a subject.
    for (const char* subject :
         {"Subject: Fire Warden Training - NEW DATE", "Subject: Fire Warden Training – Rescheduled",
          "Subject: Fire Warden Training - UPDATED"}) {
        EXPECT_EQ(
            titles((std::string(subject) + "\n\nWhen: Wednesday 11 March 2026, 2–4pm").c_str()),
            Titles{"Fire Warden Training"})
            << subject;
    }
    // Nor does a noun that says when ("the night before") in the sentence after the day's.
    EXPECT_EQ(titles("Reminder: Council clean-up collection is on Monday 9 March. Place items out "
                     "the night before."),
              Titles{"Council clean-up collection"});
    // Nor do an app's tabs, each with the count of what it lists.
    EXPECT_EQ(titles(" Reminders (5)  |  Recordings (2)  |  Series Links (1)\n\nTONIGHT\n"
                     "Tue 10 Mar · 20:00 – 21:30\nThe Last Lighthouse Keepers"),
              Titles{"The Last Lighthouse Keepers"});
    // A poster's name stacked a word or two a line is one name; a generic line below is not
    // part of it.
    EXPECT_EQ(titles("SOIRÉE\nJAZZ\n& SWING\n\nSAMEDI 14 MARS 2026\n20h30", "fr_FR"),
              Titles{"Soirée Jazz & Swing"});
    EXPECT_EQ(titles("SPRING FLOWER\nSHOW 2026\n\nSaturday 14 March, 10am – 4pm"),
              Titles{"Spring Flower Show 2026"});
    EXPECT_EQ(titles("BRASSERIE LUMIÈRE\nRESERVATION CONFIRMED\n\nSee you on Saturday 14th March "
                     "at 7.45pm."),
              Titles{"Brasserie Lumière"});
    // A section's number is no part of the name it gives; an occasion's ordinal is.
    EXPECT_EQ(titles("1. Jahreshauptversammlung\nFreitag, 13. März 2026, 19.30 Uhr im Vereinsheim."
                     "\n\n2. Sommerfest\nSamstag, 20. Juni, ab 15 Uhr",
                     "de_DE"),
              (Titles{"Jahreshauptversammlung", "Sommerfest"}));
    EXPECT_EQ(titles("40. Geburtstag\nSamstag, 14. März 2026, 19 Uhr", "de_DE"),
              Titles{"40. Geburtstag"});
    // The words that say how long it lasts name nothing.
    EXPECT_EQ(titles("• Kick-off\n  Donnerstag, 5. März, 10:00–11:30 Uhr\n\n• Begehung vor Ort\n"
                     "  Dienstag, 10.3., 8:30 Uhr, Dauer ca. 2 Stunden\n\n• Workshop\n"
                     "  Mittwoch, 11. März, 9 bis 16 Uhr",
                     "de_DE"),
              (Titles{"Kick-off", "Begehung vor Ort", "Workshop"}));
    // A subject's piece after a dash goes on with its name when it tells what the event is.
    EXPECT_EQ(titles("Subject: Vendor onboarding – kick-off call\n\nDate: Thursday, 12 March "
                     "2026\nTime: 3pm"),
              Titles{"Vendor onboarding – kick-off call"});
    // A booking's subject names where it is, without the reference after it.
    EXPECT_EQ(titles("Subject: Your booking at Harbour View Hotel – Ref HVH-58213\n\nArrival: "
                     "Friday 13 March 2026"),
              Titles{"Harbour View Hotel"});
    EXPECT_EQ(titles("Objet : Votre rendez-vous d'installation – Dossier n° ONT-7741-20983\n\n"
                     "Le jeudi 12 mars 2026 à 13 h",
                     "fr_FR"),
              Titles{"Rendez-vous d'installation"});
    // A subject names the e-mail's event, without its own label.
    EXPECT_EQ(
        titles("Subject: Reminder: Budget sync\n\nHi all, see you Tuesday 10 March at 11:00."),
        Titles{"Budget sync"});
    // ... nor a subject that only says something changed, nor the dative an invitation leaves.
    EXPECT_EQ(
        titles("Subject: Change to your appointment\n\nDear Mr Patel,\n\nWe have rebooked "
               "you for Thursday 19 March at 4.50pm with Dr Evans.\n\nBright Smile Dental Care"),
        Titles{"Dentist appointment"});
    EXPECT_EQ(
        titles("Betreff: Einladung zu meinem 50. Geburtstag\n\nSamstag, 7. März 2026, ab 18 Uhr",
               "de_DE"),
        Titles{"50. Geburtstag"});
    EXPECT_EQ(
        titles("Am Sa., 7.3.2026 um 19.30 Uhr laden wir zu unserem Frühjahrskonzert ein.", "de_DE"),
        Titles{"Frühjahrskonzert"});
    // A generic word before what it confirms is no part of its name.
    EXPECT_EQ(
        titles("Betreff: Terminbestätigung Inspektion\n\nDienstag, 10.03.2026, 7:30 Uhr", "de_DE"),
        Titles{"Inspektion"});
    EXPECT_EQ(titles("Betreff: Buchungsbestätigung Nr. 7730-5519-02 – Hotel Elbkai Hamburg\n\n"
                     "Anreise: Donnerstag, 12.03.2026, ab 15:00 Uhr",
                     "de_DE"),
              Titles{"Hotel Elbkai Hamburg"});
    // An app's buttons read with its screen name nothing, and a heading in capitals that ends on
    // a possessive goes on below.
    EXPECT_EQ(titles("9:41\nDone              My Tickets\nTHE LAMPLIGHTER'S\nDAUGHTER\n"
                     "Harcourt Theatre\nSat 14 Mar 2026 • 7:30pm\n   Add to Apple Wallet"),
              Titles{"The Lamplighter's Daughter"});
    // A subject's tag in brackets is its name.
    EXPECT_EQ(titles("Objet : [Séminaire d'équipe] Chantilly le 12 mars – infos pratiques\n\n"
                     "Rendez-vous le jeudi 12 mars à 9h30.",
                     "fr_FR"),
              Titles{"Séminaire d'équipe"});
    // Nor does a text message's greeting, in whatever language it greets.
    EXPECT_EQ(
        titles("Kia ora Aroha, your appointment with Dr Sunil Patel is booked for Mon "
               "09/03/26 at 8:50am at Northcote Family Health.\n\n      Y\n\n"
               "Thanks Aroha, your appointment is confirmed. Dr Patel has asked that you "
               "have your blood test done before this appointment.\n\n9:14 am\n\n"
               "Kia ora Aroha, your cervical screening with Nurse Jo Whaanga is booked for "
               "Tue 17/03/26 at 4:40pm.",
               "en_NZ"),
        (Titles{"Appointment with Dr Sunil Patel", "Cervical screening with Nurse Jo Whaanga"}));
    // A letter's salutation names no one's event.
    EXPECT_EQ(titles("Sehr geehrte Bewohnerinnen und Bewohner!\n\nDer Rauchfangkehrer kommt am "
                     "Donnerstag, 12. März 2026, zwischen 7:00 und 12:00 Uhr.",
                     "de_DE"),
              Titles{"Rauchfangkehrer kommt"});
    // The service an appointment is labelled with names it over the subject's reference.
    EXPECT_EQ(titles("Betreff: Terminbestätigung – Vorgangsnummer 4417-3390\n\n"
                     "  Dienstleistung:   Personalausweis beantragen\n"
                     "  Datum:            Dienstag, 10.03.2026\n  Uhrzeit:          10:24 Uhr",
                     "de_DE"),
              Titles{"Personalausweis beantragen"});
    // ... as does the investigation a hospital's letter books.
    EXPECT_EQ(titles("Investigation: CT Coronary Angiography\nDate: Thursday, 12 March 2026\n"
                     "Reporting time: 8:00 AM\nVenue: Radiology, Ground Floor",
                     "en_IN"),
              Titles{"CT Coronary Angiography"});
    // So does a course's title among the other fields of its form, whose abbreviated labels
    // ("Kurs-Nr.:") are labels too.
    EXPECT_EQ(titles("Kurs-Nr.:  271-4305\nTitel:     Italienisch A1 für Einsteiger\n"
                     "Leitung:   Chiara Benedetti\nZeit:      dienstags, 18:30 – 20:00 Uhr\n"
                     "Termine:   Di 10.03.  ·  Di 17.03.",
                     "de_DE"),
              (Titles{"Italienisch A1 für Einsteiger", "Italienisch A1 für Einsteiger"}));
    // So does the place a stay is booked in, without its details in brackets.
    EXPECT_EQ(
        titles("Betreff: Ihre Buchungsbestätigung Nr. OP-26-08817 – Ferienwohnung, Koserow\n\n"
               "Objekt:   Ferienwohnung „Möwennest“ (Whg. 3, 1. OG)\n"
               "Anreise:  Samstag, 14.03.2026, ab 16:00 Uhr\n"
               "Abreise:  Samstag, 21.03.2026, bis 10:00 Uhr",
               "de_DE"),
        Titles{"Ferienwohnung „Möwennest“"});
    // The month of one of a series is no part of its name.
    EXPECT_EQ(titles("Book Club – March\nWednesday 18 March, 7:30pm at Sarah's"),
              Titles{"Book Club"});
    // A table's head names its columns, and the heading above it the appointments.
    EXPECT_EQ(titles("Physiotherapie am Markt\n\nNr | Tag | Datum   | Uhrzeit | Therap.\n"
                     "1  | Mo  | 09.03.  | 7.40    | JL",
                     "de_DE"),
              Titles{"Physiotherapie am Markt"});
    // An automatic reply's subject names nothing.
    EXPECT_EQ(titles("Subject: Automatic reply: Thursday\n\nI'm away. The webinar goes ahead:\n\n"
                     "   Customer Onboarding Webinar\n   Thursday, March 12 · 11:00 AM"),
              Titles{"Customer Onboarding Webinar"});
    // Markers of replies and forwards lead in, however many there are.
    EXPECT_EQ(titles("Subject: Re: Fwd: Dinner Saturday?\n\nYes! Saturday 14 March at 7.30 works."),
              Titles{"Dinner"});
    EXPECT_EQ(titles("Betreff: AW: WG: Elternabend\n\nAm Dienstag, 10. März um 19 Uhr.", "de_DE"),
              Titles{"Elternabend"});
    EXPECT_EQ(titles("Subject: FW: Updated: Ops Strategy Offsite – Thu 12 March\n\nMorning Pieter, "
                     "they moved the start to 09:00."),
              Titles{"Ops Strategy Offsite"});
    // A notice's heading is generic; "Welcome to our" leads in.
    EXPECT_EQ(
        titles("NOTICE TO RESIDENTS\n\nWater supply interruption\nTuesday 10 March, 9am – 3pm"),
        Titles{"Water supply interruption"});
    EXPECT_EQ(titles("Welcome to our Open Day!\nSaturday 14 March 2026, 10am-2pm\n"
                     "Tours every 30 minutes"),
              Titles{"Open Day"});
    // A heading that only announces one goes on below it.
    EXPECT_EQ(titles("Einladung\n\nzur Mitgliederversammlung des Gartenvereins\n"
                     "am Freitag, 20. März 2026, um 19:00 Uhr",
                     "de_DE"),
              Titles{"Mitgliederversammlung des Gartenvereins"});
    EXPECT_EQ(titles("INVITATION\nto the Annual Dinner\nFriday 20 March, 7pm"),
              Titles{"Annual Dinner"});
    // Who puts on a show, even a dance company, presents it on the next line.
    EXPECT_EQ(titles("Riverside Dance Theatre presents\nTHE WILD SWANS\nSat 21 March, 7.30pm"),
              Titles{"The Wild Swans"});
    EXPECT_EQ(titles("La Compagnie du Quai présente\nLe Bal des Pompiers\n"
                     "samedi 21 mars à 20h30",
                     "fr_FR"),
              Titles{"Le Bal des Pompiers"});
    // The heads of a table's columns name nothing.
    EXPECT_EQ(titles("The Old Mill Inn\nGuest\t\tCheck-in\t\tCheck-out\nJ. Smith\t\tFri 20 Mar\t\t"
                     "Sun 22 Mar"),
              Titles{"The Old Mill Inn"});
    EXPECT_EQ(titles("The Old Mill Inn\nGuest Check-in Check-out\nJ. Smith Fri 20 Mar Sun 22 Mar"),
              Titles{"The Old Mill Inn"});
    // The word for the message about the event goes, with whose it is; the "vous" of
    // "rendez-vous" is part of the word, not a sentence's.
    EXPECT_EQ(titles("Objet : Rappel de votre rendez-vous contrôle technique\n\n"
                     "Le jeudi 12 mars 2026 à 9h15.",
                     "fr_FR"),
              Titles{"Rendez-vous contrôle technique"});
    EXPECT_EQ(titles("Subject: Confirmation of your eye examination\n\n"
                     "We look forward to seeing you on Thursday 12 March at 9:15."),
              Titles{"Eye examination"});
    // A course's label names it; the label of its dates says when, not what.
    EXPECT_EQ(titles("Hi Jo,\n\nCourse: Intermediate Spanish\nDates: Tuesday 10 March\n"
                     "Time: 6pm\n\nSee you there!"),
              Titles{"Intermediate Spanish"});
    EXPECT_EQ(
        titles("Kurs: Erste Hilfe am Kind\nTermine: Samstag, 14. März 2026, 9–16 Uhr", "de_DE"),
        Titles{"Erste Hilfe am Kind"});
    // A word for the message set off by a dash goes.
    EXPECT_EQ(titles("Subject: Reminder – Your annual eye check\n\n"
                     "See you on Thursday 12 March at 9:15."),
              Titles{"Annual eye check"});
    // ... and so does one that follows the event's noun, before a dash.
    EXPECT_EQ(titles("Subject: Interview invitation – Senior Data Analyst\n\n"
                     "Date: Thursday, 12 March 2026\nTime: 10:30 a.m."),
              Titles{"Interview – Senior Data Analyst"});
    // The word for the message about the event goes.
    EXPECT_EQ(
        titles("Subject: Dentist appointment reminder\n\nSee you on Tuesday 10 March at 3pm."),
        Titles{"Dentist appointment"});
    // "Join us for" and an article go.
    EXPECT_EQ(titles("Join us for a Spring Picnic\nSunday 22 March, noon"),
              Titles{"Spring Picnic"});
    // What a recogniser made of a picture or a smudge, above the text, is no heading.
    EXPECT_EQ(titles("Ee\nHi all,\nWe'd love to have you over for dinner on Friday 6 March."),
              Titles{"Dinner"});
    // The size of a booking is no name: the venue is the title of last resort.
    EXPECT_EQ(titles("Thanks for booking!\n\nParty of 4\nSaturday 7 March at 19:45"),
              Titles{"Venue Hall"});
    // A tour is the act's named above it; whom a booking is with names it.
    EXPECT_EQ(titles("TICKETMASTER\nArctic Monkeys\nThe Car Tour\nO2 Arena, London\n"
                     "Sat 18 Apr 2026\nStart: 19:30"),
              Titles{"Arctic Monkeys – The Car Tour"});
    // ... with its year, and past the support act.
    EXPECT_EQ(titles("YOUR E-TICKET\n\nTHE MIDNIGHT ORCHARD\nwith special guest Maya Oduya\n"
                     "UK Tour 2026\n\nCastle Hall Arena, Nottingham\nSat 10 Oct 2026\nShow 19:30"),
              Titles{"The Midnight Orchard – UK Tour 2026"});
    EXPECT_EQ(
        titles("Reservation Confirmation\n\nThank you for choosing The Lodge at Bear Creek!\n"
               "Arrival: Thu, Apr 16, 2026\nDeparture: Sun, Apr 19, 2026\nGuest: Michael Tran"),
        Titles{"The Lodge at Bear Creek"});
    // A colon after words that are no label is part of the name.
    EXPECT_EQ(titles("Film club: Casablanca\nThursday 12 March, 8pm"),
              Titles{"Film club: Casablanca"});
}

TEST(TitlePickingTest, EventsInBlocksOfTheirOwnAreNamedByTheirBlocksHeadings) {
    EXPECT_EQ(titles("MATARIKI ON THE SHORE\n\nLANTERN-MAKING WORKSHOPS\nSat 7 March · 10am–12pm\n"
                     "Devonport Library\n\nLANTERN WALK\nSat 14 March · 6pm–7.30pm\n"
                     "Gather at the Band Rotunda"),
              (Titles{"Lantern-Making Workshops", "Lantern Walk"}));
    // Blocks without headings of their own share the text's.
    EXPECT_EQ(titles("SUMMER FAIR\n\nSat 7 March, 10am–4pm\n\nSun 8 March, 10am–2pm"),
              (Titles{"Summer Fair", "Summer Fair"}));
    // Blocks that open with their day alone are named on the line below that gives its time.
    EXPECT_EQ(titles("KOWHAI TRAVEL\nItinerary\n\nSaturday 14 March 2026\nFlight NZ10  "
                     "Auckland (AKL) → Honolulu (HNL)\nDepart 19:40\n\nSunday 15 March 2026\n"
                     "Pearl Harbor half-day tour – pick-up 06:45 from the hotel lobby"),
              (Titles{"Flight to Honolulu", "Pearl Harbor half-day tour"}));
    EXPECT_EQ(titles("Itinerary\n\nSaturday 14 March 2026\nHotel check-in from 15:00\n"
                     "Waikiki Shore Hotel\n\nSunday 15 March 2026\nSnorkel trip at 09:30"),
              (Titles{"Hotel check-in", "Snorkel trip"}));
    // A line of times that gives only the venue, with its address or its words joined by an
    // article, is named by the line above it.
    EXPECT_EQ(titles("Fr, 13. März 2026\nBLUTSPENDEAKTION des Roten Kreuzes\n"
                     "15.30 – 19.30 Uhr, Feuerwehrhaus Hollenau, Kremser Straße 18\n\n"
                     "So, 15. März 2026\nKINDERMASKENBALL\n"
                     "14.00 – 17.00 Uhr, Turnsaal der Volksschule Hollenau",
                     "de_AT"),
              (Titles{"Blutspendeaktion des Roten Kreuzes", "Kindermaskenball"}));
    // ... also after the word that opens its times.
    EXPECT_EQ(titles("RETRAIT DES DOSSARDS\nSamedi 14 mars, 10h30 – 11h00, tente B\n\nPASTA PARTY\n"
                     "Samedi 14 mars de 19h00 à 21h30, Halle 6 – Parc des Chantiers.",
                     "fr_FR"),
              (Titles{"Retrait des Dossards", "Pasta Party"}));
    // A block's sentence that lists what goes on is no heading.
    EXPECT_EQ(titles("Babytime\nTuesdays, 10:30–11 a.m. · Children's Area\n"
                     "Songs, rhymes and bounces for babies 0–18 months and their grown-ups.\n"
                     "Mar 3 · Mar 10 · Mar 17"),
              (Titles{"Babytime", "Babytime", "Babytime"}));
}

TEST(TitlePickingTest, ADayAloneOverOnlyItsTimesIsNamedOnTheLineBelowThem) {
    EXPECT_EQ(titles("‹ Back                My appointments\nNorthgate Physio & Sports Clinic\n\n"
                     "TUESDAY 10 MARCH 2026\n08:15 – 08:45 (30 min)\nFollow-up physiotherapy\n"
                     "with Priya Chandran MCSP\n\n"
                     "TUESDAY 24 MARCH 2026\n08:15 – 08:45 (30 min)\nFollow-up physiotherapy\n"
                     "with Priya Chandran MCSP"),
              (Titles{"Follow-up physiotherapy", "Follow-up physiotherapy"}));
}

TEST(TitlePickingTest, ABlocksHeadingIsNotOutdoneByASentenceOfTheBlockAbove) {
    // Far down a newsletter, where headings count for less.
    EXPECT_EQ(titles("VEREINSNACHRICHTEN\nMusikkapelle Oberhaidach\n\nLiebe Mitglieder,\n\n"
                     "ein schönes Jahr liegt hinter uns.\n\nJUNGMUSIK\nDie Jungmusik probt.\n\n"
                     "FRÜHJAHRSKONZERT\nWir laden am Sa., 7.3.2026 um 19.30 Uhr zu unserem "
                     "Frühjahrskonzert ein.\n\nARBEITSEINSATZ\nWir brauchen jede Hand! "
                     "Arbeitseinsatz am Samstag, 14. März, von 9 bis 12 Uhr.",
                     "de_DE"),
              (Titles{"Frühjahrskonzert", "Arbeitseinsatz"}));
    // ... nor by the venue the text names elsewhere.
    EXPECT_EQ(titles("Betreff: Quartierpost Herbst\nVon: Quartierverein\nDatum: 2. März 2026\n\n"
                     "Liebe Mitglieder\n\nDie Tage werden kürzer.\nZeit für Räbeliechtli!\n"
                     "Wir freuen uns auf viele Gross und Klein.\n\nRÄBEN SCHNITZEN\nSa, 7. März, "
                     "14–17 Uhr\nBitte Messer "
                     "mitbringen.\n\nRÄBELIECHTLI-UMZUG\nMi, 11. März\nBesammlung: 17.45 Uhr "
                     "beim Schulhaus\nBei Regen wird das Znacht in die Turnhalle verlegt.",
                     "de_CH", "Turnhalle"),
              (Titles{"Räben Schnitzen", "Räbeliechtli-Umzug"}));
    // ... nor by a day's own name before its date.
    EXPECT_EQ(titles("Vereinsnachrichten\n\nTuS Grünbach 1912 e.V.\n\nLiebe Mitglieder,\n"
                     "wir hoffen, ihr seid gut ins neue Jahr gekommen!\n\nJahresausflug\n"
                     "Am Samstag, 7. März, um 8 Uhr fahren wir nach Worms."
                     "\n\nKinderfasching\nAm Faschingsdienstag, 10. März, von "
                     "14.30 bis 17.00 Uhr verwandelt sich die\nTurnhalle wieder in eine "
                     "Narrenburg.",
                     "de_DE"),
              (Titles{"Jahresausflug", "Kinderfasching"}));
}

TEST(TitlePickingTest, AMatchIsNamedByItsSides) {
    EXPECT_EQ(titles("NATIONAL PROVINCIAL CHAMPIONSHIP · ROUND 2\nAUCKLAND v CANTERBURY\n\n"
                     "Eden Park\nSaturday 14 March 2026\nKick-off 7:05pm"),
              Titles{"Auckland v Canterbury"});
}

TEST(TitlePickingTest, ATownAndItsCountryIsNoName) {
    EXPECT_EQ(titles("Booking confirmed\n\nCasa Sa Tanca\nCiutadella de Menorca, Spain\n\n"
                     "Check-in      Saturday 7 March 2026 · from 16:00\n"
                     "Check-out     Saturday 14 March 2026 · by 10:00"),
              Titles{"Casa Sa Tanca"});
    EXPECT_EQ(titles("Hütte am See\nGarmisch-Partenkirchen, Deutschland\n\nSamstag, 7. März 2026",
                     "de_DE"),
              Titles{"Hütte am See"});
    // ... nor is the town after a street, where a day's line names the event.
    EXPECT_EQ(titles("The Weekend Plan\n\nFRIDAY 12th JUNE  -  Welcome drinks\n"
                     "8pm till late, upstairs in The Clew Bay Tavern, Bridge Street, Westport.\n\n"
                     "SATURDAY 13th JUNE  -  The Big Day\nCeremony at half one (1.30pm) sharp."),
              (Titles{"Welcome drinks", "The Big Day"}));
}

TEST(TitlePickingTest, QuotesInANameStayBalanced) {
    EXPECT_EQ(titles("\"Low Tide\" Tour 2027\nFri 6 March 2026 • 8:00 PM"),
              Titles{"\"Low Tide\" Tour 2027"});
    EXPECT_EQ(titles("« Voix d'Europe »\nsamedi 7 mars 2026 à 20h30", "fr_FR"),
              Titles{"Voix d'Europe"});
}

TEST(TitlePickingTest, WhoPutsOnAShowIsNoName) {
    // The show's name, without its quotes (its capitals are lowered as in any heading).
    const Titles found = titles("CHŒUR DES CANUTS\nde la Croix-Rousse\n\nprésente\n\n"
                                "« VOIX D'EUROPE »\nSAMEDI 14 MARS 2026 — 20H30",
                                "fr_FR");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(FinderText::lower(found[0]), "voix d'europe");
}

TEST(TitlePickingTest, SalutationsCheersAndCarriersAreNoHeadings) {
    // A letter's salutation ends in a comma.
    EXPECT_EQ(titles("Madame, Monsieur,\n\nLa réunion de rentrée aura lieu le mardi 10 mars à "
                     "18h00.",
                     "fr_FR"),
              Titles{"Réunion de rentrée"});
    // A word called out cheers the reader on.
    EXPECT_EQ(titles("SURPRISE!\nIt's Dad's 60th birthday\nSaturday 14 March, 7pm"),
              Titles{"Dad's 60th birthday"});
    EXPECT_EQ(titles("PARTY!\nSaturday 14 March, 7pm"), Titles{"Party"});
    // A warning tells the reader what not to do: the venue is the title of last resort.
    EXPECT_EQ(titles("DO NOT SCREENSHOT\nSaturday 14 March 2026 · 7:30 PM"), Titles{"Venue Hall"});
    // A ticket's route names the trip better than the carrier's name above it.
    EXPECT_EQ(titles("Wightlink\nBooking confirmed – PF8823190\n\nPortsmouth → Fishbourne\n"
                     "Thursday 12 March 2026\nDepart 08:00 · Arrive 08:45"),
              Titles{"Portsmouth → Fishbourne"});
    // As a recogniser reads the arrows.
    EXPECT_EQ(titles("Wightlink\nBooking confirmed\n\nPortsmouth > Fishbourne\n"
                     "Thursday 12 March 2026\nDepart 08:00"),
              Titles{"Portsmouth → Fishbourne"});
    EXPECT_EQ(titles("Outbound - Thu 23 Apr 2026\n"
                     "TP1357 London Heathrow (LHR) T2 07:25 = Lisbon (LIS) T1 10:05"),
              Titles{"London Heathrow → Lisbon"});
    // A mail app's bar names its folder.
    EXPECT_EQ(titles("13:06                       LTE 54%\n‹ Inbox                    ⋮\n\n"
                     "TableTide <no-reply@tabletide.example>\nto me · 12:58\n\n"
                     "        KELPWATER KITCHEN\n        Your booking has been changed\n\n"
                     "Hi Thandiwe,\nYour reservation has been updated as requested.\n\n"
                     "  NEW   Sat, 7 Mar 2026 · 19:00\n        6 guests"),
              Titles{"Kelpwater Kitchen"});
    EXPECT_EQ(titles("Inbox                                  ⌃  ⌄   ⋯\n"
                     "Updated: Q2 Roadmap Sync\nPR  Priya Raghunathan <priya@example.com>\n\n"
                     "When:   Thursday, March 12, 2026 10:00 AM-11:00 AM"),
              Titles{"Q2 Roadmap Sync"});
    // An app's buttons name nothing.
    EXPECT_EQ(
        titles("Desaru Ferry\n\nSat 13 Mar 2027 · 09:20\n[ Show boarding QR ]     [ Manage ]"),
        Titles{"Desaru Ferry"});
    // So does any app's bar its page.
    const auto lessons = titles("10:02                     78 %\n←  Mes inscriptions\n\n"
                                "Programme Flocons\nSam. 14 mars 2026, 9 h 30",
                                "fr_CA");
    ASSERT_EQ(lessons.size(), 1u);
    EXPECT_NE(lessons[0], "Mes inscriptions");
}

TEST(TitlePickingTest, AGameIsAgainstTheSideSetAfterVersus) {
    EXPECT_EQ(titles("Hi Hawks families,\n\nMARCH 2026\n\n"
                     "Sat., Mar. 14   GAME 8:00 a.m.   HOME vs. Milton Mustangs   Kinsmen Arena\n"
                     "Sun., Mar. 15   GAME 12:30 p.m.  AWAY @ Halton Ridge Huskies   Cedarvale "
                     "Twin Pad"),
              (Titles{"Game vs. Milton Mustangs", "Game @ Halton Ridge Huskies"}));
    // A round named by its number alone is against the side on the line below, without the
    // side's age group or whose ground it is.
    EXPECT_EQ(titles("Fixtures\n\nRound 4 · Sat 29 Apr                       FINAL\n"
                     "Kew Kestrels 18  –  11 Balwyn Blaze\n"
                     "------------------------------------------------\n"
                     "Round 5 · Sat 06 May · 8:50 AM\nvs Hawthorn Harriers 13/U\n"
                     "Court 4 · Talbot Park Netball Centre\n"
                     "------------------------------------------------\n"
                     "Round 6 · Sat 13 May · 10:10 AM\nvs Ashburton Arrows 13/U Gold\n"
                     "Court 11 · Talbot Park Netball Centre",
                     "en_AU"),
              (Titles{"Round 4", "Round 5 vs Hawthorn Harriers", "Round 6 vs Ashburton Arrows"}));
    EXPECT_EQ(titles("ROUND 12 – Sat 6th Feb 2027\nv Coburg Rovers – HOME\nStart 1:00pm\n\n"
                     "ROUND 13 – Sat 13/2/2027\nv Pascoe Vale Sharks – AWAY\nStart 1:30pm",
                     "en_AU"),
              (Titles{"Round 12 v Coburg Rovers", "Round 13 v Pascoe Vale Sharks"}));
    // ... or the match a line below names with both sides, under the match's times.
    EXPECT_EQ(titles("UPCOMING\nRd 8 · Sat 14 Mar 2026\n8:30 AM – 12:15 PM AEDT\n"
                     "Hornsby Heights U12 Green vs Cherrybrook Comets\n"
                     "📍 Wollundry Oval (Field 2), 14 Galston Rd, Hornsby Heights NSW 2077\n\n"
                     "Rd 10 · Sat 28 Mar 2026\n8:30 AM – 12:15 PM AEDT\n"
                     "Turramurra Tigers vs Hornsby Heights U12 Green\n"
                     "📍 Kuring Reserve, 2 Fairlawn Ave, Turramurra NSW 2074",
                     "en_AU"),
              (Titles{"Hornsby Heights U12 Green vs Cherrybrook Comets",
                      "Turramurra Tigers vs Hornsby Heights U12 Green"}));
}

TEST(TitlePickingTest, ASessionNamedOnlyByItsKindTakesTheNameBelow) {
    // ... with its subtitle after a colon.
    EXPECT_EQ(titles("My Agenda\n\nTHU, 12 MAR 2026 · DAY 1\n"
                     "09:00 – 09:45  ★  KEYNOTE\nData Platforms After the Hype\n"
                     "Dr Priya Ramanathan, Chief Data Officer\n📍 Orchid Ballroom, Level 3\n\n"
                     "16:00 – 16:40  ★  PANEL\n"
                     "Governance under the PDPA: What Regulators Expect in 2027\n"
                     "Moderator: Tan Hui Min"),
              (Titles{"Data Platforms After the Hype",
                      "Governance under the PDPA: What Regulators Expect in 2027"}));
}

TEST(TitlePickingTest, AVenueAfterItsPrepositionNamesNoEvent) {
    EXPECT_EQ(titles("St. Colman's National School\nKilmurry\n\nDear Parents,\n\nThe children "
                     "are busy preparing for their First Holy Communion\nand we are delighted "
                     "with their progress.\n\nThere will be a short meeting for parents in the "
                     "school hall on Tuesday 17th\nMarch at 7.30pm.\n\nFIRST CONFESSION\nThe "
                     "children "
                     "will make their First Confession\nin St. Colman's Church on Thursday 26th "
                     "March at 12 noon. They will walk over with Mr. Tierney."),
              (Titles{"Short meeting for parents", "First Confession"}));
}

TEST(TitlePickingTest, ALabelledNoteIsNoChatMessage) {
    // "Entsorgung:" and "Annullierung:" head notes of a letter; they are no writers of a chat
    // whose name would stand above it.
    EXPECT_EQ(titles("KARTONLIEFERUNG\nDonnerstag, 19. März 2026, zwischen 13 und 17 Uhr\n\n"
                     "UMZUG\nDienstag, 24. März 2026, 7.00 Uhr\n\n"
                     "Entsorgung: Das Sperrgut nehmen wir am Umzugstag mit.\n"
                     "Annullierung: bis 14 Tage vorher kostenlos, danach zahlen Sie 30 %.",
                     "de_DE"),
              (Titles{"Kartonlieferung", "Umzug"}));
}

TEST(TitlePickingTest, ARowsCellUnderTheHeadForPlacesNamesNoEvent) {
    // The rows are named by what the booking is for, not by their rooms.
    EXPECT_EQ(titles("Program: Intro to Bike Maintenance (Adult)\n\n"
                     "  #  Day   Date      Time                  Room\n"
                     "  1  Tue   Mar. 10   6:30 pm - 8:30 pm     Multipurpose Room 2\n"
                     "  2  Tue   Mar. 17   6:30 pm - 8:30 pm     Workshop (lower level)"),
              (Titles{"Intro to Bike Maintenance", "Intro to Bike Maintenance"}));
}

TEST(TitlePickingTest, ARowOfTimesAndStageIsNamedByTheWorkBelowIt) {
    // Each row opens its block with its day, times and stage; the work is named in quotes on the
    // line below, before what it is and by whom.
    EXPECT_EQ(titles("Do, 5.03.2026 · 19:30 Uhr · Großes Haus\n"
                     "„Der zerbrochne Krug“ · Lustspiel von Heinrich von Kleist\n\n"
                     "Do, 12.03.2026 · 20:00 Uhr · Studiobühne\n"
                     "„Die Wand“ · nach dem Roman von Marlen Haushofer",
                     "de_DE"),
              (Titles{"Der zerbrochne Krug", "Die Wand"}));
}

TEST(TitlePickingTest, ALettersAddressPlaceAndDateNameNoEvent) {
    // Nor does the recipient under the form of address, nor the place the letter is dated at;
    // "Betrifft:" says what it is about.
    EXPECT_EQ(titles("HAUSVERWALTUNG PRIBIL & PARTNER GmbH\n\nFrau\nDr. Henrike Sommerfeld\n"
                     "Kandlgasse 31, 1070 Wien\n\n                    Wien, am 27. Februar "
                     "2026\n\nBetrifft: Überprüfung der Gasthermen\n\nSehr geehrte Damen und "
                     "Herren!\n\nDie Überprüfung findet am\n\n    Dienstag, 10. März 2026\n"
                     "    zwischen 8:00 und 12:00 Uhr\n\nin allen Wohnungen statt.",
                     "de_AT"),
              Titles{"Überprüfung der Gasthermen"});
    EXPECT_EQ(titles("Pleißenhof Immobilienverwaltung GmbH · 04275 Leipzig\n\nFrau\nDr. Henrike "
                     "Sommerfeld\nLindenauer Ring 12, WE 7\n04275 Leipzig\n"
                     "                    Leipzig, 26.02.2026\n\nWEG Lindenauer Ring 12–14, "
                     "04275 Leipzig\nEinladung zur Wiederholungsversammlung gemäß § 25 WEG\n\n"
                     "Sehr geehrte Frau Dr. Sommerfeld,\n\nWir laden Sie daher erneut ein:\n\n"
                     "   Termin:   Donnerstag, 19.03.2026, Beginn 18:30 Uhr\n",
                     "de_DE"),
              Titles{"Wiederholungsversammlung"});
}

TEST(TitlePickingTest, LetterheadsAndGroupsNameWhoWritesOrReads) {
    // A poster's sender over its shouted heading.
    EXPECT_EQ(titles("Westfield Public Library\nChildren's Department\n\nPAJAMA STORYTIME\n"
                     "Wear your PJs and wind down with bedtime stories, songs and a craft!\n\n"
                     "Tuesday, March 10 · 6:30–7:15 pm\nCommunity Room, lower level\n\n"
                     "Ages 2–6 with a caregiver. Free, no registration needed.",
                     "en_US"),
              Titles{"Pajama Storytime"});
    // A school's name with its head and the day of writing over the salutation is a letterhead;
    // the day of writing is no event.
    EXPECT_EQ(titles("Oakfield Primary School\nHeadteacher: Mrs S. Ahmed\n2 March 2026\n\n"
                     "Dear Parents and Carers of Year 6,\n\nThere will be an information evening "
                     "for parents on Tuesday 10th March at 6pm in the school hall."),
              Titles{"Information evening for parents"});
    EXPECT_EQ(titles("Kita Sonnenschein\nLeitung: Frau Berger\nBerlin, 2. März 2026\n\nLiebe "
                     "Eltern,\n\nunser Frühlingsfest ist am Samstag, 21. März um 14 Uhr.",
                     "de_DE"),
              Titles{"Frühlingsfest"});
    // So is a school's name over the class and teacher who write.
    EXPECT_EQ(titles("Grundschule am Lindenhof\nKlasse 3b – Frau Yilmaz\n\nLiebe Eltern der "
                     "Klasse 3b,\n\nunser Frühlingsfest ist am Samstag, 21. März um 14 Uhr.",
                     "de_DE"),
              Titles{"Frühlingsfest"});
    // The labelled lines of a form are its details, not the event's name: a bare appointment is
    // named by where it is.
    EXPECT_EQ(titles("Appointment confirmation\nPatient: John Smith\nDate: 10/03/2026\nTime: 9:20\n"
                     "Clinician: Dr Patel"),
              Titles{"Venue Hall"});
    // A practice whose name says whom the appointment is with names it by that.
    EXPECT_EQ(titles("Hi John,\n\nsee you on 10/03/2026 at 9:20.\n\nHarbourside Smiles Dental",
                     "en_GB", "Harbourside Smiles Dental"),
              Titles{"Dentist appointment"});
    EXPECT_EQ(titles("Hi Sarah,\n\nsee you on 10/03/2026 at 10:15.\n\nSalt & Sable Hair Studio",
                     "en_GB", "Salt & Sable Hair Studio"),
              Titles{"Hair appointment"});
    // An organisation's name over its notice signs it; what it holds is the event.
    EXPECT_EQ(titles("HOLLYBANK BOWLS CLUB\n\nNOTICE OF ANNUAL GENERAL MEETING\n\nThe meeting "
                     "will be held in the Pavilion on Thursday 12 March 2026 at 7pm."),
              Titles{"Annual General Meeting"});
    EXPECT_EQ(titles("Amicale des Boulistes de Vaulmont\n\nConcours de pétanque\nsamedi 14 mars "
                     "2026, 14 h",
                     "fr_FR"),
              Titles{"Concours de pétanque"});
    EXPECT_EQ(titles("Pfarre St. Ulrich am Anger\nPfarrsaal · Lindenbichlgasse 14\n\n♪ MAISINGEN "
                     "2026 ♪\n\nOffenes Singen\nfür alle Generationen\n\nDienstag, 10. März\n"
                     "19:00 – 20:30 Uhr",
                     "de_AT"),
              Titles{"Maisingen 2026"});
    // So does the name of a parish's letter.
    EXPECT_EQ(
        titles("PFARRBRIEF MÄRZ\n\nFastensuppe im Pfarrsaal\nSonntag, 15. März, 12 Uhr", "de_DE"),
        Titles{"Fastensuppe im Pfarrsaal"});
    // The people of a group chat name no event.
    EXPECT_EQ(titles("Chloe, Raj, Megan, Dan\n\nChloe: drinks next Thursday, 7-9pm at The "
                     "Albion\nRaj: I'm there"),
              Titles{"Drinks"});
    // What falls in a period is named without it.
    EXPECT_EQ(titles("We can confirm this year's residential trip on Monday 11th May."),
              Titles{"Residential trip"});
}

TEST(TitlePickingTest, TicketsNameTheirLegsByTheirRoutes) {
    // A leg's label names no event; the places its arrow joins do, without codes and terminals.
    EXPECT_EQ(titles("Booking confirmed\n\nOutbound · Thu 12 Mar 2026\n"
                     "TP1357  London Heathrow (LHR) T2  07:25 → Lisbon (LIS) T1  10:05\n\n"
                     "Return · Mon 16 Mar 2026\n"
                     "TP1350  Lisbon (LIS) T1  18:10 → London Heathrow (LHR) T2  20:45"),
              (Titles{"London Heathrow → Lisbon", "Lisbon → London Heathrow"}));
    // A terminal is no stop of the route.
    EXPECT_EQ(titles("RETURN  Friday 13 March 2026\n"
                     "  NA 298   Chicago O'Hare (ORD) Terminal 5  →  London Heathrow (LHR)\n"
                     "  Departs  18:20"),
              Titles{"Chicago O'Hare → London Heathrow"});
    // The mail's subject names the booking of all its legs.
    EXPECT_EQ(titles("From: Koala Coast Airways <bookings@koalacoastair.com.au>\nSubject: Booking "
                     "confirmed - your trip to Melbourne (Ref QX7HLM)\n\nOUTBOUND   Thu 12 Mar "
                     "2026\nKC 417   Sydney (SYD) T2  ->  Melbourne (MEL) T4\nDeparts 07:35   "
                     "Arrives 09:10\n\nRETURN     Sun 15 Mar 2026\nKC 452   Melbourne (MEL) T4  "
                     "->  Sydney (SYD) T2\nDeparts 18:20   Arrives 19:50"),
              (Titles{"Flight to Melbourne", "Flight to Sydney"}));
    // An arrow inside sentences joins no stops.
    EXPECT_EQ(titles("• Lundi 9 mars : journée pédagogique → pas d'école pour les enfants. Une "
                     "garderie est organisée.",
                     "fr_FR"),
              Titles{"Journée pédagogique"});
    // A flight is entered by where it goes.
    EXPECT_EQ(titles("KESTREL AIRWAYS\n\nDEPARTING FLIGHT\nFri 13 Mar 2026\n"
                     "KS 417   Melbourne (MEL) 7:00am  ->  Sydney (SYD) 8:25am\n\n"
                     "RETURN FLIGHT\nSun 15 Mar 2026\n"
                     "KS 444   Sydney (SYD) 6:30pm  ->  Melbourne (MEL) 8:00pm"),
              (Titles{"Flight to Sydney", "Flight to Melbourne"}));
    // ... also where only the airline's name says it flies.
    EXPECT_EQ(
        titles("Thanks for booking with Atlantica Air.\n\nOUTBOUND – Thursday 12 March 2026\n"
               "AA 1442   London Gatwick (LGW) North Terminal  07:05  →  Lisbon (LIS)  09:45"),
        Titles{"Flight to Lisbon"});
    EXPECT_EQ(titles("Ihr Flug\n\nHinflug · Fr 13.03.2026\n"
                     "LH 1172  Berlin (BER)  07:25 → Lissabon (LIS)  09:10\n\n"
                     "Rückflug · So 15.03.2026\n"
                     "LH 1173  Lissabon (LIS)  18:10 → Berlin (BER)  22:45",
                     "de_DE"),
              (Titles{"Flug nach Lissabon", "Flug nach Berlin"}));
    EXPECT_EQ(titles("Aller : Paris Gare de Lyon → Marseille Saint-Charles\nLe jeudi 12 mars "
                     "2026\nDépart 07h37 – Arrivée 10h52",
                     "fr_FR"),
              Titles{"Paris Gare de Lyon → Marseille Saint-Charles"});
    // So do a ticket's "From" and "To", unlike an e-mail's.
    EXPECT_EQ(titles("Your e-ticket\nShow this on your phone when asked\n\nTravel date: "
                     "12/03/2026\nFrom: Bristol Temple Meads\nTo: Cardiff Central\n"
                     "Depart 08:32 · Arrive 09:17"),
              Titles{"Bristol Temple Meads → Cardiff Central"});
    // So do the stops on the lines of a coach ticket's leg, with what it is made in.
    EXPECT_EQ(titles("NORTHLINK COACHES\nSat 14 Mar 2026\n"
                     "08:15  Leeds – City Bus Station, Stand 12\n"
                     "11:40  Newcastle – Haymarket Bus Station, Stand B"),
              Titles{"Bus to Newcastle"});
    // A return ticket's legs are each named by their own stops, given before the times they are
    // left and reached, even across a column gap, not by the carrier or the first stop.
    EXPECT_EQ(titles("LNER  e-ticket\n\nOUTWARD  Fri 13 Mar 2026\nYork          dep 08:54\n"
                     "Edinburgh     arr 11:28\nCoach C · Seat 42\n\nRETURN  Sun 15 Mar 2026\n"
                     "Edinburgh     dep 17:30\nYork          arr 20:02"),
              (Titles{"Train to Edinburgh", "Train to York"}));
    // German and French put what the journey is made in before its route.
    EXPECT_EQ(
        titles("Ihre Zugfahrkarte\nHinfahrt: Sa. 14.03.2026 · Zug RX 4512\nKöln Hbf ab 09:12\n"
               "Berlin Hbf an 13:41",
               "de_DE"),
        Titles{"Zug Köln → Berlin"});
    EXPECT_EQ(titles("Autocars Boréal\nAller : samedi 14 mars 2026\nMontréal → Québec\n"
                     "Départ 15 h 30 · Arrivée 18 h 45",
                     "fr_CA"),
              Titles{"Autocar Montréal → Québec"});
    EXPECT_EQ(titles("Hinfahrt: Sa. 14.03.2026\nKöln Hbf ab 09:12\nBerlin Hbf an 13:41", "de_DE"),
              Titles{"Köln Hbf → Berlin Hbf"});
    EXPECT_EQ(titles("From: Ben Hall\nTo: Quiz Team\nSubject: Quiz night\n\nThursday 12 March "
                     "at 8pm, usual place."),
              Titles{"Quiz night"});
}

TEST(TitlePickingTest, InvitationCardsNameCouplesAndBirthdays) {
    // A couple's names set on lines of their own, joined by a line with "&" or "and".
    EXPECT_EQ(titles("ANNA SMITH\n&\nTOM JONES\nrequest the pleasure of your company\n\n"
                     "Saturday 14 March 2026 at 2pm"),
              Titles{"Anna Smith & Tom Jones"});
    EXPECT_EQ(titles("Maria Lopez\nand\nSam Green\nare getting married!\n\nSaturday 14 March, 3pm"),
              Titles{"Maria and Sam's wedding"});
    EXPECT_EQ(titles("ANNA SCHMIDT\n&\nJONAS WEBER\nladen herzlich zu ihrer Hochzeit ein\n\n"
                     "Samstag, 14. März 2026, 14 Uhr",
                     "de_DE"),
              Titles{"Hochzeit von Anna und Jonas"});
    // A formal card announces whose child marries whom, and the church's block below names no
    // one; nor does a marriage line without the couple below it.
    EXPECT_EQ(titles("Mr and Mrs Alasdair Ross\nrequest the pleasure of the company of\n\n"
                     "at the marriage of their daughter\nCatriona Isla\nto\nMr Thomas Whitfield\n\n"
                     "at Kippen Parish Church\nMain Street, Kippen\non Saturday 14 March 2026\n"
                     "at two o'clock\n\nBRUNCH\nSunday 15 March, 11am"),
              (Titles{"Catriona and Thomas's wedding", "Brunch"}));
    EXPECT_EQ(titles("Wedding of the year\nBarn dance\nSaturday 14 March, 7pm"),
              Titles{"Barn dance"});
    // Whose event it is, set on the line below.
    EXPECT_EQ(titles("Please join us in celebrating\nthe graduation of\nSophia Martinez\nClass of "
                     "2026\n\nSaturday, May 30th at 6:00 PM"),
              Titles{"Graduation of Sophia Martinez"});
    // A child turning an age has a birthday.
    EXPECT_EQ(titles("ROAR!\nLeo is turning 5!\n\nCome stomp with us\nSunday, March 8th\n2:30pm"),
              Titles{"Leo's 5th birthday"});
    // A name set in capitals is written as a name.
    EXPECT_EQ(titles("YOU'RE INVITED!\nMASON IS TURNING 7!\nSaturday, March 14, 2026\n2:30 PM"),
              Titles{"Mason's 7th birthday"});
    EXPECT_EQ(titles("Grandma turns 91\nSunday 8 March, 1pm"), Titles{"Grandma's 91st birthday"});
    // So does a person's ordinal, before the lunch that celebrates it.
    EXPECT_EQ(titles("Mom: Don't forget Grandpa's 80th is Sunday 8 March! Lunch at 12:30."),
              Titles{"Grandpa's 80th birthday"});
    // "turns" without a person and an age is no birthday.
    EXPECT_EQ(titles("Road turns icy\nBike ride\nSunday 8 March, 1pm"), Titles{"Bike ride"});
}

TEST(TitlePickingTest, RowsOfListsAndSchedulesAreNamedOnTheirLines) {
    // A day's line names the event whose times stand below it.
    EXPECT_EQ(titles("Dear all,\n\nhere are the weekend's details.\n\nSaturday, March 14 — "
                     "Wedding\n4pm at the "
                     "barn\n\nSunday, March 15 — Farewell Brunch\n10am – noon at the Orchard Inn"),
              (Titles{"Wedding", "Farewell Brunch"}));
    // Rows that name their events after their days outweigh the subject of the whole message,
    // and so do the lines that head the times below them.
    EXPECT_EQ(titles("Subject: Welcome to Harrowfield - your first week\n\nMonday 13 April - "
                     "Company induction\n09:00-16:30 at Head Office. Lunch is provided.\n\n"
                     "Tuesday 14 April - Depot day\n08:00 start at our depot.\n\nFriday 17 April "
                     "- Catch-up with your manager\n14:00 with Kirsty, meeting room \"Humber\"."),
              (Titles{"Company induction", "Depot day", "Catch-up with your manager"}));
    // A row's code in its first column numbers what the next column names.
    EXPECT_EQ(titles("Nr.         Prüfung         Art        Datum           Beginn\n"
                     "21-BWL-112  Kostenrechnung  Klausur    Mo, 01.02.2027  10:15\n"
                     "21-INF-204  Datenbanken     Klausur    Do, 04.02.2027  14:00",
                     "de_DE"),
              (Titles{"Kostenrechnung", "Datenbanken"}));
    // An app's list names each day's class on the row of its time, below the day.
    EXPECT_EQ(
        titles("My Schedule\n\nCORE & CO. PILATES\nUnit 3, 118 The Parade, Norwood SA 5067\n\n"
               "TUE 10 MAR\nReformer Intermediate               6:15 am\n50 min · Studio 2\n\n"
               "WED 11 MAR\nMat Flow (Lunchtime)                12:10 pm\n45 min · Studio 1"),
        (Titles{"Reformer Intermediate", "Mat Flow"}));
    // A programme's rooms, at the foot of its items, are no writers of a chat.
    EXPECT_EQ(titles("Donnerstag, 5.3.2026\n\n09:15 – 10:30 Uhr   Eröffnung\n"
                     "                    Saal Kettbaum\n\n11:00 – 12:30 Uhr   Parallele Foren\n"
                     "                    Raum Schuss\n\n13:45 – 15:15 Uhr   Podiumsdiskussion\n"
                     "                    Saal Kettbaum\n\n15:45 – 17:00 Uhr   Praxisberichte\n"
                     "                    Saal Kettbaum\n\n19:00 Uhr   Empfang im Foyer\n",
                     "de_DE"),
              (Titles{"Eröffnung", "Parallele Foren", "Podiumsdiskussion", "Praxisberichte",
                      "Empfang im Foyer"}));
    // A course's rows under the heads of their columns are named by the course, which its
    // label names better than the mail's subject does.
    const char* course =
        "Course:      Wine Studies – Foundation Level (NC-214)\nTutor:       Declan Furlong\n"
        "Venue:       Room 2.14, Marlowe Building\nTime:        Wednesdays, 7.00pm – 9.00pm\n"
        "Course fee:  €245 (PAID – incl. tasting samples & course book)\n\nTIMETABLE\n"
        "Wk   Date             Topic\n"
        "1    Wed 4 March      Introduction to tasting; how wine is made\n"
        "2    Wed 11 March     White grapes: Chardonnay, Sauvignon Blanc, Riesling\n"
        "3    Thu 19 March *   Red grapes: Pinot Noir, Cabernet Sauvignon, Merlot\n"
        "4    Wed 25 March     Old World vs New World; reading a label\n";
    const auto lessons = titles((std::string(course) +
                                 "\n* Wednesday 18 March is St Patrick's Day and the college is "
                                 "closed. Week 3 will run on Thursday 19 March instead.")
                                    .c_str(),
                                "en_IE");
    ASSERT_GE(lessons.size(), 4u);
    EXPECT_EQ(lessons[0], "Wine Studies – Foundation Level");
    EXPECT_EQ(lessons[3], "Wine Studies – Foundation Level");
    const auto mailed =
        titles((std::string("Subject: NC-214 Wine Studies – Foundation Level: timetable & "
                            "joining details\n\nDear Aoife,\n\nThank you for enrolling. Please "
                            "find your course timetable below.\n\n") +
                course)
                   .c_str(),
               "en_IE");
    ASSERT_FALSE(mailed.empty());
    EXPECT_EQ(mailed[0], "Wine Studies – Foundation Level");
    // A poster's item named over its times and venue.
    EXPECT_EQ(titles("WINTER CARNIVAL\nSATURDAY MARCH 14\nSnow Sculpture Contest\n"
                     "9 a.m. - 2 p.m. · Memorial Park\njudging at 2 p.m.\nSUNDAY MARCH 15\n"
                     "Perogy & Sausage Supper\n5 - 7 p.m. · St. Volodymyr Hall"),
              (Titles{"Snow Sculpture Contest", "Perogy & Sausage Supper"}));
    // A fixture list: one side plays in every row, at home or away.
    EXPECT_EQ(titles("Under 12s – spring fixtures\n"
                     "Sat 7 March  10:00  Ashby Rovers – Hinckley Town    Hood Park\n"
                     "Sat 14 March  11:00  Coalville Juniors v Ashby Rovers    Owen Street Park\n"),
              (Titles{"Ashby Rovers – Hinckley Town", "Coalville Juniors v Ashby Rovers"}));
    // "de demain" in a talk's name is no day.
    EXPECT_EQ(titles("Mardi 10 mars, 18 h 30 – Les écoles de demain, par Anne Roy\n"
                     "Mardi 24 mars, 18 h 30 – Le pain d'hier, par Luc Marin",
                     "fr_FR"),
              (Titles{"Les écoles de demain", "Le pain d'hier"}));
    EXPECT_EQ(titles("Atelier poterie à partir de demain à 18h", "fr_FR").size(), 1u);
    // Rooms that recur are no sides of a match.
    EXPECT_EQ(titles("Thursday 12 March 2026\n09:00  Keynote – Room 1\n11:00  Panel – Room 1"),
              (Titles{"Keynote", "Panel"}));
    EXPECT_EQ(
        titles(
            "Dates for your diary\nSports day: Friday 19 June\nPrize giving: Monday 6 July, 2pm"),
        (Titles{"Sports day", "Prize giving"}));
    EXPECT_EQ(titles("Saturday 21 March\n10:00 Warm-up – Gym\n11:00 Finals – Main court"),
              (Titles{"Warm-up", "Finals"}));
    // A name after its kind runs on over commas, but not into a place.
    EXPECT_EQ(titles("Thursday 12 March 2026\n09:30  Opening keynote: Streets for People, Not "
                     "Parking\n11:00  Workshop: Heat maps, open data, Main Hall"),
              (Titles{"Opening keynote: Streets for People, Not Parking",
                      "Workshop: Heat maps, open data"}));
    // A row's name is no heading of the other rows; a row without one is what the line opening
    // the list says of every row.
    EXPECT_EQ(titles("Liebe Eltern,\nunsere Kita bleibt an folgenden Tagen geschlossen:\n"
                     "– Freitag, 15. Mai 2026 (Brückentag)\n"
                     "– Montag, 21. Dezember 2026 bis Freitag, 1. Januar 2027\n"
                     "Ihr Kita-Team",
                     "de_DE"),
              (Titles{"Brückentag", "Kita geschlossen"}));
    // A school's name beside the kind of page names none of its events; a fixture's row names
    // the opponent, and the game is the text's.
    EXPECT_EQ(titles("Westfield Academy — Year 9 Netball Fixtures\n\n"
                     "Wed 11 Mar   v Hillcrest School   Home   3.45pm\n"
                     "Sat 14 Mar   County Tournament   Away   9.30am"),
              (Titles{"Netball v Hillcrest School", "County Tournament"}));
    EXPECT_EQ(
        titles("RIVERBEND YOUTH SOCCER ASSOCIATION\n\nDATE        KICKOFF    OPPONENT\n"
               "Sat 3/7     9:00 AM    vs. Golden Eagles\n"
               "Sat 3/14    8:30 AM    vs. Red Foxes\n"
               "Sun 3/22    TBD        End-of-season tournament\n",
               "en_US"),
        (Titles{"Soccer vs. Golden Eagles", "Soccer vs. Red Foxes", "End-of-season tournament"}));
    EXPECT_EQ(titles("Maple Grove School — Weekly Update\n\nPicture retakes are this Thursday, "
                     "March 5, in the gym.\nReminder: there is no school on Friday, March 6."),
              (Titles{"Picture retakes", "No school"}));
    // Which meeting of a course a row is ("Session 2") does not name it; the course does.
    EXPECT_EQ(titles("POTTERY FOR BEGINNERS\n\nSession 1 - Tues. March 10, 6:30pm\n"
                     "Session 2 - Tues. March 17, 6:30pm"),
              (Titles{"Pottery for Beginners", "Pottery for Beginners"}));
    // ... without its code.
    EXPECT_EQ(
        titles("Subject: CPE 2150 Conversational French - welcome + schedule\n\nSCHEDULE\n"
               "Session 1 - Tues. March 10 - Greetings\nSession 2 - Tues. March 17 - Numbers"),
        (Titles{"Conversational French", "Conversational French"}));
    // A message's subject names the programme it sends, not the rows that say what each day
    // holds, on either side of the day.
    EXPECT_EQ(
        titles("Subject: Camera Club – Spring programme & AGM notice\n\nKia ora members,\n\n"
               "Wed 4 March, 7.30pm – Members' night. Bring up to 5 images.\n\n"
               "Sat 14 March – Spring field trip to Lyttelton. Meet 8.30am at the carpark.\n\n"
               "Networking dinner – Friday 20 March, 7:30 pm onwards\n"),
        (Titles{"Members' night", "Spring field trip to Lyttelton", "Networking dinner"}));
    EXPECT_EQ(
        titles("Betreff: Ihre Anmeldung – Tage der offenen Tür 2026\n\nSehr geehrte Frau Roth,\n\n"
               "• Sa 7.3., 11:15 Uhr – Führung durch das Labor\n"
               "• So 8.3., 14:00 Uhr – Vortrag über Bienen\n",
               "de_DE"),
        (Titles{"Führung durch das Labor", "Vortrag über Bienen"}));
}

TEST(TitlePickingTest, SentencesNameTheEventAroundTheDay) {
    // The day's own sentence names it, not the one before it on the line nor what it comes
    // before.
    EXPECT_EQ(titles("Coach: Yep, practice as usual. And team pictures are Tuesday 10 March at "
                     "5:15 right before practice, Lincoln field."),
              Titles{"Team pictures"});
    EXPECT_EQ(titles("Tuesday 10 March at 5:15, right before practice: team photos!"),
              Titles{"Team photos"});
    // An event after an elided article, under a heading that only says it is a notice.
    EXPECT_EQ(titles("CONVOCATION\n\nMadame, Monsieur,\n\nVous êtes convoqués à l'assemblée "
                     "du club,\nle mardi 17 mars 2026 à 20 h.",
                     "fr_FR"),
              Titles{"Assemblée du club"});
    // In French the kind of meeting follows its noun.
    EXPECT_EQ(titles("Nous vous convions à la réunion annuelle des bénévoles le mardi 17 mars 2026 "
                     "à 19 h.",
                     "fr_FR"),
              Titles{"Réunion annuelle"});
    EXPECT_EQ(titles("All parents are welcome at the spring assembly on Friday 13 March at 9am."),
              Titles{"Spring assembly"});
    // Whose class it is goes with the event's name, a school's residential trip among them.
    EXPECT_EQ(titles("Reminder about the Year 6 residential on Monday 16 March at 8.45am."),
              Titles{"Year 6 residential"});
    // A word for an event that qualifies another is no name of its own.
    EXPECT_EQ(titles("Reminder that the service design workshop is Wednesday 18 March, 10:00."),
              Titles{"Service design workshop"});
    // The kind of day goes with the event that fills it.
    EXPECT_EQ(titles("Please note the staff training day on Monday 16 March."),
              Titles{"Staff training day"});
    EXPECT_EQ(titles("Sam: are we still on for squash on thursday? 6pm"), Titles{"Squash"});
    EXPECT_EQ(titles("Hi! Zoe is having her 8th birthday party on Saturday 14 March at 3pm."),
              Titles{"Zoe's 8th birthday party"});
    EXPECT_EQ(titles("Reminder that our quarterly review is next Wednesday, 11 March at 10am."),
              Titles{"Quarterly review"});
    EXPECT_EQ(titles("Can you walk the dog on Friday 6 March at 8am?"), Titles{"Walk the dog"});
    // A chat's question names what it asks people to join.
    EXPECT_EQ(titles("Ben: Who's up for Rattlesnake Ledge on Sunday 8 March? 8am at the car park"),
              Titles{"Rattlesnake Ledge"});
    EXPECT_EQ(titles("anyone up for tennis on Saturday 7 March at 10am?"), Titles{"Tennis"});
    EXPECT_EQ(
        titles("Jonas: Wer hat Bock auf Grillen am Samstag, 7. März?\nso ab halb sieben", "de_DE"),
        Titles{"Grillen"});
    // A compound stays whole though its second part is a pronoun.
    EXPECT_EQ(titles("Bonjour, rendez-vous chez le dentiste le jeudi 12 mars à 14h.", "fr_FR"),
              Titles{"Rendez-vous chez le dentiste"});
    // A closure is the event, whatever it is for.
    EXPECT_EQ(titles("Hi all,\nJust a reminder that the school will be closed on Friday 13 March "
                     "for staff training.\nThanks, Office"),
              Titles{"School closed"});
    // A couple's event is theirs together.
    EXPECT_EQ(titles("Sarah and James request the pleasure of your company at their wedding on "
                     "Saturday 13 June 2026 at 2pm."),
              Titles{"Sarah and James's wedding"});
    // A plural's apostrophe joins it to the event it owns.
    EXPECT_EQ(titles("Reminder: Parents' Evening on Thursday 12 March, 4–7pm"),
              Titles{"Parents' Evening"});
    EXPECT_EQ(titles("Reminder: Parents’ Evening – Thursday 12 March, 4–7pm"),
              Titles{"Parents’ Evening"});
    // In German, the subject follows the verb after a day that opens the sentence.
    EXPECT_EQ(titles("Liebe Eltern,\n\nam Freitag, den 13. März 2026, findet unser Wandertag "
                     "statt. Wir wandern zum Wildgehege.",
                     "de_DE"),
              Titles{"Wandertag"});
    // A place may come between the verb and the subject, and the subject beats the letter's
    // sender; the evening before, when things are put out, is no event.
    EXPECT_EQ(titles("Hausverwaltung Becker\n\nSehr geehrte Mieter,\n\nam Mittwoch, den 14. "
                     "Oktober 2026, findet in Ihrer Straße die Sperrmüllabfuhr statt. Bitte "
                     "stellen Sie den Sperrmüll am Vorabend an die Straße.",
                     "de_DE"),
              Titles{"Sperrmüllabfuhr"});
    // A sentence's opening "so" and what it says the event is are no part of its name.
    EXPECT_EQ(titles("Donc le déménagement c'est dimanche 15 mars. On se rejoint chez maman à 9 h.",
                     "fr_CA"),
              Titles{"Déménagement"});
    // A room that is opened is where, and the heading above says what.
    const auto letter =
        titles("Primarschule Buchholz · Klasse 4b\nSandra Keller, Klassenlehrerin\n\n"
               "Wetzikon, 2. März 2026\n\nElternbrief März\n\nLiebe Eltern\n\nGerne "
               "informiere ich Sie über die nächsten Anlässe der 4b.\n\nBesuchsmorgen\n"
               "Am Donnerstag, 12. März, ist unser Schulzimmer von 8.20 bis 11.50 Uhr für "
               "Sie offen.\n\nInformationsabend\nMittwoch, 18. März 2026, 19.30–21.00 Uhr.",
               "de_CH");
    ASSERT_EQ(letter.size(), 2u);
    EXPECT_EQ(letter[0], "Besuchsmorgen");
    // Nor are the readers invited what.
    EXPECT_EQ(titles("Liebe Eltern der Klasse 5b\n\nHier die wichtigsten Termine bis Ende März:\n\n"
                     "Besuchsmorgen\nAm Mittwoch, 4. März, sind Sie herzlich eingeladen, den "
                     "Unterricht zu besuchen\n(8.20–11.50 Uhr). Sie dürfen jederzeit kommen.",
                     "de_CH"),
              Titles{"Besuchsmorgen"});
    // A second name joined on the same way goes with the first; an appointment is named by what
    // it is for.
    EXPECT_EQ(titles("Ihr Termin zur Inspektion und zum Reifenwechsel ist bestätigt: Di., 10.03., "
                     "7:30 Uhr.",
                     "de_DE"),
              Titles{"Inspektion und Reifenwechsel"});
    EXPECT_EQ(titles("Termin zur Zahnreinigung ist bestätigt für Donnerstag, 12.03., 14:15 Uhr.",
                     "de_DE"),
              Titles{"Zahnreinigung"});
    EXPECT_EQ(titles("Termin für die Inspektion: Donnerstag, 12.03., 8:00 Uhr", "de_DE"),
              Titles{"Inspektion"});
    // What must be handed in by a day is due then.
    EXPECT_EQ(titles("Year 10 Geography\n\nThe write-up must be handed in by Friday to Mr Osei."),
              Titles{"Write-up due"});
    EXPECT_EQ(titles("Reminder: options forms need to be returned by Friday 13 March."),
              Titles{"Options forms due"});
    EXPECT_EQ(titles("Die Anmeldung muss bis Freitag, 13. März abgegeben werden.", "de_DE"),
              Titles{"Abgabe Anmeldung"});
    EXPECT_EQ(
        titles("The spring book club meets on Wednesday 18 March at 7.30pm at the Crown Inn."),
        Titles{"Spring book club"});
    // A name in quotes goes with its kind.
    EXPECT_EQ(titles("Join our free webinar \"Cloud Costs Under Control\" on Thursday, 19 March "
                     "2026, 15:00–16:00."),
              Titles{"Webinar \"Cloud Costs Under Control\""});
    // "next" and "its" say when and whose, not what.
    EXPECT_EQ(titles("Hallo zusammen,\n\nunser nächstes Teammeeting ist am Dienstag, 10.03.2026, "
                     "um 14:00 Uhr.\n\nBeste Grüße\nJonas",
                     "de_DE"),
              Titles{"Teammeeting"});
    EXPECT_EQ(titles("Reminder: your car is booked in for its MOT on Friday 13 March at 9am."),
              Titles{"MOT"});
    // A letter that opens with a greeting ends with its sender.
    EXPECT_EQ(titles("Chers parents,\n\nLa sortie au zoo aura lieu le jeudi 26 mars à 8h30.\n\n"
                     "La maîtresse",
                     "fr_FR"),
              Titles{"Sortie"});
    // A letterhead names who writes, not the event.
    EXPECT_EQ(titles("Kita Sonnenschein\n\nLiebe Eltern,\nam Mittwoch, 18. März 2026, um 19:30 "
                     "Uhr findet unser Elternabend im Gruppenraum statt.",
                     "de_DE"),
              Titles{"Elternabend"});
    // A German compound for a reminder is a generic heading; a bare appointment is named by
    // where it is.
    EXPECT_EQ(titles("Terminerinnerung\n\nwir erinnern Sie an Ihren Termin am Donnerstag, "
                     "12.03.2026 um 10:15 Uhr.",
                     "de_DE"),
              Titles{"Venue Hall"});
    // An appointment that names nothing but itself, a reminder or the practice is named by whom
    // it is with, when the text names one kind of practitioner; a person named says more.
    EXPECT_EQ(titles("Lakeview Family Dental: Reminder of your appt TOMORROW 3/3 at 8:40 AM w/ Dr. "
                     "Okafor (cleaning + x-rays). Reply C to confirm.",
                     "en_US"),
              Titles{"Dentist appointment"});
    EXPECT_EQ(titles("Cabinet de kinésithérapie Dupuis : rappel de votre rendez-vous le jeudi 5 "
                     "mars à 18h15 avec M. Leroy.",
                     "fr_FR"),
              Titles{"Kiné"});
    EXPECT_EQ(titles("Cabinet de kinésithérapie Rivoli : rappel de votre séance le mardi 3 mars à "
                     "18h15.",
                     "fr_FR"),
              Titles{"Kiné"});
    EXPECT_EQ(titles("CLINIQUE VETO\n\nRappel : Filou a RDV demain à 10h30 à la Clinique "
                     "vétérinaire des Acacias.",
                     "fr_FR"),
              Titles{"Vétérinaire"});
    EXPECT_EQ(titles("Terminerinnerung\n\nwir erinnern Sie an Ihren Termin am Donnerstag, "
                     "12.03.2026 um 10:15 Uhr.\n\nIhre Zahnarztpraxis Dr. Yilmaz",
                     "de_DE"),
              Titles{"Zahnarzt"});
    EXPECT_EQ(titles("St Aldhelm's Hospital NHS Foundation Trust\nBourne Road, Salisbury\n\n"
                     "Dear Mr Tennant\n\nYou will be seen in the Dermatology Department.\n\n"
                     "Date: Wednesday 4 March 2026\nTime: 10:15"),
              Titles{"Dermatology appointment"});
    EXPECT_EQ(titles("Subject: Appointment with Dr. Rao\n\nYour dermatology appointment is on "
                     "Tuesday 10 March at 9:20."),
              Titles{"Appointment with Dr. Rao"});
    // A message's shorthand is written out.
    EXPECT_EQ(titles("You're booked!\nCut + Full Color w/ Keisha\nTue, Mar 10 · 6:15 PM", "en_US"),
              Titles{"Cut + Full Color with Keisha"});
    // A club is no practice: another event of the text keeps its name.
    EXPECT_EQ(titles("Book club: Wednesday 11 March at 19:00\nDentist: Saturday 14 March at 10:00"),
              (Titles{"Book club", "Dentist"}));
    // Two kinds of practitioner leave the choice open.
    EXPECT_EQ(titles("Reminder of your appointment on Tuesday 10 March at 9:20.\n\nDental and "
                     "optician services under one roof."),
              Titles{"Venue Hall"});
    // A place closed on a day.
    EXPECT_EQ(titles("Hi all,\n\nJust a reminder that the office will be closed on Friday 3 April "
                     "for Good Friday.\n\nThanks,\nHR"),
              Titles{"Office closed"});
    // A compound joined by a dash stays whole.
    EXPECT_EQ(titles("Your parent–teacher meeting is booked for Wednesday 18 March at 17:20."),
              Titles{"Parent–teacher meeting"});
    // A weekday that qualifies the name begins it.
    EXPECT_EQ(titles("Ellie: Right, Sunday walk is ON\nEllie: meet 10am at the car park"),
              Titles{"Sunday walk"});
    // A word set off by a comma opens the sentence.
    EXPECT_EQ(titles("[02/03/2026, 20:41] Tom: Right, can you pick up the keys on Friday 6 March "
                     "at 5pm?"),
              Titles{"Pick up the keys"});
    // What an appointment is for names it.
    EXPECT_EQ(titles("Praxis Dr. Keller: Ihr Termin zur Vorsorgeuntersuchung ist am Mo., "
                     "09.03.2026 um 08:40 Uhr.",
                     "de_DE"),
              Titles{"Vorsorgeuntersuchung"});
    // A line wrapped after a word that leads on is no name.
    EXPECT_EQ(titles("Coach: Reminder -\nPractice moved to Friday 6 March, 5:30pm at Field 3."),
              Titles{"Practice"});
    // A label is not the event the sentence names, nor is a point of the agenda below; "first"
    // says which of a series, "of the year" when.
    EXPECT_EQ(titles("Liebe Eltern,\n\nhiermit lade ich Sie zum ersten Elternabend des Schuljahres "
                     "ein.\n\nTermin: Dienstag, 10. März 2026, 19:30 Uhr\n\nTagesordnung:\n"
                     "1. Begrüßung\n2. Klassenfahrt im Frühjahr",
                     "de_DE"),
              Titles{"Elternabend"});
    EXPECT_EQ(titles("Le premier conseil d'école de l'année aura lieu le mardi 10 mars 2026 à 18h.",
                     "fr_FR"),
              Titles{"Conseil d'école"});
    // Nothing better: the venue the text names.
    EXPECT_EQ(titles("Your stay is confirmed\nCheck-in: 20/03/2026\nCheck-out: 22/03/2026"),
              Titles{"Venue Hall"});
}

TEST(TitlePickingTest, NamesAreWeighedAgainstEachOther) {
    // The event named in the sentence of its day beats the name of who writes at the top.
    EXPECT_EQ(titles("Northfield Hospice\n\nThank you for all your support this year.\n"
                     "Please join us for our Charity Dinner on Saturday 14 March at 7pm.\n"),
              Titles{"Charity Dinner"});
    // A pass's flight is named by its number, not by the kind of page or the carrier.
    EXPECT_EQ(titles("BOARDING PASS\nSKYLARK AIRWAYS\nPassenger: DOE/JANE MS\nFlight SK 201\n"
                     "Date 14MAR\nDeparture 07:10\nSeat 12A"),
              Titles{"Flight SK 201"});
    // A notice's name without the notice is no generic heading.
    EXPECT_EQ(titles("HARBOUR SAILING CLUB\nNOTICE OF EXTRAORDINARY GENERAL MEETING\n\nMembers "
                     "are asked to attend on Thursday 12 March at 8pm in the bar."),
              Titles{"Extraordinary General Meeting"});
    // A subject still names the e-mail's event over a heading in its body.
    EXPECT_EQ(titles("Subject: Spring concert\n\nRIVERSIDE SINGERS\n\nSaturday 14 March, 7pm at "
                     "St Anne's."),
              Titles{"Spring concert"});
}

TEST(TitlePickingTest, AGermanInvitationNamesWhatItAsksTo) {
    EXPECT_EQ(titles("Unsere diesjährige Jahreshauptversammlung findet am Freitag, 20. März 2026, "
                     "um 19:30 Uhr im Vereinsheim statt.\nAußerdem laden wir herzlich zum "
                     "Frühjahrsputz am Samstag, 28. März, ab 9 Uhr ein.",
                     "de_DE"),
              (Titles{"Jahreshauptversammlung", "Frühjahrsputz"}));
    EXPECT_EQ(titles("Die ordentliche Mitgliederversammlung findet am Freitag, 20. März 2026, um "
                     "19:30 Uhr im Vereinsheim statt.",
                     "de_DE"),
              Titles{"Mitgliederversammlung"});
    // The verb of the sentence that goes on to the day is no part of the name.
    EXPECT_EQ(titles("Brandl Haustechnik GmbH: Guten Tag Hr. Kessler, Ihr\n"
                     "Termin zur Heizungswartung (Gas-Brennwertkessel) ist\n"
                     "am Do, 12.03.2026 im Zeitfenster 08:00-12:00 Uhr.\n"
                     "Objekt: Hochfeldstr. 23, 86159 Augsburg, 2. OG.",
                     "de_DE"),
              Titles{"Heizungswartung (Gas-Brennwertkessel)"});
}

TEST(TitlePickingTest, TheMonthOfOneOfASeriesOrWhatTheMessageBringsIsNoPartOfItsName) {
    EXPECT_EQ(titles("Subject: Book club - October\n\nWe meet on Wednesday 21 October at 7.30pm."),
              Titles{"Book club"});
    EXPECT_EQ(titles("QUIZ NIGHT – MARCH 2026\nFriday 13 March, 8pm"), Titles{"Quiz Night"});
    EXPECT_EQ(titles("Betreff: Maturaball 2027 – Kartenverkauf & Infos\n\nDer Ball findet am "
                     "Samstag, 16. Jänner 2027, um 20 Uhr statt.",
                     "de_AT"),
              Titles{"Maturaball 2027"});
    EXPECT_EQ(titles("Subject: Dancing at Ballinamore – Booking ref LH-448213\n\nThursday 12 "
                     "March, 7.30pm"),
              Titles{"Dancing at Ballinamore"});
}

TEST(TitlePickingTest, NormalCapitalisation) {
    EXPECT_EQ(normalCapitalisation("SPRING CRAFT FAIR"), "Spring Craft Fair");
    // Small joining words stay small after the first word.
    EXPECT_EQ(normalCapitalisation("A NIGHT AT THE OPERA"), "A Night at the Opera");
    EXPECT_EQ(normalCapitalisation("FÊTE DE LA MUSIQUE"), "Fête de la Musique");
    EXPECT_EQ(normalCapitalisation("CONSEIL D'ÉCOLE"), "Conseil d'école");
    EXPECT_EQ(normalCapitalisation("FEST DER VEREINE"), "Fest der Vereine");
    // Abbreviations stay in capitals; a title's short form and an ordinal do not.
    EXPECT_EQ(normalCapitalisation("HC COMBE-NOIRE – FC AARFELD"), "HC Combe-Noire – FC Aarfeld");
    EXPECT_EQ(normalCapitalisation("FAMILY BBQ WITH DR SMITH"), "Family BBQ with Dr Smith");
    EXPECT_EQ(normalCapitalisation("2ND TEAM TRAINING"), "2nd Team Training");
    EXPECT_EQ(normalCapitalisation("THE BIG QUIZ"), "The Big Quiz");
    EXPECT_EQ(normalCapitalisation("SPORTFEST der Grundschule"), "Sportfest der Grundschule");
    EXPECT_EQ(normalCapitalisation("GCSE English"), "GCSE English");
    // So is a piece of a title in capitals set apart by a dash, but not a reference.
    EXPECT_EQ(normalCapitalisation("LES OISEAUX DE PASSAGE – Cie du Vent Tiède"),
              "Les Oiseaux de Passage – Cie du Vent Tiède");
    EXPECT_EQ(normalCapitalisation("E-ticket: THE SALT ROAD"), "E-ticket: The Salt Road");
    EXPECT_EQ(normalCapitalisation("Module 2: CPR & AED"), "Module 2: CPR & AED");
    EXPECT_EQ(normalCapitalisation("TRAIN TO MUNICH – SLR-26-3381"),
              "Train to Munich – SLR-26-3381");
    EXPECT_EQ(normalCapitalisation("dinner"), "Dinner");
    EXPECT_EQ(normalCapitalisation("v Hillcrest School"), "v Hillcrest School");
    EXPECT_EQ(normalCapitalisation("NYC"), "NYC");
    // A number before the first word keeps its space.
    EXPECT_EQ(normalCapitalisation("113. GENERALVERSAMMLUNG"), "113. Generalversammlung");
    EXPECT_EQ(normalCapitalisation("音楽祭"), "音楽祭");
}

} // namespace
} // namespace plannery::reader
