#include "platform/IcsEditDocument.h"

#include "platform/IcsProperties.h"
#include "platform/IcsZones.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace plannery::ics::edit {

namespace {

constexpr const char* kUnreadableLines =
    "The event's file has lines this program cannot read; it was left unchanged so that "
    "nothing in it is lost.";

std::int64_t roundedSeconds(Instant t) {
    return std::llround(t.seconds);
}

// Parse errors the parser wrote into the tree, counted per component tree.
void collectErrors(icalcomponent* component,
                   std::vector<std::pair<icalcomponent*, icalproperty*>>& errors) {
    for (auto* property = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
         property; property = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        errors.emplace_back(component, property);
    }
    for (auto* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
         child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        collectErrors(child, errors);
    }
}

std::size_t countInText(std::string_view text, std::string_view what) {
    std::size_t count = 0;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        if (text.size() - lineStart >= what.size() &&
            strncasecmp(text.data() + lineStart, what.data(), what.size()) == 0) {
            ++count;
        }
        const auto end = text.find('\n', lineStart);
        if (end == std::string_view::npos) {
            break;
        }
        lineStart = end + 1;
    }
    return count;
}

// The parser replaces a property it cannot read by an error note. An empty value, or a property
// newer than the parser, is written back as it was (see rewrite); a value the parser misreads
// could be doubled by an edit that writes the property anew.
bool dropHarmlessErrors(icalcomponent* root, std::size_t errorsInText) {
    std::vector<std::pair<icalcomponent*, icalproperty*>> errors;
    collectErrors(root, errors);
    std::size_t kept = 0;
    for (auto [component, property] : errors) {
        const char* text = icalproperty_get_xlicerror(property);
        if (text && (std::strstr(text, "No value for") == text ||
                     std::strstr(text, "Parse error in property name") == text)) {
            icalcomponent_remove_property(component, property);
            icalproperty_free(property);
        } else {
            ++kept;
        }
    }
    return kept <= errorsInText;
}

std::string uidOf(icalcomponent* event) {
    auto* property = icalcomponent_get_first_property(event, ICAL_UID_PROPERTY);
    const char* uid =
        property && icalproperty_get_value(property) ? icalproperty_get_uid(property) : nullptr;
    return uid ? uid : "";
}

icaltimetype timeValue(icalproperty* time) {
    icalvalue* value = time ? icalproperty_get_value(time) : nullptr;
    if (!value) {
        return icaltime_null_time();
    }
    switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE:
        return icalvalue_get_date(value);
    case ICAL_DATETIME_VALUE:
        return icalvalue_get_datetime(value);
    case ICAL_PERIOD_VALUE:
        return icalvalue_get_period(value).start;
    case ICAL_DATETIMEPERIOD_VALUE: {
        const auto both = icalvalue_get_datetimeperiod(value);
        return icaltime_is_null_time(both.time) ? both.period.start : both.time;
    }
    default:
        return icaltime_null_time();
    }
}

const char* tzidOf(icalcomponent* vtimezone) {
    auto* property = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
    return property && icalproperty_get_value(property) ? icalproperty_get_tzid(property) : nullptr;
}

// The lines of a text as the parser is given them: unfolded, CRLF line ends, rules keeping
// their text as written.
void prepareLines(const lines::Node& node, std::string& into) {
    for (const auto& child : node.children) {
        if (child.isComponent) {
            into += "BEGIN:" + child.text + "\r\n";
            prepareLines(child, into);
            into += "END:" + child.text + "\r\n";
        } else {
            into += splice::forParser(child.text) + "\r\n";
        }
    }
}

} // namespace

