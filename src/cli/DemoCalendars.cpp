#include "cli/DemoCalendars.h"

#include "cli/DemoIcs.h"
#include "cli/DemoRandom.h"
#include "cli/DemoThemes.h"
#include "model/Calendar.h"

#include <array>
#include <fstream>
#include <system_error>

namespace plannery::cli::DemoCalendars {

namespace {

using demo::Attendee;
using demo::DemoEvent;
using demo::Override;
using demo::PartStat;
using demo::Person;
using demo::WallTime;
using demo::Zone;
namespace themes = demo::themes;

// The user's addresses on the three accounts that invite them.
const Person kMeGoogle{"Alex Morgan", "alex.morgan@gmail.com"};
const Person kMeFastmail{"Alex Morgan", "alex.morgan@fastmail.com"};
const Person kMeExchange{"Alex Morgan", "alex.morgan@contoso.com"};

using demo::Random;
using themes::UidStyle;
using Days = demo::DayTable;

struct Folder {
    std::string path; // relative to the root
    std::vector<DemoEvent> events;
};

class Generator {
  public:
    explicit Generator(const Settings& settings)
        : m_settings(settings), m_random(settings.seed), m_days(settings.from, settings.years) {}

    std::string uid(UidStyle style) { return themes::uid(m_random, style); }
    Person person(const std::string& domain) { return themes::person(m_random, domain); }

    Zone zone(const std::array<int, 5>& weights) {
        int total = 0;
        for (int weight : weights) {
            total += weight;
        }
        int draw = m_random.below(total);
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if (draw < weights[i]) {
                return static_cast<Zone>(i);
            }
            draw -= weights[i];
        }
        return Zone::berlin;
    }

    // A single event of a theme on a day, in the given zone.
    DemoEvent single(const themes::Theme& theme, int day, Zone zone, UidStyle style) {
        DemoEvent event;
        event.uid = uid(style);
        event.title = m_random.pick(theme.titles);
        if (m_random.chance(theme.locationPercent)) {
            const auto& place = m_random.pick(themes::places());
            event.location = place.name;
            event.geo = place.geo;
        }
        if (m_random.chance(theme.descriptionPercent)) {
            event.description = m_random.pick(themes::descriptions());
        }
        if (m_random.chance(theme.allDayPercent)) {
            event.allDay = true;
            const int length = m_random.chance(30) ? m_random.between(2, 5) : 1;
            event.start = WallTime{m_days.date(day), 0};
            event.end = WallTime{m_days.date(day + length), 0};
            if (length > 1) {
                event.title = m_random.pick(themes::trips());
            }
        } else {
            event.zone = event.endZone = zone;
            const int startMinute = m_random.between(theme.firstHour * 4, theme.lastHour * 4) * 15;
            static const std::vector<int> durations{15, 30, 30, 45, 60, 60, 60, 90, 120, 180};
            setTimes(event, day, startMinute, m_random.pick(durations));
        }
        if (m_random.chance(3)) {
            event.status = "CANCELLED";
        }
        if (m_random.chance(25)) {
            static const std::vector<int> alarms{5, 10, 15, 15, 30, 60};
            event.alarmMinutesBefore = event.allDay ? 15 * 60 : m_random.pick(alarms);
        }
        return event;
    }

    void setTimes(DemoEvent& event, int day, int startMinute, int minutes) {
        const int endMinute = startMinute + minutes;
        event.start = WallTime{m_days.date(day), startMinute};
        event.end = WallTime{m_days.date(day + endMinute / (24 * 60)), endMinute % (24 * 60)};
    }

    // The user organises the meeting and invites others, or someone else invites the user.
    void addParticipants(DemoEvent& event, const Person& me, const std::string& domain,
                         int invitedPercent, int organisedPercent) {
        const int draw = m_random.below(100);
        if (draw >= invitedPercent + organisedPercent) {
            return;
        }
        const bool invited = draw < invitedPercent;
        const Person other = person(domain);
        event.organizer = invited ? other : me;
        event.status = event.status.empty() ? "CONFIRMED" : event.status;
        event.attendees.push_back(Attendee{other, PartStat::accepted});
        for (int i = m_random.between(0, 3); i > 0; --i) {
            event.attendees.push_back(
                Attendee{person(domain), static_cast<PartStat>(m_random.below(4))});
        }
        static const std::vector<PartStat> replies{
            PartStat::accepted, PartStat::accepted,    PartStat::accepted,   PartStat::tentative,
            PartStat::declined, PartStat::needsAction, PartStat::needsAction};
        event.attendees.push_back(
            Attendee{me, invited ? m_random.pick(replies) : PartStat::accepted});
    }

