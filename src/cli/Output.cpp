#include "cli/Output.h"

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>

namespace plannery::cli::Output {

namespace {

// Length of the valid UTF-8 sequence at the start of `text`, 0 when it is not one (overlong
// forms, surrogates and code points past U+10FFFF included).
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Day headings and clock times through ICU, in the calendar's zone and locale.
class DateText {
  public:
    explicit DateText(const Calendar& calendar) {
        const icu::Locale locale(calendar.localeId().c_str());
        m_day = formatter(locale, u"yMMMMEEEEd", calendar.zoneId());
        m_time = formatter(locale, u"Hm", calendar.zoneId());
    }

    std::string day(Instant t) const { return format(m_day.get(), t); }
    std::string time(Instant t) const { return format(m_time.get(), t); }

  private:
    static std::unique_ptr<icu::SimpleDateFormat>
    formatter(const icu::Locale& locale, const char16_t* skeleton, const std::string& zone) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::DateTimePatternGenerator> generator(
            icu::DateTimePatternGenerator::createInstance(locale, status));
        if (U_FAILURE(status)) {
            return nullptr;
        }
        const icu::UnicodeString pattern = generator->getBestPattern(skeleton, status);
        auto result = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
        if (U_FAILURE(status)) {
            return nullptr;
        }
        result->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)));
        return result;
    }

    static std::string format(const icu::SimpleDateFormat* formatter, Instant t) {
        if (formatter == nullptr) {
            return {};
        }
        icu::UnicodeString text;
        formatter->format(t.seconds * 1000.0, text);
        std::string out;
        text.toUTF8String(out);
        return out;
    }

    std::unique_ptr<icu::SimpleDateFormat> m_day;
    std::unique_ptr<icu::SimpleDateFormat> m_time;
};

std::string timeRange(const CalEvent& event, Instant day, const Calendar& calendar,
                      const DateText& text) {
    if (event.isAllDay) {
        return "all day";
    }
    const Instant nextDay = calendar.addDays(day, 1).value_or(day);
    // An event running over several days shows "…" for the ends that are on other days.
    const std::string from = event.start < day ? "…" : text.time(event.start);
    const std::string to = event.end > nextDay ? "…" : text.time(event.end);
    return event.end == event.start ? from : from + "–" + to;
}

// A title with line breaks or tabs would break the one-line-per-event layout.
std::string oneLine(std::string_view text) {
    std::string out(text);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    return out;
}

// Characters, not bytes, so that columns line up after "–" and "…".
std::size_t columns(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string calendarTitles(const CalEvent& event) {
    std::string out;
    for (const auto& ref : event.calendars) {
        out += (out.empty() ? "" : ", ") + oneLine(ref.title.empty() ? ref.id : ref.title);
    }
    return out;
}

const StoreCalendar* findCalendar(const std::vector<CalendarHandle>& calendars,
                                  const std::string& id) {
    for (const auto& calendar : calendars) {
        if (calendar && calendar->calendarIdentifier == id) {
            return calendar.get();
        }
    }
    return nullptr;
}

} // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            }
            ++i;
        } else if (const std::size_t length = utf8Length(text.substr(i)); length > 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            // Only file names hold such bytes (text read from files is made UTF-8 first); the
            // escape keeps the byte, so that an identifier given back names the same file.
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\udc%02x", c);
            out += escaped;
            ++i;
        }
    }
    return out + "\"";
}

std::string isoDateTime(Instant t, const Calendar& calendar) {
    const auto parts = calendar.components(t);
    const int offset = calendar.utcOffsetSeconds(t);
    const int minutes = std::abs(offset) / 60;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", parts.year,
                  parts.month, parts.day, parts.hour, parts.minute, parts.second,
                  offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

std::string isoDate(Instant t, const Calendar& calendar) {
    const auto parts = calendar.components(t);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
    return text;
}

std::optional<std::string> hexColor(const std::optional<PlatformColor>& color) {
    if (!color || color->components.size() < 3) {
        return std::nullopt;
    }
    char text[8];
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const double value = color->components[static_cast<std::size_t>(i)];
        rgb[i] = std::isfinite(value)
                     ? static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0))
                     : 0;
    }
    std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb[0], rgb[1], rgb[2]);
    return std::string(text);
}

std::string_view calendarTypeName(CalendarType type) {
    switch (type) {
    case CalendarType::local:
        return "local";
    case CalendarType::calDAV:
        return "caldav";
    case CalendarType::exchange:
        return "exchange";
    case CalendarType::subscription:
        return "subscription";
    case CalendarType::birthday:
        return "birthday";
    }
    return "unknown";
}

