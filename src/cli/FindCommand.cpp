#include "cli/FindCommand.h"

#include "cli/EventLookup.h"
#include "cli/OpenStore.h"
#include "cli/Output.h"
#include "finder/DraftJson.h"
#include "model/EventDays.h"
#include "platform/ImageFiles.h"
#include "platform/ImagingModule.h"
#include "store/FinderSettings.h"
#include "store/ImageEventsSaving.h"

#include <QCoreApplication>

#include <algorithm>
#include <fstream>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>

namespace plannery::cli {

namespace {

constexpr int kFailed = 1;

int failed(std::ostream& err, const std::string& sentence) {
    err << "plannery: " << sentence << "\n";
    return kFailed;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

// The text to search: the text file's, then each picture's, a blank line apart; or a sentence.
struct Gathered {
    std::string text{};
    std::optional<std::string> problem{};
};

Gathered gather(const FindOptions& options, const Calendar& calendar, std::istream& in) {
    std::vector<std::string> parts;
    if (options.textFile) {
        std::ostringstream text;
        if (*options.textFile == "-") {
            text << in.rdbuf();
        } else {
            std::ifstream file(*options.textFile, std::ios::binary);
            if (!file) {
                return Gathered{.problem =
                                    "The text file " + *options.textFile + " can't be opened."};
            }
            text << file.rdbuf();
        }
        parts.push_back(text.str());
    }
    if (!options.images.empty()) {
        const auto recognizer =
            ImagingModule::recognizer(ImagingModule::languagesFor(calendar.localeId()));
        for (const auto& path : options.images) {
            const ImageResult image = ImageFiles::decode(QString::fromStdString(path.string()));
            if (!image.decoded) {
                return Gathered{.problem = path.string() + ": " + image.problem};
            }
            const RecognizedText read =
                recognizer->text(image.decoded->image, image.decoded->orientation, {});
            if (read.error) {
                return Gathered{.problem = path.string() + ": " + *read.error};
            }
            parts.push_back(read.text);
        }
    }
    Gathered gathered;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        gathered.text += (i == 0 ? "" : "\n\n") + parts[i];
    }
    if (options.textFile == std::nullopt && blank(gathered.text)) {
        gathered.problem = std::string(EventFinder::kNoTextInImage);
    }
    return gathered;
}

CalEvent agendaRecord(const EventSuggestion& suggestion) {
    return CalEvent{.id = suggestion.id,
                    .title = suggestion.title,
                    .location = suggestion.location,
                    .start = suggestion.start,
                    .end = suggestion.end,
                    .isAllDay = suggestion.isAllDay};
}

// Adds every suggestion to the calendar the options name; the identifiers of the saved events,
// or a sentence.
std::variant<std::vector<std::string>, std::string>
addAll(const FindOptions& options, const std::vector<EventSuggestion>& suggestions,
       const Calendar& calendar, std::ostream& err) {
    const auto store = openStore(options.roots, calendar, false, err);
    if (!store || store->authorizationStatus() != AuthorizationStatus::fullAccess) {
        return std::string("There are no calendars to add the events to.");
    }
    const auto calendars = store->calendars();
    const Resolved named = calendarID(calendars, options.calendar);
    const auto target = std::find_if(calendars.begin(), calendars.end(), [&](const auto& c) {
        return c->calendarIdentifier == named.id;
    });
    if (target == calendars.end()) {
        return named.problem;
    }
    if (!(*target)->allowsContentModifications) {
        return "The calendar " + (*target)->title + " takes no new events.";
    }
    std::vector<std::string> added;
    for (const EventSuggestion& suggestion : suggestions) {
        const WriteResult saved = store->save(
            ImageEventsSaving::event(suggestion, *target, calendar.zoneId()), Span::thisEvent);
        if (!saved.ok()) {
            return *saved.error;
        }
        added.push_back(saved.eventIdentifier);
    }
    return added;
}

} // namespace

int runFind(const FindOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
    // Picture readers and the network need Qt's application object.
    int argc = 1;
    char name[] = "plannery";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const Calendar calendar = Calendar::currentIn(options.zone);
    const auto now = options.now ? instantOf(*options.now, calendar) : Instant::now();
    if (!now) {
        return failed(err, "The --now time cannot be placed in the time zone.");
    }
    const Gathered gathered = gather(options, calendar, in);
    if (gathered.problem) {
        return failed(err, *gathered.problem);
    }
    LocalModelSettings server;
    if (options.url) {
        server.url = *options.url;
    }
    const auto engine = FinderSettings::makeEngine(options.engine, server);
    const FinderStatus status = engine->status();
    if (!status.available) {
        return failed(err, status.message);
    }
    const EventFinder::Result found = engine->events(gathered.text, *now, calendar, {});
    if (found.failure) {
        return failed(err, found.failure->message);
    }
    const auto suggestions =
        EventSuggestion::suggestions(found.drafts, *now, calendar, gathered.text);
    std::vector<std::string> added;
    if (options.add) {
        auto result = addAll(options, suggestions, calendar, err);
        if (auto* problem = std::get_if<std::string>(&result)) {
            return failed(err, *problem);
        }
        added = std::get<std::vector<std::string>>(std::move(result));
    }
    if (options.format == Format::json) {
        out << findJson(gathered.text, found.drafts, suggestions, added, calendar);
        return 0;
    }
    // Only the days the suggestions fall on are listed.
    std::vector<CalEvent> records;
    std::vector<Instant> days;
    for (const EventSuggestion& suggestion : suggestions) {
        records.push_back(agendaRecord(suggestion));
        const std::vector<Instant> covered = records.back().days(calendar);
        days.insert(days.end(), covered.begin(), covered.end());
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    if (days.empty()) {
        out << "No events found.\n";
    }
    Output::agendaText(out, EventDays(std::move(records), std::move(days), calendar), calendar);
    for (const std::string& id : added) {
        out << "added " << id << "\n";
    }
    return 0;
}

std::string findJson(const std::string& text, const std::vector<EventDraft>& drafts,
                     const std::vector<EventSuggestion>& suggestions,
                     const std::vector<std::string>& added, const Calendar& calendar) {
    using Output::jsonString;
    std::string json = "{\"text\":" + jsonString(text) +
                       ",\n\"drafts\":" + DraftJson::write(drafts) + ",\n\"suggestions\":[";
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        const EventSuggestion& s = suggestions[i];
        json += (i == 0 ? "\n" : ",\n");
        json += "{\"id\":" + jsonString(s.id) + ",\"title\":" + jsonString(s.title) +
                ",\"start\":" + jsonString(Output::isoDateTime(s.start, calendar)) +
                ",\"end\":" + jsonString(Output::isoDateTime(s.end, calendar)) +
                ",\"isAllDay\":" + (s.isAllDay ? "true" : "false");
        const std::pair<const char*, const std::optional<std::string>*> optionals[] = {
            {"timeZone", &s.timeZone}, {"location", &s.location}, {"notes", &s.notes}};
        for (const auto& [key, value] : optionals) {
            if (*value) {
                json += ",\"" + std::string(key) + "\":" + jsonString(**value);
            }
        }
        json += "}";
    }
    json += "]";
    if (!added.empty()) {
        json += ",\n\"added\":[";
        for (std::size_t i = 0; i < added.size(); ++i) {
            json += (i == 0 ? "" : ",") + jsonString(added[i]);
        }
        json += "]";
    }
    return json + "}\n";
}

} // namespace plannery::cli
