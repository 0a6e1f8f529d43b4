#pragma once

#include "cli/Options.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The calendar objects of the demo data as plain values, and their iCalendar text.
namespace plannery::cli::demo {

enum class Zone { floating, utc, berlin, newYork, tokyo };

// A wall-clock time as written in the file: a day and the minute of that day.
struct WallTime {
    Date date;
    int minute = 0;
};

struct Person {
    std::string name;
    std::string email;
};

enum class PartStat { accepted, declined, tentative, needsAction };

struct Attendee {
    Person person;
    PartStat partStat = PartStat::needsAction;
};

// One occurrence of a series changed on its own (a RECURRENCE-ID component).
struct Override {
    WallTime occurrence; // the start the rule gives it, in the series' zone
    WallTime start;
    WallTime end;
    std::optional<std::string> title;
    bool canceled = false;
};

struct GeoPoint {
    int latitudeE4 = 0; // degrees times 10,000, so the text never depends on float printing
    int longitudeE4 = 0;
};

struct DemoEvent {
    std::string uid;
    std::string title;
    std::string location;
    std::optional<GeoPoint> geo;
    std::string description;
    bool allDay = false;
    Zone zone = Zone::berlin;
    Zone endZone = Zone::berlin; // a flight may end in another zone
    WallTime start;
    WallTime end; // all-day: the day after the last day (DTEND is exclusive)
    std::string rrule;
    std::vector<WallTime> exdates;
    std::vector<Override> overrides;
    std::string status; // "", "CONFIRMED", "TENTATIVE" or "CANCELLED"
    std::optional<Person> organizer;
    std::vector<Attendee> attendees;
    std::optional<int> alarmMinutesBefore;
};

// One VCALENDAR with the VTIMEZONEs the events use, CRLF line endings, long lines folded and text
// escaped by the writer of every calendar file (detail/Ics.h).
// `stamp` is the DTSTAMP day, so the text does not depend on the clock.
std::string renderCalendar(const std::vector<DemoEvent>& events, const Date& stamp,
                           std::string_view calendarName = {});

} // namespace plannery::cli::demo