std::string eventJson(const CalEvent& event, const Calendar& calendar) {
    auto flag = [](bool value) { return value ? "true" : "false"; };
    std::string out = "{\"id\":" + jsonString(event.id) +
                      ",\"eventIdentifier\":" + jsonString(event.eventIdentifier);
    if (event.externalID) {
        out += ",\"externalID\":" + jsonString(*event.externalID);
    }
    out += ",\"title\":" + jsonString(event.title);
    if (event.location) {
        out += ",\"location\":" + jsonString(*event.location);
    }
    out += ",\"start\":\"" + isoDateTime(event.start, calendar) + "\"";
    out += ",\"end\":\"" + isoDateTime(event.end, calendar) + "\"";
    out += std::string(",\"isAllDay\":") + flag(event.isAllDay);
    out += std::string(",\"isDeclined\":") + flag(event.isDeclined);
    out += std::string(",\"isTentative\":") + flag(event.isTentative);
    out += std::string(",\"isCanceled\":") + flag(event.isCanceled);
    out += ",\"calendars\":[";
    for (std::size_t i = 0; i < event.calendars.size(); ++i) {
        const auto& ref = event.calendars[i];
        out += (i == 0 ? "" : ",") + std::string("{\"id\":") + jsonString(ref.id) +
               ",\"title\":" + jsonString(ref.title) + ",\"rgb\":{\"r\":" + jsonNumber(ref.rgb.r) +
               ",\"g\":" + jsonNumber(ref.rgb.g) + ",\"b\":" + jsonNumber(ref.rgb.b) + "}}";
    }
    out += "],\"copies\":" + std::to_string(event.copies);
    out += ",\"richness\":" + std::to_string(event.richness);
    out += ",\"duplicateIDs\":[";
    for (std::size_t i = 0; i < event.duplicateIDs.size(); ++i) {
        out += (i == 0 ? "" : ",") + jsonString(event.duplicateIDs[i]);
    }
    return out + "]}";
}

void agendaText(std::ostream& out, const EventDays& days, const Calendar& calendar,
                bool continued) {
    const DateText text(calendar);
    bool first = !continued;
    days.forEachDay([&](Instant day, const std::vector<const CalEvent*>& events) {
        out << (first ? "" : "\n") << text.day(day) << "\n";
        first = false;
        if (events.empty()) {
            out << "  no events\n";
        }
        for (const CalEvent* shown : events) {
            const CalEvent& event = *shown;
            std::string line = "  " + timeRange(event, day, calendar, text);
            line.append(std::max<std::size_t>(1, 16 - std::min<std::size_t>(16, columns(line))),
                        ' ');
            line += oneLine(event.title);
            // Events not yet in a calendar (found in a text) have none to name.
            if (!event.calendars.empty()) {
                line += "  [" + calendarTitles(event) + "]";
            }
            if (event.isCanceled) {
                line += "  (cancelled)";
            }
            if (event.isDeclined) {
                line += "  (declined)";
            } else if (event.isTentative) {
                line += "  (tentative)";
            }
            out << line << "\n";
        }
    });
}

void agendaJson(std::ostream& out, const EventDays& days, const Calendar& calendar) {
    agendaJsonOpen(out);
    agendaJsonDays(out, days, calendar, false);
    agendaJsonClose(out);
}

void agendaJsonOpen(std::ostream& out) {
    out << "{\"days\":[";
}

void agendaJsonDays(std::ostream& out, const EventDays& days, const Calendar& calendar,
                    bool continued) {
    bool firstDay = !continued;
    days.forEachDay([&](Instant day, const std::vector<const CalEvent*>& events) {
        out << (firstDay ? "\n" : ",\n") << "{\"day\":\"" << isoDate(day, calendar)
            << "\",\"events\":[";
        firstDay = false;
        for (std::size_t i = 0; i < events.size(); ++i) {
            out << (i == 0 ? "\n" : ",\n") << eventJson(*events[i], calendar);
        }
        out << "]}";
    });
}

void agendaJsonClose(std::ostream& out) {
    out << "\n]}\n";
}

void mirrorsText(std::ostream& out, const CalendarMirrors& mirrors,
                 const std::vector<CalendarHandle>& calendars) {
    if (mirrors.empty()) {
        out << "No calendars mirror each other.\n";
        return;
    }
    int number = 0;
    for (const auto& group : mirrors.groups()) {
        out << "Mirror group " << ++number << ":\n";
        for (std::size_t i = 0; i < group.size(); ++i) {
            const StoreCalendar* calendar = findCalendar(calendars, group[i]);
            std::string line = "  " + (calendar ? calendar->title : group[i]);
            if (calendar && calendar->source) {
                line += " (account " + calendar->source->title + ")";
            }
            line += "  [" + group[i] + "]";
            if (i == 0) {
                line += "  preferred";
            }
            out << line << "\n";
        }
    }
}

void mirrorsJson(std::ostream& out, const CalendarMirrors& mirrors) {
    out << "{\"groups\":[";
    for (std::size_t g = 0; g < mirrors.groups().size(); ++g) {
        out << (g == 0 ? "" : ",") << "[";
        const auto& group = mirrors.groups()[g];
        for (std::size_t i = 0; i < group.size(); ++i) {
            out << (i == 0 ? "" : ",") << jsonString(group[i]);
        }
        out << "]";
    }
    out << "]}\n";
}

} // namespace plannery::cli::Output
