#include "cli/DetailCommand.h"

#include "cli/EventLookup.h"
#include "cli/OpenStore.h"
#include "cli/Output.h"
#include "detail/EventDetailText.h"
#include "model/EventFetcher.h"
#include "platform/AtomicFile.h"
#include "store/CalendarStore.h"
#include "store/EventDetailModel.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace plannery::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 1;

int failed(std::ostream& err, const std::string& sentence) {
    err << "plannery: " << sentence << "\n";
    return kFailed;
}

// "work/cal/a.ics|1772456400", a record id of `plannery agenda --json`: the event identifier and
// the start of the occurrence in whole seconds.
struct RecordID {
    std::string eventIdentifier;
    std::int64_t start = 0;
};

std::optional<RecordID> recordID(const std::string& id) {
    const auto bar = id.rfind('|');
    if (bar == std::string::npos || bar == 0) {
        return std::nullopt;
    }
    std::int64_t start = 0;
    const char* first = id.data() + bar + 1;
    const char* last = id.data() + id.size();
    const auto [end, error] = std::from_chars(first, last, start);
    if (first == last || error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return RecordID{.eventIdentifier = id.substr(0, bar), .start = start};
}

// The event as remove and reply find it, or else the occurrence a record id names.
Found findNamed(const EventStore& store, const std::string& id,
                const std::optional<DateTime>& occurrence, const Calendar& calendar) {
    Found found = findEvent(store, id, occurrence, calendar);
    const auto record = found.event || occurrence ? std::nullopt : recordID(id);
    const auto named = record ? eventID(store, record->eventIdentifier) : Resolved{};
    if (!named.id) {
        return found;
    }
    const Instant start{static_cast<double>(record->start)};
    for (StoreEvent& event : store.events(start.plus(-1), start.plus(2))) {
        if (event.eventIdentifier() == *named.id &&
            event.startDate.wholeSeconds() == record->start) {
            return Found{.event = std::move(event), .problem = {}};
        }
    }
    return found;
}

// The merged record the views show for the occurrence: the event of its day that holds its
// identifier and starts nearest to it (declined ones included), or the occurrence on its own.
CalEvent recordOf(const StoreEvent& occurrence, CalendarStore& store) {
    const Calendar& calendar = store.calendar();
    const Instant day = calendar.startOfDay(occurrence.startDate);
    const Instant next = calendar.addDays(day, 1).value_or(occurrence.startDate.plus(1));
    const FetchOptions options{
        .hiddenCalendarIDs = {}, .showDeclined = true, .mirrors = store.mirrors()};
    const std::string& id = occurrence.eventIdentifier();
    std::optional<CalEvent> nearest;
    double distance = std::numeric_limits<double>::infinity();
    for (CalEvent& event : EventFetcher::fetch(store.eventStore(), day, next, options, calendar)) {
        const bool holds = event.eventIdentifier == id ||
                           std::find(event.duplicateIDs.begin(), event.duplicateIDs.end(), id) !=
                               event.duplicateIDs.end();
        const double away = std::abs(event.start.since(occurrence.startDate));
        if (holds && away < distance) {
            distance = away;
            nearest = std::move(event);
        }
    }
    return nearest ? std::move(*nearest) : CalEvent::from(occurrence);
}

using Show = std::function<int(const EventDetailModel& model, const Calendar& calendar)>;

// Opens the calendars, finds the named event and loads its detail as the sheet does, mirror
// groups included; `show` gets the loaded model.
int withDetail(const std::vector<fs::path>& roots, const std::optional<std::string>& zone,
               const std::vector<std::string>& emails, const std::string& eventID,
               const std::optional<DateTime>& occurrence, std::ostream& err, const Show& show) {
    int argc = 1;
    char name[] = "plannery";
    char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        app.emplace(argc, argv);
    }
    const Calendar calendar = Calendar::currentIn(zone);
    auto events = openStore(roots, calendar, false, err, emails);
    if (!events) {
        return kFailed;
    }
    const Instant now = Instant::now();
    // The app keeps the groups its scans found; the command takes those the index remembers.
    CalendarMirrors mirrors = mirrorGroups(*events, now, calendar);
    CalendarStore store(CalendarStore::Services{.eventStore = std::move(events),
                                                .scanHandle = {},
                                                .calendar = [calendar] { return calendar; },
                                                .now = [now] { return now; }});
    store.setMirrors(std::move(mirrors));
    const Found found = findNamed(store.eventStore(), eventID, occurrence, calendar);
    if (!found.event) {
        return failed(err, found.problem);
    }
    // Share files of this run stay out of the app's folder, which its own first model clears.
    const QTemporaryDir temporary;
    if (!temporary.isValid()) {
        return failed(err, "No temporary folder could be made (" +
                               temporary.errorString().toStdString() + ").");
    }
    EventDetailModel model(fs::path(temporary.path().toStdString()));
    model.load(store, recordOf(*found.event, store));
    if (!model.info()) {
        return failed(err, "The event \"" + eventID + "\" could not be read.");
    }
    return show(model, calendar);
}

