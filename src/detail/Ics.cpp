#include "detail/Ics.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace plannery {

namespace {

constexpr std::size_t kFoldOctets = 75;
constexpr std::size_t kNameCharacters = 60;
constexpr std::string_view kCrlf = "\r\n";

// Walks the Unicode scalars of UTF-8 text. A byte sequence that is not UTF-8 reads as U+FFFD, so
// what is written is always valid UTF-8 whatever came in.
class Scalars {
  public:
    explicit Scalars(std::string_view text)
        : m_bytes(reinterpret_cast<const std::uint8_t*>(text.data())),
          m_length(static_cast<std::int64_t>(text.size())) {}

    bool done() const { return m_index >= m_length; }
    char32_t next() {
        UChar32 c = 0;
        U8_NEXT_OR_FFFD(m_bytes, m_index, m_length, c);
        return static_cast<char32_t>(c);
    }

  private:
    const std::uint8_t* m_bytes;
    std::int64_t m_length;
    std::int64_t m_index = 0;
};

std::size_t utf8Length(char32_t c) {
    return static_cast<std::size_t>(U8_LENGTH(static_cast<UChar32>(c)));
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

bool isLineBreak(char32_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Space separators and the tab: what separates words on one line.
bool isWhiteSpace(char32_t c) {
    return c == '\t' || u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

std::vector<char32_t> decode(std::string_view text) {
    std::vector<char32_t> result;
    result.reserve(text.size());
    for (Scalars scalars(text); !scalars.done();) {
        result.push_back(scalars.next());
    }
    return result;
}

std::string encode(const std::vector<char32_t>& scalars, std::size_t from, std::size_t to) {
    std::string result;
    result.reserve(to - from);
    for (std::size_t i = from; i < to; ++i) {
        append(result, scalars[i]);
    }
    return result;
}

template <typename Predicate> std::string trimmed(std::string_view text, Predicate strip) {
    const std::vector<char32_t> scalars = decode(text);
    std::size_t from = 0;
    std::size_t to = scalars.size();
    while (from < to && strip(scalars[from])) {
        ++from;
    }
    while (to > from && strip(scalars[to - 1])) {
        --to;
    }
    return encode(scalars, from, to);
}

std::string trimmedText(std::string_view text) {
    return trimmed(text, [](char32_t c) { return isWhiteSpace(c) || isLineBreak(c); });
}

// The first `count` user-perceived characters when there are more, so that a name is never cut
// between a letter and its accent or inside an emoji sequence.
std::string firstCharacters(const std::string& text, std::size_t count) {
    UErrorCode status = U_ZERO_ERROR;
    UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !characters) {
        utext_close(utext);
        return text;
    }
    characters->setText(utext, status);
    std::int32_t boundary = 0;
    for (std::size_t i = 0; i < count && boundary != icu::BreakIterator::DONE; ++i) {
        boundary = characters->next();
    }
    const bool more =
        boundary != icu::BreakIterator::DONE && characters->next() != icu::BreakIterator::DONE;
    utext_close(utext);
    return more && U_SUCCESS(status) ? text.substr(0, static_cast<std::size_t>(boundary)) : text;
}

// A value that is not a number cannot be placed on a calendar; it is written as the epoch
// rather than handed to the date arithmetic.
Instant usable(Instant t) {
    return std::isfinite(t.seconds) ? t : Instant{0};
}

const Calendar& utcCalendar() {
    // Calendar values are not shared between threads; each thread keeps its own.
    thread_local const Calendar calendar = *Calendar::make("UTC", "en_US");
    return calendar;
}

// A link is a single token; a stray line break in it would end the content line and start a
// property of its own, so control characters (which no parsed URL holds) are left out.
std::string urlValue(std::string_view url) {
    std::string result;
    for (Scalars scalars(url); !scalars.done();) {
        const char32_t c = scalars.next();
        if (!isControl(c)) {
            append(result, c);
        }
    }
    return result;
}

void addLine(std::string& file, std::string_view line) {
    file += Ics::fold(line);
    file += kCrlf;
}

void addText(std::string& file, std::string_view name, const std::optional<std::string>& value) {
    if (!value) {
        return;
    }
    const std::string trimmedValue = trimmedText(*value);
    if (!trimmedValue.empty()) {
        addLine(file, std::string(name) + ":" + Ics::text(trimmedValue));
    }
}

void addDates(std::string& file, const IcsEvent& event, const Calendar& calendar) {
    const Instant start = usable(event.start);
    const Instant end = usable(event.end);
    if (!event.isAllDay) {
        addLine(file, "DTSTART:" + Ics::utc(start));
        addLine(file, "DTEND:" + Ics::utc(std::max(start, end)));
        return;
    }
    // DTEND of an all-day event is the day after the last day. The last day holds the last
    // second before the end, so an end at midnight does not add a day.
    const Instant firstDay = calendar.startOfDay(start);
    const Instant lastDay = calendar.startOfDay(end > start ? end.plus(-1) : start);
    const Instant afterLast = calendar.addDays(lastDay, 1).value_or(lastDay);
    addLine(file, "DTSTART;VALUE=DATE:" + Ics::date(firstDay, calendar));
    addLine(file, "DTEND;VALUE=DATE:" + Ics::date(afterLast, calendar));
}

std::string formatted(const char* format, const DateComponents& c) {
    // Wide enough for the far years an absurd instant gives.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return buffer;
}

void combine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace

namespace Ics {

std::string utc(Instant instant) {
    return formatted("%04d%02d%02dT%02d%02d%02dZ", utcCalendar().components(usable(instant)));
}

std::string date(Instant instant, const Calendar& calendar) {
    return formatted("%04d%02d%02d", calendar.components(usable(instant)));
}

std::string uid(const IcsEvent& event, const Calendar& calendar) {
    if (!event.occurrence) {
        return event.uid;
    }
    return event.uid + "-" +
           (event.isAllDay ? date(*event.occurrence, calendar) : utc(*event.occurrence));
}

std::string text(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    bool afterCarriageReturn = false;
    for (Scalars scalars(value); !scalars.done();) {
        const char32_t c = scalars.next();
        const bool pairedLineFeed = c == '\n' && afterCarriageReturn;
        afterCarriageReturn = c == '\r';
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case ';':
            result += "\\;";
            break;
        case ',':
            result += "\\,";
            break;
        case '\r':
            result += "\\n";
            break;
        case '\n':
            if (!pairedLineFeed) {
                result += "\\n";
            }
            break;
        case '\t':
            result += '\t';
            break;
        default:
            if (!isControl(c)) {
                append(result, c);
            }
        }
    }
    return result;
}

std::string fold(std::string_view line) {
    std::string result;
    result.reserve(line.size() + line.size() / 24);
    std::size_t octets = 0; // on the current physical line
    for (Scalars scalars(line); !scalars.done();) {
        const char32_t c = scalars.next();
        const std::size_t length = utf8Length(c);
        if (octets + length > kFoldOctets) {
            result += "\r\n ";
            octets = 1;
        }
        append(result, c);
        octets += length;
    }
    return result;
}

std::string fileName(std::string_view title) {
    // Characters that are not allowed in file names somewhere, or that make a name awkward in a
    // shell or a mail attachment, split the title; the pieces join with single spaces.
    constexpr std::u32string_view separators = U"/\\:?*\"<>|";
    std::vector<std::string> words;
    std::string word;
    const auto endWord = [&] {
        if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    };
    for (Scalars scalars(title); !scalars.done();) {
        const char32_t c = scalars.next();
        const bool separator = separators.find(c) != std::u32string_view::npos ||
                               u_charType(static_cast<UChar32>(c)) == U_CONTROL_CHAR ||
                               isLineBreak(c) || isWhiteSpace(c);
        if (separator) {
            endWord();
        } else {
            append(word, c);
        }
    }
    endWord();
    std::string name;
    for (const auto& piece : words) {
        name += name.empty() ? "" : " ";
        name += piece;
    }
    // A leading dot would hide the file.
    name.erase(0, std::min(name.find_first_not_of('.'), name.size()));
    const std::string shortened = firstCharacters(name, kNameCharacters);
    if (shortened.size() != name.size()) {
        name = trimmed(shortened, isWhiteSpace);
    }
    return (name.empty() ? std::string("Event") : name) + ".ics";
}

std::string calendar(const IcsEvent& event, Instant stamp, const Calendar& calendar) {
    std::string file;
    file.reserve(512 + event.title.size() + event.notes.value_or("").size() * 11 / 10);
    for (const char* line : {"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Plannery//Plannery//EN",
                             "CALSCALE:GREGORIAN", "METHOD:PUBLISH", "BEGIN:VEVENT"}) {
        addLine(file, line);
    }
    addLine(file, "UID:" + text(uid(event, calendar)));
    addLine(file, "DTSTAMP:" + utc(stamp));
    addDates(file, event, calendar);
    addText(file, "SUMMARY", event.title);
    addText(file, "LOCATION", event.location);
    addText(file, "DESCRIPTION", event.notes);
    if (event.url) {
        const std::string url = urlValue(*event.url);
        if (!url.empty()) {
            addLine(file, "URL:" + url);
        }
    }
    addLine(file, "END:VEVENT");
    addLine(file, "END:VCALENDAR");
    return file;
}

} // namespace Ics

} // namespace plannery

std::size_t
std::hash<plannery::IcsEvent>::operator()(const plannery::IcsEvent& event) const noexcept {
    using plannery::Instant;
    const auto text = [](const std::optional<std::string>& value) {
        return value ? std::hash<std::string>{}(*value) : std::size_t{0x51ed};
    };
    const auto instant = [](const std::optional<Instant>& value) {
        return value ? std::hash<double>{}(value->seconds) : std::size_t{0x51ed};
    };
    using plannery::combine;
    std::size_t seed = std::hash<std::string>{}(event.uid);
    combine(seed, std::hash<std::string>{}(event.title));
    combine(seed, instant(event.start));
    combine(seed, instant(event.end));
    combine(seed, event.isAllDay ? 1 : 0);
    combine(seed, text(event.location));
    combine(seed, text(event.notes));
    combine(seed, text(event.url));
    combine(seed, instant(event.occurrence));
    return seed;
}