    // Turns an event into a series, with a moved occurrence and a left-out one now and then.
    void repeat(DemoEvent& event, int day) {
        const int kind = m_random.below(10);
        std::vector<Date> occurrences;
        if (kind < 5) {
            const int interval = m_random.chance(25) ? 2 : 1;
            const int count = m_random.between(6, 30);
            event.rrule = "FREQ=WEEKLY;INTERVAL=" + std::to_string(interval) +
                          ";COUNT=" + std::to_string(count);
            for (int k = 0; k < count; ++k) {
                occurrences.push_back(m_days.date(day + 7 * interval * k));
            }
        } else if (kind < 7) {
            const int count = m_random.between(3, 10);
            event.rrule = "FREQ=DAILY;COUNT=" + std::to_string(count);
            for (int k = 0; k < count; ++k) {
                occurrences.push_back(m_days.date(day + k));
            }
        } else if (kind < 9) {
            const int count = m_random.between(4, 12);
            // Days after the 28th are missing in some months; such a rule skips them.
            event.rrule = "FREQ=MONTHLY;COUNT=" + std::to_string(count);
            for (int k = 0; k < count; ++k) {
                occurrences.push_back(m_days.plusMonths(day, k));
            }
        } else {
            event.rrule = "FREQ=YEARLY";
        }
        if (occurrences.size() >= 4 && m_random.chance(50)) {
            event.exdates.push_back(WallTime{occurrences[2], event.start.minute});
        }
        if (occurrences.size() >= 3 && !event.allDay && m_random.chance(50)) {
            const WallTime occurrence{occurrences[1], event.start.minute};
            const int later = std::min(event.start.minute + 60, 22 * 60);
            const int length = event.end.minute - event.start.minute;
            event.overrides.push_back(Override{
                .occurrence = occurrence,
                .start = WallTime{occurrence.date, later},
                .end = WallTime{occurrence.date, std::min(later + std::max(length, 15), 23 * 60)},
                .title =
                    m_random.chance(30) ? std::optional(event.title + " (moved)") : std::nullopt,
                .canceled = m_random.chance(20)});
        }
    }

    int randomDay() { return m_random.below(m_days.count()); }

    // The Google account's main calendar: series that run through the whole range, so that any
    // stretch of weeks has enough of them for mirror detection, plus single meetings.
    std::vector<DemoEvent> googleSeries() {
        struct Plan {
            const char* title;
            const char* rule;
            Weekday weekday;
            int minute;
            int length;
            Zone zone;
            int step; // days between occurrences on the plan's weekday
        };
        static const std::array<Plan, 6> plans{{
            {"Team standup", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", Weekday::monday, 9 * 60 + 30, 15,
             Zone::berlin, 7},
            {"1:1 with Priya", "FREQ=WEEKLY", Weekday::tuesday, 14 * 60, 30, Zone::berlin, 7},
            {"Design review", "FREQ=WEEKLY;INTERVAL=2", Weekday::thursday, 16 * 60, 60,
             Zone::berlin, 14},
            {"Sprint planning", "FREQ=WEEKLY;INTERVAL=2", Weekday::monday, 10 * 60 + 30, 90,
             Zone::utc, 14},
            {"All hands", "FREQ=WEEKLY;INTERVAL=4", Weekday::wednesday, 11 * 60, 60, Zone::newYork,
             28},
            {"Sync with the Tokyo office", "FREQ=WEEKLY", Weekday::friday, 9 * 60, 30, Zone::tokyo,
             7},
        }};
        std::vector<DemoEvent> series;
        const Date& last = m_days.date(m_days.count() - 1);
        for (const Plan& plan : plans) {
            const int first = m_days.next(0, plan.weekday);
            DemoEvent event;
            event.uid = uid(UidStyle::google);
            event.title = plan.title;
            event.zone = event.endZone = plan.zone;
            setTimes(event, first, plan.minute, plan.length);
            event.rrule = std::string(plan.rule) + ";UNTIL=" + formatCompact(last) + "T235959Z";
            event.location = m_random.chance(50) ? "https://meet.google.com/" +
                                                       m_random.characters("abcdefghijk", 3) + "-" +
                                                       m_random.characters("mnopqrst", 4)
                                                 : "";
            addParticipants(event, kMeGoogle, "contoso.com", 30, 70);
            const int step = plan.step;
            // Every few months one occurrence is left out and another moved.
            for (int day = first + 5 * step; day < m_days.count(); day += 11 * step) {
                event.exdates.push_back(WallTime{m_days.date(day), plan.minute});
                if (day + step < m_days.count()) {
                    const WallTime occurrence{m_days.date(day + step), plan.minute};
                    event.overrides.push_back(
                        Override{.occurrence = occurrence,
                                 .start = WallTime{occurrence.date, plan.minute + 30},
                                 .end = WallTime{occurrence.date, plan.minute + 30 + plan.length},
                                 .title = std::nullopt,
                                 .canceled = false});
                }
            }
            series.push_back(std::move(event));
        }
        return series;
    }

