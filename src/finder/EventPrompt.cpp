#include "finder/EventPrompt.h"

#include "model/Fmt.h"

#include <unicode/brkiter.h>
#include <unicode/calendar.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/utext.h>

#include <memory>

namespace plannery::EventPrompt {

namespace {

constexpr std::string_view kTask =
    "You read text recognized from a photo or screenshot (an invitation, flyer, ticket, booking, "
    "email, message or schedule) and list the calendar events in it.\nToday is ";

constexpr std::string_view kRules =
    ".\n\n"
    "- One entry per event. A schedule with several dated sessions has one entry per session. "
    "Only list events the text describes; if there are none, return an empty list.\n"
    "- title: short, the way a person would write it in their calendar, in normal capitalization "
    "rather than ALL CAPS.\n"
    "- startDate: yyyy-MM-dd. When the text gives no year, use the next such date on or after "
    "today. Work out words like \"tomorrow\" or \"next Friday\" from today's date.\n"
    "- startTime and endTime: HH:mm, 24-hour. Leave startTime empty when the text gives no time "
    "(an all-day event), and endTime empty when it gives no end.\n"
    "- endDate: only when the event ends on a later day than it starts.\n"
    "- timeZone: when the text gives the times in a named zone (\"ET\", \"PST\", \"CET\", "
    "\"London time\"), that zone's IANA identifier, like America/New_York for ET; startTime and "
    "endTime stay as written in that zone. Otherwise empty.\n"
    "- location: the venue or address, or the link to join a video call.\n"
    "- notes: useful details that aren't already in the title, time or location, in a few words "
    "(what to bring, a confirmation number); otherwise empty.";

// "Thursday, 12/03/2026": full weekday, two-digit month and day and the full year in United States
// order, whatever the user's locale.
std::string longDate(Instant now, const Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale posix("en_US_POSIX");
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(posix, status));
    if (U_FAILURE(status)) {
        return {};
    }
    const icu::UnicodeString pattern = generator->getBestPattern("EEEEyMMdd", status);
    icu::SimpleDateFormat format(pattern, posix, status);
    format.adoptTimeZone(icu::TimeZone::createTimeZone(
        icu::UnicodeString::fromUTF8(icu::StringPiece(calendar.zoneId()))));
    icu::UnicodeString text;
    format.format(now.seconds * 1000.0, text);
    std::string out;
    return U_FAILURE(status) ? out : text.toUTF8String(out);
}

} // namespace

std::string instructions(Instant now, const Calendar& calendar) {
    std::string text(kTask);
    text += longDate(now, calendar);
    text += " (";
    text += Fmt::dayKey(now, calendar);
    text += "). The user's time zone is ";
    text += calendar.zoneId();
    text += kRules;
    return text;
}

std::string_view leadingCharacters(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text; // no more characters than bytes
    }
    UErrorCode status = U_ZERO_ERROR;
    UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !characters) {
        utext_close(utext);
        return text.substr(0, limit);
    }
    characters->setText(utext, status);
    int32_t end = 0;
    for (std::size_t n = 0; n < limit; ++n) {
        const int32_t next = characters->next();
        if (next == icu::BreakIterator::DONE) {
            break;
        }
        end = next;
    }
    characters.reset();
    utext_close(utext);
    return text.substr(0, static_cast<std::size_t>(end));
}

std::string prompt(std::string_view text, std::size_t limit) {
    std::string out(kHeading);
    out += leadingCharacters(text, limit);
    return out;
}

} // namespace plannery::EventPrompt