Opened open(std::string_view text, std::string_view uid, const Calendar& calendar) {
    prepareLibical();
    // The parser reads up to the first NUL: what follows would be lost.
    if (text.find('\0') != std::string_view::npos) {
        return Opened{.error = kNotCalendar};
    }
    ReadResult read = ics::read(text);
    // A file with nothing but events that cannot be used (one cut off, say) is damaged.
    if (read.unreadable || (read.series.empty() && read.skippedComponents > 0)) {
        return Opened{.error = kNotCalendar};
    }
    auto series = std::find_if(read.series.begin(), read.series.end(),
                               [&](const Series& s) { return s.uid == uid; });
    if (series == read.series.end()) {
        return Opened{.error = kNoEvent};
    }
    const auto written = lines::parse(text);
    if (!written) {
        return Opened{.error = kNotCalendar};
    }
    std::string prepared;
    prepareLines(*written, prepared);
    ComponentPtr root(icalparser_parse_string(prepared.c_str()));
    icalerror_clear_errno();
    if (!root) {
        return Opened{.error = kNotCalendar};
    }
    Document document;
    document.calendar = &calendar;
    document.series = std::move(*series);
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        document.calendars.push_back(root.get());
    } else if (icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (auto* child = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             child;
             child = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            document.calendars.push_back(child);
        }
    }
    if (document.calendars.empty()) {
        return Opened{.error = kNotCalendar};
    }
    if (!dropHarmlessErrors(root.get(), countInText(text, "X-LIC-ERROR"))) {
        return Opened{.error = kUnreadableLines};
    }
    auto base = splice::align(text, serialise(root.get()));
    if (!base) {
        return Opened{.error = kUnreadableLines};
    }
    document.base = std::move(*base);
    // The reader shows the latest revision of a doubled master or override; edits go to the
    // same one, and older masters stay in the file unless the whole event is removed.
    for (auto* vcalendar : document.calendars) {
        for (auto* event = icalcomponent_get_first_component(vcalendar, ICAL_VEVENT_COMPONENT);
             event; event = icalcomponent_get_next_component(vcalendar, ICAL_VEVENT_COMPONENT)) {
            if (uidOf(event) != uid) {
                continue;
            }
            if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
                document.overrides.push_back(event);
            } else if (!document.master) {
                document.master = event;
            } else if (revisionOf(document.master) < revisionOf(event)) {
                document.supersededMasters.push_back(document.master);
                document.master = event;
            } else {
                document.supersededMasters.push_back(event);
            }
        }
    }
    std::stable_sort(
        document.overrides.begin(), document.overrides.end(),
        [](icalcomponent* a, icalcomponent* b) { return revisionOf(b) < revisionOf(a); });
    if (!document.master && document.overrides.empty()) {
        return Opened{.error = kNoEvent};
    }
    document.root = std::move(root);
    return Opened{.document = std::move(document)};
}

std::string serialise(icalcomponent* root) {
    auto one = [](icalcomponent* component) {
        char* text = icalcomponent_as_ical_string_r(component);
        std::string result = text ? text : "";
        icalmemory_free_buffer(text);
        return result;
    };
    if (icalcomponent_isa(root) != ICAL_XROOT_COMPONENT) {
        return one(root);
    }
    std::string result;
    for (auto* child = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); child;
         child = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        result += one(child);
    }
    return result;
}

std::optional<std::string> rewrite(const Document& document, icalcomponent* root,
                                   const splice::Options& options) {
    return splice::apply(document.base, serialise(root), options);
}

Frame frameOf(icalproperty* time) {
    Frame frame;
    const icaltimetype value = timeValue(time);
    frame.isDate = value.is_date != 0;
    if (frame.isDate) {
        return frame;
    }
    if (icaltime_is_utc(value)) {
        frame.zone.kind = ZoneRef::Kind::utc;
        return frame;
    }
    if (auto* parameter = icalproperty_get_first_parameter(time, ICAL_TZID_PARAMETER)) {
        if (const char* tzid = icalparameter_get_tzid(parameter); tzid && *tzid) {
            frame.tzid = tzid;
            // A TZID neither ICU nor the file can place floats, as the reader reads it.
            frame.zone =
                ZoneRef{.kind = ZoneRef::Kind::named, .id = icuZoneFor(tzid).value_or(tzid)};
        }
    }
    return frame;
}

Frame startFrame(icalcomponent* event) {
    return frameOf(icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY));
}

std::optional<Instant> instantIn(const Frame& frame, const WallTime& wall,
                                 const Document& document) {
    const ZoneConverter zone(frame.isDate ? ZoneRef{} : frame.zone, document.series.timeZones,
                             *document.calendar);
    return zone.toInstant(wall);
}

WallTime wallIn(const Frame& frame, Instant t, const Document& document) {
    const ZoneConverter zone(frame.isDate ? ZoneRef{} : frame.zone, document.series.timeZones,
                             *document.calendar);
    WallTime wall = zone.toWall(t);
    if (frame.isDate) {
        wall = WallTime{.year = wall.year, .month = wall.month, .day = wall.day, .isDate = true};
    }
    return wall;
}

std::optional<WallTime> wallOf(icalproperty* time) {
    const icaltimetype value = timeValue(time);
    if (icaltime_is_null_time(value)) {
        return std::nullopt;
    }
    const WallTime wall = wallFromIcal(value);
    return isValidWall(wall) ? std::optional(wall) : std::nullopt;
}

std::optional<Instant> instantOf(icalproperty* time, const Document& document) {
    const auto wall = wallOf(time);
    return wall ? instantIn(frameOf(time), *wall, document) : std::nullopt;
}