// Every line of a text that may span several, indented.
void indented(std::ostream& out, const std::string& text, const std::string& indent) {
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        out << indent << text.substr(begin, end - begin) << "\n";
        begin = end + 1;
    }
}

void detailText(std::ostream& out, const EventDetailInfo& info,
                const std::optional<std::string>& googleURL) {
    using namespace EventDetailText;
    if (info.isCanceled) {
        out << "Canceled\n";
    }
    indented(out, info.title, "");
    out << info.dateLine << "\n" << info.timeLine << "\n";
    if (info.location) {
        out << *info.location << " <" << info.locationURL.value_or("") << ">\n";
    }
    for (const auto& line : {info.recurrence, info.timeZoneNote}) {
        if (line) {
            out << *line << "\n";
        }
    }

    out << "\n" << calendarsHeader(info.calendars.size()) << "\n";
    for (const auto& item : info.calendars) {
        out << "  " << item.title << (item.account.empty() ? "" : " \u00B7 " + item.account);
        if (const auto reply = calendarReply(info, item)) {
            out << "  [" << EventDetailText::reply(*reply) << "]";
        }
        out << (item.allowsEdits ? "" : "  [Read-only]") << "\n";
        if (const std::string via = alsoVia(item); !via.empty()) {
            out << "    " << via << "\n";
        }
    }
    if (info.onGoogle && googleURL) {
        out << "  Open in Google Calendar <" << *googleURL << ">\n";
    }
    if (info.calendars.size() >= 2) {
        out << "  " << kSeveralCalendarsFooter << "\n";
    }

    if (!info.invitations.empty()) {
        out << "\nYour response\n";
        for (const auto& invitation : info.invitations) {
            out << "  " << EventDetailText::reply(invitation.reply);
            if (info.invitations.size() > 1) {
                out << " \u00B7 on " << invitation.calendar;
            }
            out << "\n";
        }
    }
    if (info.organizer || !info.attendees.empty()) {
        const PeopleHeader header = peopleHeader(info.attendees);
        out << "\n" << header.invitees << header.replies << "\n";
        if (info.organizer) {
            out << "  " << personName(*info.organizer) << "\n    "
                << personDetail(*info.organizer, "Organizer") << "\n";
        }
        for (const auto& person : info.attendees) {
            out << "  " << personName(person) << "\n    " << personDetail(person, std::nullopt)
                << "\n";
        }
    }
    if (info.url) {
        out << "\nLink\n  " << *info.url << "\n";
    }
    if (!info.alerts.empty()) {
        out << "\n" << (info.alerts.size() == 1 ? "Alert" : "Alerts") << "\n";
        for (const auto& alert : info.alerts) {
            out << "  " << alert << "\n";
        }
    }
    if (info.notes) {
        out << "\nNotes\n";
        indented(out, *info.notes, "  ");
    }
}

std::string_view replyName(Reply reply) {
    switch (reply) {
    case Reply::accepted:
        return "accepted";
    case Reply::tentative:
        return "tentative";
    case Reply::declined:
        return "declined";
    case Reply::pending:
        return "pending";
    case Reply::other:
        return "other";
    }
    return "other";
}

std::string flag(bool value) {
    return value ? "true" : "false";
}

std::string number(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, std::isfinite(value) ? value : 0);
    return std::string(text, result.ptr);
}

// ,"key":"text" for a present text, nothing for an absent one.
std::string optionalText(std::string_view key, const std::optional<std::string>& text) {
    return text ? ",\"" + std::string(key) + "\":" + Output::jsonString(*text) : std::string();
}

std::string texts(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += (i == 0 ? "" : ",") + Output::jsonString(items[i]);
    }
    return out + "]";
}

std::string personJson(const EventDetailInfo::Person& person) {
    return "{\"id\":" + Output::jsonString(person.id) +
           ",\"name\":" + Output::jsonString(person.name) + optionalText("email", person.email) +
           ",\"reply\":\"" + std::string(replyName(person.reply)) +
           "\",\"isMe\":" + flag(person.isMe) + ",\"isOptional\":" + flag(person.isOptional) +
           ",\"isRoom\":" + flag(person.isRoom) + "}";
}

