#pragma once

#include "cli/DemoIcs.h"
#include "cli/DemoRandom.h"

#include <optional>
#include <string>
#include <vector>

// The words the demo data is made of: titles, people, places, descriptions, holidays.
namespace plannery::cli::demo::themes {

// What the events of one kind of calendar look like.
struct Theme {
    std::vector<std::string> titles;
    int firstHour = 8; // earliest start hour of a timed event
    int lastHour = 18; // latest start hour
    int allDayPercent = 5;
    int locationPercent = 50;
    int descriptionPercent = 30;
    int invitedPercent = 0;   // someone else organises and invites the user
    int organisedPercent = 0; // the user organises and invites others
    int repeatPercent = 10;   // a series rather than a single event
};

const Theme& work();
const Theme& personal();
const Theme& family();
const Theme& local();

struct Place {
    std::string name;
    std::optional<GeoPoint> geo;
};

struct Holiday {
    int month = 1;
    int day = 1;
    std::string name;
};

const std::vector<std::string>& firstNames();
const std::vector<std::string>& lastNames();
const std::vector<Place>& places();
const std::vector<std::string>& descriptions();
// Titles of events that last several days.
const std::vector<std::string>& trips();
// Public holidays on fixed days of the year.
const std::vector<Holiday>& holidays();

// How the servers of the accounts shape their UIDs.
enum class UidStyle { google, exchange, uuid };
std::string uid(Random& random, UidStyle style);

// Someone with a name from the lists and an address at the domain.
Person person(Random& random, const std::string& domain);

} // namespace plannery::cli::demo::themes