icaltimetype utcTime(Instant t) {
    icaltimetype time =
        toIcal(wallFromSeconds(std::int64_t(std::floor(t.seconds)), /*isDate=*/false));
    time.zone = icaltimezone_get_utc_timezone();
    return time;
}

std::string untilText(const icaltimetype& time) {
    char* text = icaltime_as_ical_string_r(time);
    std::string result = text ? text : "";
    icalmemory_free_buffer(text);
    return result;
}

void writeTime(icalproperty* time, const Frame& frame, const WallTime& wall) {
    // Made from its text: the parser's constructors refuse years after 3000, its reader does not.
    char text[32];
    if (frame.isDate) {
        std::snprintf(text, sizeof text, "%04d%02d%02d", wall.year, wall.month, wall.day);
    } else {
        std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d%s", wall.year, wall.month,
                      wall.day, wall.hour, wall.minute, wall.second,
                      frame.zone.kind == ZoneRef::Kind::utc ? "Z" : "");
    }
    icalproperty_set_value(time, icalvalue_new_from_string(
                                     frame.isDate ? ICAL_DATE_VALUE : ICAL_DATETIME_VALUE, text));
    icalerror_clear_errno();
    icalproperty_remove_parameter_by_kind(time, ICAL_TZID_PARAMETER);
    icalproperty_remove_parameter_by_kind(time, ICAL_VALUE_PARAMETER);
    if (frame.isDate) {
        icalproperty_add_parameter(time, icalparameter_new_value(ICAL_VALUE_DATE));
    } else if (frame.tzid && frame.zone.kind == ZoneRef::Kind::named) {
        icalproperty_add_parameter(time, icalparameter_new_tzid(frame.tzid->c_str()));
    }
}

Frame frameFor(const std::vector<icalcomponent*>& calendars, icalcomponent* into,
               const EventContent& content, Instant start) {
    if (content.isAllDay) {
        return Frame{.isDate = true};
    }
    if (!content.timeZone || content.timeZone->empty()) {
        return Frame{};
    }
    const Frame utc{.zone = ZoneRef{.kind = ZoneRef::Kind::utc, .id = {}}};
    const std::string& id = *content.timeZone;
    if (id == "UTC" || !Calendar::isKnownZone(id)) {
        return utc;
    }
    const Frame named{.zone = ZoneRef{.kind = ZoneRef::Kind::named, .id = id}, .tzid = id};
    for (auto* vcalendar : calendars) {
        for (auto* zone = icalcomponent_get_first_component(vcalendar, ICAL_VTIMEZONE_COMPONENT);
             zone; zone = icalcomponent_get_next_component(vcalendar, ICAL_VTIMEZONE_COMPONENT)) {
            const char* tzid = tzidOf(zone);
            if (tzid && (id == tzid || icuZoneFor(tzid) == id)) {
                Frame reused = named;
                reused.tzid = tzid;
                return reused;
            }
        }
    }
    icaltimezone* builtin = icaltimezone_get_builtin_timezone(id.c_str());
    icalcomponent* definition = builtin ? icaltimezone_get_component(builtin) : nullptr;
    if (!definition) {
        return utc;
    }
    icalcomponent* copy = icalcomponent_new_clone(definition);
    if (auto* tzid = icalcomponent_get_first_property(copy, ICAL_TZID_PROPERTY)) {
        icalproperty_set_tzid(tzid, id.c_str());
    }
    // The zone's history before the event is of no use to anyone reading the file.
    icaltimetype from = utcTime(start);
    from = toIcal(WallTime{.year = from.year - 1});
    from.zone = icaltimezone_get_utc_timezone();
    icaltimezone_truncate_vtimezone(copy, from, icaltime_null_time(), 0);
    icalcomponent_add_component(into, copy);
    return named;
}

bool repeats(const Document& document) {
    return document.master &&
           (icalcomponent_get_first_property(document.master, ICAL_RRULE_PROPERTY) ||
            icalcomponent_get_first_property(document.master, ICAL_RDATE_PROPERTY));
}

icalcomponent* overrideFor(const Document& document, Instant occurrence) {
    for (auto* event : document.overrides) {
        auto id = instantOf(icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY),
                            document);
        if (id && roundedSeconds(*id) == roundedSeconds(occurrence)) {
            return event;
        }
    }
    return nullptr;
}

