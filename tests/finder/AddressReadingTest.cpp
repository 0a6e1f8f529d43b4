#include "finder/AddressReading.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

std::string address(const char* text) {
    const auto lines = readLines(text);
    const auto span = Addresses::span(lines[0]);
    return span ? Addresses::written(lines[0], span->first, span->second) : "-";
}

TEST(AddressReadingTest, StreetsAndPostcodesInTheirLines) {
    const struct {
        const char* line;
        const char* address;
    } cases[] = {
        {"42 Elm Street, Springfield", "42 Elm Street, Springfield"},
        {"226 W 46th St, New York, NY 10036", "226 W 46th St, New York, NY 10036"},
        {"Seestraße 8, 82211 Herrsching am Ammersee", "Seestraße 8, 82211 Herrsching am Ammersee"},
        {"5 rue Tholozé, 75018 Paris", "5 rue Tholozé, 75018 Paris"},
        // A street word of its own after the name, and a door after the house's number.
        {"Währinger Straße 112/4, 1180 Wien", "Währinger Straße 112/4, 1180 Wien"},
        // A dash or dot that sets the postcode and town apart is written as a comma; a remark
        // after a dash and a telephone number after a dot are no part of the address.
        {"14, avenue du Bourgailh – 33600 Pessac", "14, avenue du Bourgailh, 33600 Pessac"},
        {"Lindenbichlgasse 14 · 8010 Graz", "Lindenbichlgasse 14, 8010 Graz"},
        {"Lindenbichlgasse 14 · 0316 58 21 40", "Lindenbichlgasse 14"},
        {"22 Market Square, Leeds – 2024 Winners", "22 Market Square, Leeds"},
        // A chat's reply before the address is none of the venue's name.
        {"Oui, 12 rue Alfred Nobel, Décines-Charpieu", "12 rue Alfred Nobel, Décines-Charpieu"},
        {"Yes, 22 Aro St", "22 Aro St"},
        // The clock before an address is when, not the venue's name.
        {"cleaning is Tue 9/22 at 10:40AM, 2250 W Larkin Ave Ste 3", "2250 W Larkin Ave Ste 3"},
        {"Quiz night at 7 PM, 12 High Street, Bath", "12 High Street, Bath"},
        {"Abendessen um 19.30 Uhr, Hauptstraße 4, 80331 München", "Hauptstraße 4, 80331 München"},
        // A sentence after the suite's number is no part of the address; a floor is.
        {"Littleton office, 8120 S Broadway Ste 3. Reply C to confirm.",
         "Littleton office, 8120 S Broadway Ste 3"},
        {"Hauptstraße 5, 3. Stock", "Hauptstraße 5, 3. Stock"},
        {"Flat 3, 27 Lansdowne Road, Bristol BS6 5LE",
         "Flat 3, 27 Lansdowne Road, Bristol BS6 5LE"},
        {"Oxfordshire OX7 4QP", "Oxfordshire OX7 4QP"},
        {"Kaiserstraße 41, 60329 Frankfurt · Tel. 069 2731 8840",
         "Kaiserstraße 41, 60329 Frankfurt"},
        {"Tom: 14 Kingsley Avenue if you've forgotten", "14 Kingsley Avenue"},
        {"address is 27 Banksia Cres, Mount Gravatt", "27 Banksia Cres, Mount Gravatt"},
        {"Hosted by Monzo, Broadwalk House, 5 Appold St", "Monzo, Broadwalk House, 5 Appold St"},
        {"Salle des fêtes, 2 place de la Mairie", "Salle des fêtes, 2 place de la Mairie"},
        {"The Botanist, 7 Broad Street, Birmingham", "The Botanist, 7 Broad Street, Birmingham"},
        {"Lyric Square, King Street, London W6 0QL", "Lyric Square, King Street, London W6 0QL"},
        {"Brick Lane Market, London E1 6QL", "Brick Lane Market, London E1 6QL"},
        {"at our flat - 27B Wellington Road. Bring a bottle!", "27B Wellington Road"},
        {"12 Main St. Springfield", "12 Main St. Springfield"},
        {"Objekt: Hochfeldstr. 23, 86159 Augsburg", "Hochfeldstr. 23, 86159 Augsburg"},
        {"our office: 500 Howard St, 4th floor, San Francisco.",
         "500 Howard St, 4th floor, San Francisco"},
        {"at our offices, 3rd Floor, 20 Victoria Street, London",
         "3rd Floor, 20 Victoria Street, London"},
        {"Riverside Walk, Kingston upon Thames KT1 1AB",
         "Riverside Walk, Kingston upon Thames KT1 1AB"},
        {"Quai Gambetta, 62200 Boulogne sur Mer", "Quai Gambetta, 62200 Boulogne sur Mer"},
        {"Rendez-vous au 8 bd Gambetta, 75020 Paris.", "8 bd Gambetta, 75020 Paris"},
        // A unit's number before the street's; a parade is a street too.
        {"2/88 Maudsland Street, Lutwyche QLD 4030", "2/88 Maudsland Street, Lutwyche QLD 4030"},
        {"14 Kedron Parade, Wooloowin QLD 4030", "14 Kedron Parade, Wooloowin QLD 4030"},
        {"Cabinet : 14 av. de la Gare, 38000 Grenoble", "14 av. de la Gare, 38000 Grenoble"},
        {"SE Hawthorne Blvd between 30th & 34th Ave, Portland",
         "SE Hawthorne Blvd between 30th & 34th Ave, Portland"},
        {"From 2ish, 27 Elm Grove. Bring drinks", "27 Elm Grove"},
        // An ordinal's full stop ends the sentence; a person met there is not the venue.
        {"au 8 place de la République, Lyon 2e. En cas d'empêchement",
         "8 place de la République, Lyon 2e"},
        {"avec M. Leroy, 8 place de la République, Lyon 2e", "8 place de la République, Lyon 2e"},
        {"Meeting with Dr Shah, 14 Elm Street, Leeds", "14 Elm Street, Leeds"},
        // A comma after the number, a street's name shortened with a full stop.
        {"14, rue Pasteur, 69007 Lyon", "14, rue Pasteur, 69007 Lyon"},
        {"direkt an der Werkstatt, Heilbronner Str. 77, Neckarsulm. Ersatzwagen ist reserviert.",
         "Werkstatt, Heilbronner Str. 77, Neckarsulm"},
        // A street's shortened word ends the address before a sentence, not before a town.
        {"All at Riverbend Playhouse, 418 Sargent Ave. Use the stage door off the back lane.",
         "Riverbend Playhouse, 418 Sargent Ave"},
        // A French street in lower case before its number, after the venue; a venue's name
        // with a word in lower case.
        {"Église Saint-Martin, rue de l'Église 4, 5380 Bierwart",
         "Église Saint-Martin, rue de l'Église 4, 5380 Bierwart"},
        {"Aréna municipal Jean-Guy-Tremblay, 1650, rue des Pins, Sainte-Julie",
         "Aréna municipal Jean-Guy-Tremblay, 1650, rue des Pins, Sainte-Julie"},
        // No addresses: a year before words, a phone number, seats, a plain number.
        {"ICML 2026 Workshop on Reasoning", "-"},
        {"CPE 2150 Conversational French for Travellers", "-"},
        {"(US) +1 347-555-0199 PIN: 284", "-"},
        {"Block 3, Reihe 12, Platz 5", "-"},
        {"Party of 4", "-"},
        // An ordinal is no number and street ("3rd" is no "3 Rd").
        {"corner of Elm & 3rd", "-"},
        {"Meet on the 21st floor", "-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(address(c.line), c.address) << c.line;
    }
}

} // namespace
} // namespace plannery::reader
