#include "cli/DemoIcs.h"

#include "detail/Ics.h"

#include <cstdio>
#include <cstdlib>
#include <set>

namespace plannery::cli::demo {

namespace {

constexpr std::string_view kBerlin = "BEGIN:VTIMEZONE\n"
                                     "TZID:Europe/Berlin\n"
                                     "BEGIN:DAYLIGHT\n"
                                     "TZOFFSETFROM:+0100\n"
                                     "TZOFFSETTO:+0200\n"
                                     "TZNAME:CEST\n"
                                     "DTSTART:19700329T020000\n"
                                     "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\n"
                                     "END:DAYLIGHT\n"
                                     "BEGIN:STANDARD\n"
                                     "TZOFFSETFROM:+0200\n"
                                     "TZOFFSETTO:+0100\n"
                                     "TZNAME:CET\n"
                                     "DTSTART:19701025T030000\n"
                                     "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\n"
                                     "END:STANDARD\n"
                                     "END:VTIMEZONE\n";

constexpr std::string_view kNewYork = "BEGIN:VTIMEZONE\n"
                                      "TZID:America/New_York\n"
                                      "BEGIN:DAYLIGHT\n"
                                      "TZOFFSETFROM:-0500\n"
                                      "TZOFFSETTO:-0400\n"
                                      "TZNAME:EDT\n"
                                      "DTSTART:20070311T020000\n"
                                      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n"
                                      "END:DAYLIGHT\n"
                                      "BEGIN:STANDARD\n"
                                      "TZOFFSETFROM:-0400\n"
                                      "TZOFFSETTO:-0500\n"
                                      "TZNAME:EST\n"
                                      "DTSTART:20071104T020000\n"
                                      "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\n"
                                      "END:STANDARD\n"
                                      "END:VTIMEZONE\n";

constexpr std::string_view kTokyo = "BEGIN:VTIMEZONE\n"
                                    "TZID:Asia/Tokyo\n"
                                    "BEGIN:STANDARD\n"
                                    "TZOFFSETFROM:+0900\n"
                                    "TZOFFSETTO:+0900\n"
                                    "TZNAME:JST\n"
                                    "DTSTART:19700101T000000\n"
                                    "END:STANDARD\n"
                                    "END:VTIMEZONE\n";

std::string_view tzid(Zone zone) {
    switch (zone) {
    case Zone::berlin:
        return "Europe/Berlin";
    case Zone::newYork:
        return "America/New_York";
    case Zone::tokyo:
        return "Asia/Tokyo";
    case Zone::floating:
    case Zone::utc:
        break;
    }
    return {};
}

std::string_view vtimezone(Zone zone) {
    switch (zone) {
    case Zone::berlin:
        return kBerlin;
    case Zone::newYork:
        return kNewYork;
    case Zone::tokyo:
        return kTokyo;
    case Zone::floating:
    case Zone::utc:
        break;
    }
    return {};
}

std::string dateText(const Date& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

// "DTSTART;TZID=Europe/Berlin:20261207T090000", "DTSTART;VALUE=DATE:20261207", ...
std::string timeProperty(std::string_view name, const WallTime& time, Zone zone, bool allDay) {
    std::string line(name);
    if (allDay) {
        return line + ";VALUE=DATE:" + dateText(time.date);
    }
    char clock[16];
    std::snprintf(clock, sizeof clock, "T%02d%02d00", time.minute / 60, time.minute % 60);
    if (zone != Zone::floating && zone != Zone::utc) {
        line += ";TZID=";
        line += tzid(zone);
    }
    line += ":" + dateText(time.date) + clock;
    if (zone == Zone::utc) {
        line += "Z";
    }
    return line;
}

std::string_view partStatText(PartStat partStat) {
    switch (partStat) {
    case PartStat::accepted:
        return "ACCEPTED";
    case PartStat::declined:
        return "DECLINED";
    case PartStat::tentative:
        return "TENTATIVE";
    case PartStat::needsAction:
        break;
    }
    return "NEEDS-ACTION";
}

// A parameter value in quotes; quotes cannot be escaped inside one, so they are dropped.
std::string quotedParameter(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        if (c != '"') {
            out += c;
        }
    }
    return out + "\"";
}

std::string geoText(const GeoPoint& geo) {
    auto degrees = [](int e4) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%d.%04d", e4 < 0 ? "-" : "", std::abs(e4) / 10000,
                      std::abs(e4) % 10000);
        return std::string(text);
    };
    return "GEO:" + degrees(geo.latitudeE4) + ";" + degrees(geo.longitudeE4);
}