std::optional<Occurrence> occurrenceAt(const Document& document, Instant occurrence) {
    if (!std::isfinite(occurrence.seconds)) {
        return std::nullopt;
    }
    const auto& series = document.series;
    // An override keeps its occurrence wherever it was moved to.
    for (std::size_t i = 0; i < series.components.size(); ++i) {
        const auto& id = series.components[i].recurrenceId;
        if (!id) {
            continue;
        }
        const auto original = ics::instantOf(*id, series.timeZones, *document.calendar);
        const auto start =
            ics::instantOf(series.components[i].start, series.timeZones, *document.calendar);
        if (original && start && roundedSeconds(*original) == roundedSeconds(occurrence)) {
            auto found = expand(series, *start, start->plus(1), *document.calendar);
            for (const auto& o : found) {
                if (o.component == i) {
                    return o;
                }
            }
        }
    }
    // The master's occurrence, or one that an override changes onward: that one lies as far
    // from its rule start as the override moved its own.
    double reach = 1;
    for (const auto& component : series.components) {
        if (!component.thisAndFuture || !component.recurrenceId) {
            continue;
        }
        const auto original =
            ics::instantOf(*component.recurrenceId, series.timeZones, *document.calendar);
        const auto start = ics::instantOf(component.start, series.timeZones, *document.calendar);
        if (original && start) {
            reach = std::max(reach, std::abs(start->since(*original)) + 2 * ics::kDaySeconds);
        }
    }
    for (const auto& o :
         expand(series, occurrence.plus(-reach), occurrence.plus(reach), *document.calendar)) {
        if (o.occurrenceDate && roundedSeconds(*o.occurrenceDate) == roundedSeconds(occurrence) &&
            !(o.detached && !series.components[o.component].thisAndFuture)) {
            return o;
        }
    }
    return std::nullopt;
}

std::optional<Instant> firstStart(const Document& document) {
    if (!document.master) {
        return std::nullopt;
    }
    return instantOf(icalcomponent_get_first_property(document.master, ICAL_DTSTART_PROPERTY),
                     document);
}

icalcomponent* makeOverride(Document& document, const Occurrence& occurrence) {
    // An occurrence that an override changes onward starts from that override's properties.
    icalcomponent* source = document.master;
    if (occurrence.component < document.series.components.size()) {
        const auto& component = document.series.components[occurrence.component];
        const auto original = component.recurrenceId
                                  ? ics::instantOf(*component.recurrenceId,
                                                   document.series.timeZones, *document.calendar)
                                  : std::nullopt;
        if (component.thisAndFuture && original) {
            if (auto* onward = overrideFor(document, *original)) {
                source = onward;
            }
        }
    }
    icalcomponent* copy = icalcomponent_new_clone(source);
    for (auto kind : {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY,
                      ICAL_EXRULE_PROPERTY, ICAL_RECURRENCEID_PROPERTY}) {
        removeAll(copy, kind);
    }
    const Instant original = occurrence.occurrenceDate.value_or(occurrence.start);
    const Frame frame = startFrame(copy);
    auto* recurrenceId = icalproperty_new_recurrenceid(icaltime_null_time());
    writeTime(recurrenceId, frame, wallIn(frame, original, document));
    icalcomponent_add_property(copy, recurrenceId);
    if (auto* start = icalcomponent_get_first_property(copy, ICAL_DTSTART_PROPERTY)) {
        writeTime(start, frame, wallIn(frame, occurrence.start, document));
    }
    if (auto* end = icalcomponent_get_first_property(copy, ICAL_DTEND_PROPERTY)) {
        const Frame endFrame = frameOf(end);
        writeTime(end, endFrame, wallIn(endFrame, occurrence.end, document));
    }
    icalcomponent_add_component(icalcomponent_get_parent(document.master), copy);
    document.overrides.push_back(copy);
    return copy;
}

void removeAll(icalcomponent* component, icalproperty_kind kind) {
    while (auto* property = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

void setStamps(icalcomponent* event, Instant now, bool lastModified) {
    const icaltimetype time = utcTime(now);
    icalcomponent_set_dtstamp(event, time);
    if (!lastModified) {
        return;
    }
    if (auto* property = icalcomponent_get_first_property(event, ICAL_LASTMODIFIED_PROPERTY)) {
        icalproperty_set_lastmodified(property, time);
    } else {
        icalcomponent_add_property(event, icalproperty_new_lastmodified(time));
    }
}

void bumpSequence(icalcomponent* event) {
    auto* property = icalcomponent_get_first_property(event, ICAL_SEQUENCE_PROPERTY);
    if (property && icalproperty_get_value(property)) {
        icalproperty_set_sequence(property, std::max(0, icalproperty_get_sequence(property)) + 1);
        return;
    }
    removeAll(event, ICAL_SEQUENCE_PROPERTY);
    icalcomponent_add_property(event, icalproperty_new_sequence(1));
}

} // namespace plannery::ics::edit
