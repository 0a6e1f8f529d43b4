#include "cli/DemoThemes.h"

namespace plannery::cli::demo::themes {

const Theme& work() {
    static const Theme theme{
        .titles = {"Weekly sync",
                   "Quarterly planning",
                   "Customer call: Northwind",
                   "Interview: frontend engineer",
                   "Budget review",
                   "Roadmap workshop",
                   "Lunch & learn: accessibility",
                   "Release retrospective",
                   "Security training",
                   "Product demo",
                   "Hiring committee",
                   "Vendor meeting, Q3 contract",
                   "Offsite planning; logistics",
                   "Architecture review",
                   "Coffee chat",
                   "Incident review",
                   "Board prep",
                   "Onboarding: new joiners",
                   "Pricing discussion",
                   "Support rotation handover",
                   "Café meeting with Zoë",
                   "Performance reviews",
                   "Data migration go/no-go",
                   "Brainstorm: \"Plan B\""},
        .firstHour = 8,
        .lastHour = 17,
        .allDayPercent = 4,
        .locationPercent = 60,
        .descriptionPercent = 40,
        .invitedPercent = 35,
        .organisedPercent = 35,
        .repeatPercent = 12,
    };
    return theme;
}

const Theme& personal() {
    static const Theme theme{
        .titles = {"Dentist", "Yoga", "Dinner with Sam", "Haircut", "Piano lesson",
                   "Farmers market", "Book club: \"The Overstory\"", "Car service", "Movie night",
                   "Run in the park", "Call grandma", "Plumber visit", "Vet appointment for Miso",
                   "Concert: Philharmonie", "Brunch at Café Müller", "Climbing gym",
                   "Pick up dry cleaning", "Language exchange (日本語)", "Tax advisor"},
        .firstHour = 7,
        .lastHour = 21,
        .allDayPercent = 8,
        .locationPercent = 55,
        .descriptionPercent = 20,
        .invitedPercent = 10,
        .organisedPercent = 5,
        .repeatPercent = 12,
    };
    return theme;
}

const Theme& family() {
    static const Theme theme{
        .titles = {"Swimming lessons", "School concert", "Soccer practice", "Grocery run",
                   "Family dinner", "Parent-teacher conference", "Birthday party at the zoo",
                   "Playdate with Noah", "Pediatrician", "Bake sale", "Sunday hike",
                   "Ballet recital"},
        .firstHour = 8,
        .lastHour = 19,
        .allDayPercent = 10,
        .locationPercent = 50,
        .descriptionPercent = 15,
        .invitedPercent = 5,
        .organisedPercent = 0,
        .repeatPercent = 15,
    };
    return theme;
}

const Theme& local() {
    static const Theme theme{
        .titles = {"Water the plants", "Back up the laptop", "Journal", "Sort tax documents",
                   "Read: 30 minutes", "Meal prep", "Clean the bikes", "Renew passport", "Pay rent",
                   "Change bed linen"},
        .firstHour = 7,
        .lastHour = 21,
        .allDayPercent = 15,
        .locationPercent = 10,
        .descriptionPercent = 10,
        .invitedPercent = 0,
        .organisedPercent = 0,
        .repeatPercent = 20,
    };
    return theme;
}

const std::vector<std::string>& firstNames() {
    static const std::vector<std::string> names{
        "Priya", "Jonas",  "Mei",    "Sam",   "Lena",  "Omar",  "Zoë",    "Chris",
        "Ana",   "Felix",  "Hannah", "Kenji", "Fatma", "Lucas", "Ingrid", "Mateo",
        "Aisha", "Tobias", "Sofia",  "Yuki",  "Emma",  "Noah",  "Björn",  "Chloé"};
    return names;
}

const std::vector<std::string>& lastNames() {
    static const std::vector<std::string> names{
        "Shah",  "Weber",  "Tanaka",   "Rivera", "Fischer", "Haddad", "Martin", "O'Neil",
        "Silva", "Becker", "Kowalski", "Sato",   "Yılmaz",  "Dubois", "Larsen", "García",
        "Khan",  "Schulz", "Rossi",    "Nguyen", "Brown",   "Müller"};
    return names;
}

const std::vector<Place>& places() {
    static const std::vector<Place> places{
        {"Café Einstein, Kurfürstenstraße 58, 10785 Berlin", GeoPoint{525026, 133557}},
        {"Room 4.12 \"Spree\"", std::nullopt},
        {"Zoom", std::nullopt},
        {"https://meet.example.com/abc-defg-hij", std::nullopt},
        {"Shibuya Scramble Square, Tokyo", GeoPoint{356585, 1397022}},
        {"Central Park, New York, NY", GeoPoint{407829, -739654}},
        {"Tempelhofer Feld", GeoPoint{524730, 134039}},
        {"Dr. Neumann's practice, Hauptstraße 12", std::nullopt},
        {"Home", std::nullopt},
        {"Main office, 3rd floor; meeting room Havel", std::nullopt},
        {"Philharmonie Berlin, Herbert-von-Karajan-Straße 1", GeoPoint{525099, 133699}},
        {"Markthalle Neun", GeoPoint{525022, 134315}},
        {"東京駅 (Tokyo Station)", GeoPoint{356812, 1397671}},
        {"Hallenbad Schöneberg", std::nullopt},
    };
    return places;
}

const std::vector<std::string>& descriptions() {
    static const std::vector<std::string> texts{
        "Agenda:\n1. Welcome and updates\n2. Review of the Q3 numbers — please read the deck "
        "beforehand\n3. Open questions\n\nJoin: https://meet.example.com/abc-defg-hij\nDial-in: "
        "+49 30 1234567, PIN 4711#",
        "Bring sunscreen, water and a snack 🍫",
        "Notes from last time: we agreed to move the launch by a week; Jonas will check with "
        "legal, and Priya follows up with the customer about the open tickets in the backlog.",
        "東京オフィスとの定例会議です。資料は共有ドライブの「2026年 計画」フォルダにあります。"
        "質問があれば事前に送ってください。",
        "Parking is behind the building. Ring the bell at \"Empfang\".",
        "Confirmation code: X7K2Q9",
        "Please reply by Friday.",
    };
    return texts;
}

const std::vector<std::string>& trips() {
    static const std::vector<std::string> titles{"Vacation in Lisbon", "Conference: Web Summit",
                                                 "Ski trip",           "Business trip to New York",
                                                 "Tokyo trip",         "Family visit in Hamburg"};
    return titles;
}

const std::vector<Holiday>& holidays() {
    static const std::vector<Holiday> days{
        {1, 1, "New Year’s Day"},  {5, 1, "Labour Day"},      {10, 3, "Day of German Unity"},
        {12, 24, "Christmas Eve"}, {12, 25, "Christmas Day"}, {12, 26, "Boxing Day"},
        {12, 31, "New Year’s Eve"}};
    return days;
}

std::string uid(Random& random, UidStyle style) {
    switch (style) {
    case UidStyle::google:
        return random.characters("abcdefghijklmnopqrstuvwxyz0123456789", 26) + "@google.com";
    case UidStyle::exchange:
        return "040000008200E00074C5B7101A82E00800000000" +
               random.characters("0123456789ABCDEF", 32);
    case UidStyle::uuid:
        break;
    }
    const std::string_view hex = "0123456789ABCDEF";
    return random.characters(hex, 8) + "-" + random.characters(hex, 4) + "-4" +
           random.characters(hex, 3) + "-A" + random.characters(hex, 3) + "-" +
           random.characters(hex, 12);
}

Person person(Random& random, const std::string& domain) {
    const std::string& first = random.pick(firstNames());
    const std::string& last = random.pick(lastNames());
    std::string local;
    for (char c : first + "." + last) {
        // Addresses in plain ASCII: letters outside it are left out ("Zoë" -> "zo").
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.') {
            local += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    return Person{first + " " + last, local + "@" + domain};
}

} // namespace plannery::cli::demo::themes