class Writer {
  public:
    void line(std::string_view text) {
        m_text += Ics::fold(text);
        m_text += "\r\n";
    }
    // Text kept with "\n" line ends, as the time zone definitions are.
    void block(std::string_view text) {
        std::size_t begin = 0;
        while (begin < text.size()) {
            const auto end = text.find('\n', begin);
            line(text.substr(begin, end - begin));
            begin = end == std::string_view::npos ? text.size() : end + 1;
        }
    }
    std::string take() { return std::move(m_text); }

  private:
    std::string m_text;
};

void writeParticipants(Writer& out, const DemoEvent& event) {
    if (event.organizer) {
        out.line("ORGANIZER;CN=" + quotedParameter(event.organizer->name) +
                 ":mailto:" + event.organizer->email);
    }
    for (const auto& attendee : event.attendees) {
        out.line("ATTENDEE;CN=" + quotedParameter(attendee.person.name) +
                 ";ROLE=REQ-PARTICIPANT;PARTSTAT=" + std::string(partStatText(attendee.partStat)) +
                 ";RSVP=TRUE:mailto:" + attendee.person.email);
    }
}

void writeMaster(Writer& out, const DemoEvent& event, const std::string& stamp) {
    out.line("BEGIN:VEVENT");
    out.line("UID:" + event.uid);
    out.line(stamp);
    out.line(timeProperty("DTSTART", event.start, event.zone, event.allDay));
    out.line(timeProperty("DTEND", event.end, event.endZone, event.allDay));
    if (!event.rrule.empty()) {
        out.line("RRULE:" + event.rrule);
    }
    for (const auto& exdate : event.exdates) {
        out.line(timeProperty("EXDATE", exdate, event.zone, event.allDay));
    }
    out.line("SUMMARY:" + Ics::text(event.title));
    if (!event.location.empty()) {
        out.line("LOCATION:" + Ics::text(event.location));
    }
    if (event.geo) {
        out.line(geoText(*event.geo));
    }
    if (!event.description.empty()) {
        out.line("DESCRIPTION:" + Ics::text(event.description));
    }
    if (!event.status.empty()) {
        out.line("STATUS:" + event.status);
    }
    if (event.allDay) {
        out.line("TRANSP:TRANSPARENT");
    }
    writeParticipants(out, event);
    if (event.alarmMinutesBefore) {
        out.line("BEGIN:VALARM");
        out.line("ACTION:DISPLAY");
        out.line("DESCRIPTION:" + Ics::text(event.title));
        out.line("TRIGGER:-PT" + std::to_string(*event.alarmMinutesBefore) + "M");
        out.line("END:VALARM");
    }
    out.line("END:VEVENT");
}

void writeOverride(Writer& out, const DemoEvent& event, const Override& change,
                   const std::string& stamp) {
    out.line("BEGIN:VEVENT");
    out.line("UID:" + event.uid);
    out.line(stamp);
    out.line(timeProperty("RECURRENCE-ID", change.occurrence, event.zone, event.allDay));
    out.line(timeProperty("DTSTART", change.start, event.zone, event.allDay));
    out.line(timeProperty("DTEND", change.end, event.endZone, event.allDay));
    out.line("SUMMARY:" + Ics::text(change.title.value_or(event.title)));
    if (!event.location.empty()) {
        out.line("LOCATION:" + Ics::text(event.location));
    }
    out.line("SEQUENCE:1");
    if (change.canceled) {
        out.line("STATUS:CANCELLED");
    } else if (!event.status.empty()) {
        out.line("STATUS:" + event.status);
    }
    writeParticipants(out, event);
    out.line("END:VEVENT");
}

} // namespace

std::string renderCalendar(const std::vector<DemoEvent>& events, const Date& stamp,
                           std::string_view calendarName) {
    Writer out;
    out.line("BEGIN:VCALENDAR");
    out.line("VERSION:2.0");
    out.line("PRODID:-//Plannery//Demo Calendars//EN");
    out.line("CALSCALE:GREGORIAN");
    if (!calendarName.empty()) {
        out.line("X-WR-CALNAME:" + Ics::text(calendarName));
    }
    std::set<Zone> zones;
    for (const auto& event : events) {
        if (!event.allDay) {
            zones.insert(event.zone);
            zones.insert(event.endZone);
        }
    }
    for (Zone zone : zones) {
        out.block(vtimezone(zone));
    }
    const std::string stampLine = "DTSTAMP:" + dateText(stamp) + "T000000Z";
    for (const auto& event : events) {
        writeMaster(out, event, stampLine);
        for (const auto& change : event.overrides) {
            writeOverride(out, event, change, stampLine);
        }
    }
    out.line("END:VCALENDAR");
    return out.take();
}

} // namespace plannery::cli::demo