void detailJson(std::ostream& out, const EventDetailModel& model, const Calendar& calendar) {
    const EventDetailInfo& info = *model.info();
    std::string json = "{\"title\":" + Output::jsonString(info.title) +
                       ",\"isCanceled\":" + flag(info.isCanceled) +
                       optionalText("location", info.location) +
                       optionalText("locationURL", info.locationURL) +
                       ",\"locationIsLink\":" + flag(info.locationIsLink) +
                       ",\"dateLine\":" + Output::jsonString(info.dateLine) +
                       ",\"timeLine\":" + Output::jsonString(info.timeLine) +
                       optionalText("recurrence", info.recurrence) +
                       optionalText("timeZoneNote", info.timeZoneNote) + ",\"calendars\":[";
    for (std::size_t i = 0; i < info.calendars.size(); ++i) {
        const auto& item = info.calendars[i];
        json += (i == 0 ? "{\"id\":" : ",{\"id\":") + Output::jsonString(item.id) +
                ",\"title\":" + Output::jsonString(item.title) +
                ",\"account\":" + Output::jsonString(item.account) +
                ",\"rgb\":{\"r\":" + number(item.rgb.r) + ",\"g\":" + number(item.rgb.g) +
                ",\"b\":" + number(item.rgb.b) + "},\"allowsEdits\":" + flag(item.allowsEdits) +
                ",\"copy\":" + std::to_string(item.copy) + ",\"alsoVia\":" + texts(item.alsoVia) +
                "}";
    }
    json += "],\"invitations\":[";
    for (std::size_t i = 0; i < info.invitations.size(); ++i) {
        const auto& invitation = info.invitations[i];
        json += (i == 0 ? "{\"copy\":" : ",{\"copy\":") + std::to_string(invitation.copy) +
                ",\"calendar\":" + Output::jsonString(invitation.calendar) + ",\"reply\":\"" +
                std::string(replyName(invitation.reply)) + "\"}";
    }
    json += "]";
    if (info.organizer) {
        json += ",\"organizer\":" + personJson(*info.organizer);
    }
    json += ",\"attendees\":[";
    for (std::size_t i = 0; i < info.attendees.size(); ++i) {
        json += (i == 0 ? "" : ",") + personJson(info.attendees[i]);
    }
    json += "]" + optionalText("url", info.url) + optionalText("notes", info.notes) +
            ",\"alerts\":" + texts(info.alerts) + ",\"editableCopies\":[";
    for (std::size_t i = 0; i < info.editableCopies.size(); ++i) {
        json += (i == 0 ? "" : ",") + std::to_string(info.editableCopies[i]);
    }
    const IcsEvent& share = info.share;
    json += "],\"share\":{\"uid\":" + Output::jsonString(share.uid) +
            ",\"title\":" + Output::jsonString(share.title) + ",\"start\":\"" +
            Output::isoDateTime(share.start, calendar) + "\",\"end\":\"" +
            Output::isoDateTime(share.end, calendar) + "\",\"isAllDay\":" + flag(share.isAllDay) +
            optionalText("location", share.location) + optionalText("notes", share.notes) +
            optionalText("url", share.url);
    if (share.occurrence) {
        json += ",\"occurrence\":\"" + Output::isoDateTime(*share.occurrence, calendar) + "\"";
    }
    json += "},\"onGoogle\":" + flag(info.onGoogle) +
            optionalText("googleURL", info.onGoogle ? model.googleCalendarURL() : std::nullopt) +
            ",\"copies\":[";
    for (std::size_t i = 0; i < model.copies().size(); ++i) {
        json += (i == 0 ? "" : ",") + Output::jsonString(model.copies()[i].eventIdentifier());
    }
    out << json << "]}\n";
}

} // namespace

int runDetail(const DetailOptions& options, std::ostream& out, std::ostream& err) {
    return withDetail(
        options.roots, options.zone, options.emails, options.eventID, options.occurrence, err,
        [&](const EventDetailModel& model, const Calendar& calendar) {
            if (options.format == Format::json) {
                detailJson(out, model, calendar);
            } else {
                detailText(out, *model.info(),
                           model.info()->onGoogle ? model.googleCalendarURL() : std::nullopt);
            }
            return 0;
        });
}

int runExport(const ExportOptions& options, std::ostream& out, std::ostream& err) {
    const std::string quoted = "\u201C" + options.out.string() + "\u201D";
    return withDetail(
        options.roots, options.zone, options.emails, options.eventID, options.occurrence, err,
        [&](const EventDetailModel& model, const Calendar& calendar) {
            std::error_code error;
            // A file the user already has is never replaced by an export.
            if (fs::exists(fs::symlink_status(options.out, error))) {
                return failed(err, "The file " + quoted + " already exists; nothing was written.");
            }
            const fs::path folder = fs::absolute(options.out, error).parent_path();
            if (error || !fs::is_directory(folder, error)) {
                return failed(err, "The folder for " + quoted + " does not exist.");
            }
            const auto written = vdir::writeFile(
                options.out, Ics::calendar(model.info()->share, Instant::now(), calendar),
                std::nullopt);
            if (written.error) {
                return failed(err, *written.error);
            }
            out << options.out.string() << "\n";
            return 0;
        });
}

} // namespace plannery::cli