    static std::string formatCompact(const Date& date) {
        std::string text = formatDate(date);
        std::erase(text, '-');
        return text;
    }

    Summary run();

  private:
    std::vector<DemoEvent> holidays(int limit);
    std::vector<DemoEvent> birthdays(int count);
    void fill(Folder& folder, int count, const themes::Theme& theme,
              const std::array<int, 5>& zones, UidStyle style, const Person& me,
              const std::string& domain);
    bool writeText(const std::filesystem::path& relative, const std::string& text,
                   Summary& summary);

    Settings m_settings;
    Random m_random;
    Days m_days;
};

std::vector<DemoEvent> Generator::holidays(int limit) {
    std::vector<DemoEvent> events;
    for (int day = 0; day < m_days.count() && static_cast<int>(events.size()) < limit; ++day) {
        const Date& date = m_days.date(day);
        for (const auto& holiday : themes::holidays()) {
            if (holiday.month == date.month && holiday.day == date.day) {
                DemoEvent event;
                event.uid = "holiday-" + formatCompact(date) + "@holidays.example.org";
                event.title = holiday.name;
                event.allDay = true;
                event.start = WallTime{date, 0};
                event.end = WallTime{m_days.date(day + 1), 0};
                events.push_back(std::move(event));
            }
        }
    }
    return events;
}

std::vector<DemoEvent> Generator::birthdays(int count) {
    std::vector<DemoEvent> events;
    for (int i = 0; i < count; ++i) {
        const Person who = person("example.com");
        // Day 27 at most, so that the next day is in the same month in every year.
        const Date born{m_settings.from.year - m_random.between(8, 80), m_random.between(1, 12),
                        m_random.between(1, 27)};
        DemoEvent event;
        event.uid = uid(UidStyle::uuid) + "-birthday";
        event.title = who.name + "’s birthday";
        event.allDay = true;
        event.start = WallTime{born, 0};
        event.end = WallTime{Date{born.year, born.month, born.day + 1}, 0};
        event.rrule = "FREQ=YEARLY";
        events.push_back(std::move(event));
    }
    return events;
}

void Generator::fill(Folder& folder, int count, const themes::Theme& theme,
                     const std::array<int, 5>& zones, UidStyle style, const Person& me,
                     const std::string& domain) {
    for (int i = 0; i < count; ++i) {
        const int day = randomDay();
        DemoEvent event = single(theme, day, zone(zones), style);
        addParticipants(event, me, domain, theme.invitedPercent, theme.organisedPercent);
        if (m_random.chance(theme.repeatPercent)) {
            repeat(event, day);
        }
        folder.events.push_back(std::move(event));
    }
}

bool Generator::writeText(const std::filesystem::path& relative, const std::string& text,
                          Summary& summary) {
    const auto path = m_settings.folder / relative;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (error || !out) {
        summary.error = "Could not write " + path.string() + ".";
        return false;
    }
    return true;
}

Summary Generator::run() {
    Summary summary;
    const int n = m_settings.events;
    const auto holidayEvents = holidays(std::max(1, n / 10));
    const int birthdayCount = std::max(3, n / 50);
    const int twiceInvited = std::max(3, n / 150);
    const int googleSingles = n * 12 / 100;
    std::vector<DemoEvent> google = googleSeries();
    const int fixed = static_cast<int>(holidayEvents.size()) + birthdayCount +
                      2 * static_cast<int>(google.size()) + 3 * twiceInvited + 2 * googleSingles;
    const int rest = std::max(0, n - fixed);

    Folder googleMain{"google/alex.morgan@gmail.com", {}};
    Folder team{"google/design-team", {}};
    Folder exchange{"exchange/calendar", {}};
    Folder personal{"fastmail/personal", {}};
    Folder family{"fastmail/family", {}};
    Folder local{"local/calendar", {}};
    Folder birthdayFolder{"birthdays/contacts", birthdays(birthdayCount)};

    googleMain.events = std::move(google);
    fill(googleMain, googleSingles, themes::work(), {0, 10, 75, 10, 5}, UidStyle::google, kMeGoogle,
         "contoso.com");
    // Invited on both work addresses: one meeting, the same UID in the Google and the Exchange
    // calendar, answered on each account separately.
    for (int i = 0; i < twiceInvited; ++i) {
        DemoEvent event = single(themes::work(), randomDay(), Zone::berlin, UidStyle::google);
        event.allDay = false;
        event.zone = event.endZone = zone({0, 10, 70, 20, 0});
        setTimes(event, randomDay(), m_random.between(8 * 4, 17 * 4) * 15, 60);
        event.status = "CONFIRMED";
        event.organizer = person("northwind.example");
        event.attendees = {
            Attendee{*event.organizer, PartStat::accepted}, Attendee{kMeGoogle, PartStat::accepted},
            Attendee{kMeExchange, i % 3 == 1 ? PartStat::declined : PartStat::accepted}};
        googleMain.events.push_back(event);
        exchange.events.push_back(std::move(event));
    }
    fill(exchange, rest * 30 / 100, themes::work(), {0, 15, 60, 20, 5}, UidStyle::exchange,
         kMeExchange, "contoso.com");
    fill(personal, rest * 30 / 100, themes::personal(), {15, 5, 70, 5, 5}, UidStyle::uuid,
         kMeFastmail, "example.net");
    fill(family, rest * 15 / 100, themes::family(), {20, 0, 80, 0, 0}, UidStyle::uuid, kMeFastmail,
         "example.net");
    fill(team, rest * 10 / 100, themes::work(), {0, 10, 80, 10, 0}, UidStyle::google, kMeGoogle,
         "contoso.com");
    const int written = rest * 30 / 100 * 2 + rest * 15 / 100 + rest * 10 / 100;
    fill(local, rest - written, themes::local(), {85, 0, 15, 0, 0}, UidStyle::uuid, kMeFastmail,
         "example.net");
    // The Google calendar subscribed in the CalDAV account: the same files, byte for byte.
    Folder mirror{"fastmail/google-calendar", googleMain.events};

    const std::vector<std::pair<std::string, std::string>> accounts{
        {"fastmail",
         "title = Fastmail\nemails = alex.morgan@fastmail.com, alex.morgan@gmail.com\n"},
        {"google", "title = alex.morgan@gmail.com\nemails = alex.morgan@gmail.com\n"},
        {"exchange", "type = exchange\ntitle = Contoso\nemails = alex.morgan@contoso.com\n"},
        {"birthdays", "type = birthdays\ntitle = Birthdays\n"},
        {"local", "type = local\ntitle = Local\n"},
    };
    struct Meta {
        Folder* folder;
        const char* title;
        const char* color;
        const char* ini;
    };
    const std::vector<Meta> calendars{
        {&personal, "Personal", "#3A87AD", nullptr},
        {&family, "Family", "#F4A236", nullptr},
        {&mirror, "Google Calendar", "#7986CB", "type = subscription\nread-only = true\n"},
        {&googleMain, "alex.morgan@gmail.com", "#039BE5", nullptr},
        {&team, "Design Team", "#33B679", nullptr},
        {&exchange, "Calendar", "#0078D4", nullptr},
        {&birthdayFolder, "Birthdays", "#8E24AA", "type = birthday\nread-only = true\n"},
        {&local, "Home", "#E67C73", nullptr},
    };
    const Date& stamp = m_settings.from;
    for (const auto& [folder, text] : accounts) {
        if (!writeText(std::filesystem::path(folder) / "account.ini", text, summary)) {
            return summary;
        }
    }
    summary.accounts = static_cast<int>(accounts.size());
    for (const Meta& meta : calendars) {
        const std::filesystem::path folder(meta.folder->path);
        bool ok = writeText(folder / "displayname", std::string(meta.title) + "\n", summary) &&
                  writeText(folder / "color", std::string(meta.color) + "\n", summary) &&
                  (meta.ini == nullptr || writeText(folder / "calendar.ini", meta.ini, summary));
        for (const auto& event : meta.folder->events) {
            ok = ok && writeText(folder / (event.uid + ".ics"),
                                 demo::renderCalendar({event}, stamp), summary);
        }
        if (!ok) {
            return summary;
        }
        summary.events += static_cast<int>(meta.folder->events.size());
        summary.files += static_cast<int>(meta.folder->events.size());
    }
    if (!writeText("holidays.ics", demo::renderCalendar(holidayEvents, stamp, "Public holidays"),
                   summary)) {
        return summary;
    }
    summary.events += static_cast<int>(holidayEvents.size());
    summary.files += 1;
    summary.calendars = static_cast<int>(calendars.size()) + 1;
    return summary;
}

} // namespace

Summary write(const Settings& settings) {
    std::error_code error;
    if (std::filesystem::exists(settings.folder, error) &&
        !std::filesystem::is_empty(settings.folder, error)) {
        return Summary{.error = "The folder " + settings.folder.string() +
                                " is not empty; choose a new folder for the demo calendars."};
    }
    if (!Calendar::make("UTC", "en_US") || settings.events < 1 || settings.years < 1) {
        return Summary{.error = "The demo settings are out of range."};
    }
    return Generator(settings).run();
}

std::string summaryLine(const Summary& summary, const std::filesystem::path& folder) {
    return "Wrote " + std::to_string(summary.events) + " events in " +
           std::to_string(summary.files) + " files: " + std::to_string(summary.accounts) +
           " accounts, " + std::to_string(summary.calendars) + " calendars, in " + folder.string() +
           ".";
}

} // namespace plannery::cli::DemoCalendars
