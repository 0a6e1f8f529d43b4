#include "model/CalEvent.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <string_view>

namespace plannery {

namespace {

// White space and line breaks in the Unicode sense (tabs, no-break spaces, ideographic spaces,
// line and paragraph separators), as titles pasted from mail and web pages carry them.
bool isSpaceAt(std::string_view text, std::size_t& index, bool backwards) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    // Most texts begin and end with a printable ASCII character, which is never space.
    const std::uint8_t edge = backwards ? bytes[index - 1] : bytes[index];
    if (edge > 0x20 && edge < 0x7F) {
        return false;
    }
    const auto length = static_cast<std::int32_t>(text.size());
    auto i = static_cast<std::int32_t>(index);
    UChar32 c = 0;
    if (backwards) {
        U8_PREV(bytes, 0, i, c);
    } else {
        U8_NEXT(bytes, i, length, c);
    }
    if (c < 0 || !u_isUWhiteSpace(c)) {
        return false;
    }
    index = static_cast<std::size_t>(i);
    return true;
}

std::string_view trimmedView(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && isSpaceAt(text, begin, false)) {
    }
    std::size_t end = text.size();
    while (end > begin && isSpaceAt(text, end, true)) {
    }
    return text.substr(begin, end - begin);
}

} // namespace

std::string trimWhiteSpace(std::string_view text) {
    return std::string(trimmedView(text));
}

std::string freshUUID() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uint64_t high = bits(generator);
    std::uint64_t low = bits(generator);
    // Version 4, variant 1.
    high = (high & ~std::uint64_t{0xF000}) | std::uint64_t{0x4000};
    low = (low & ~(std::uint64_t{0xC} << 60)) | (std::uint64_t{0x8} << 60);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    auto put = [&](std::uint64_t value, int nibbles) {
        for (int shift = (nibbles - 1) * 4; shift >= 0; shift -= 4) {
            text.push_back(kHex[(value >> shift) & 0xF]);
        }
    };
    put(high >> 32, 8);
    text.push_back('-');
    put((high >> 16) & 0xFFFF, 4);
    text.push_back('-');
    put(high & 0xFFFF, 4);
    text.push_back('-');
    put(low >> 48, 4);
    text.push_back('-');
    put(low & 0xFFFFFFFFFFFFULL, 12);
    return text;
}

namespace {

// Whole seconds toward zero; a broken date (not a number, far outside any calendar) gives a
// clamped value instead of undefined behaviour.
std::int64_t wholeSecondsOf(Instant t) {
    if (std::isnan(t.seconds)) {
        return 0;
    }
    constexpr double kLimit = 9.0e18;
    if (t.seconds >= kLimit) {
        return static_cast<std::int64_t>(kLimit);
    }
    if (t.seconds <= -kLimit) {
        return -static_cast<std::int64_t>(kLimit);
    }
    return t.wholeSeconds();
}

} // namespace

RGB RGB::from(const std::optional<PlatformColor>& color) {
    // Alpha is the last component: a colour has r, g, b (and alpha); a grey only white and alpha.
    if (!color || color->components.size() <= 2) {
        return fallback();
    }
    const auto& c = color->components;
    return RGB{c[0], c[1], c[2]};
}

Reply replyFrom(ParticipantStatus status) {
    switch (status) {
    case ParticipantStatus::unknown:
    case ParticipantStatus::pending:
        return Reply::pending;
    case ParticipantStatus::accepted:
        return Reply::accepted;
    case ParticipantStatus::declined:
        return Reply::declined;
    case ParticipantStatus::tentative:
        return Reply::tentative;
    case ParticipantStatus::delegated:
    case ParticipantStatus::completed:
    case ParticipantStatus::inProcess:
        break;
    }
    return Reply::other;
}

namespace {

// A text of the store's record as shown: trimmed, and shared with the record when trimming
// leaves it as it is (almost always).
std::optional<SharedText> shownText(const std::shared_ptr<const EventContent>& content,
                                    const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    const std::string_view trimmed = trimmedView(*text);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    if (trimmed.size() == text->size()) {
        return SharedText::within(content, *text);
    }
    return SharedText(trimmed);
}

} // namespace

CalEvent CalEvent::from(const StoreEvent& event) {
    const CalendarHandle& storeCalendar = event.calendar();
    static const SharedText kUnknownCalendar("?");
    CalendarRef ref{.id = kUnknownCalendar, .title = {}, .rgb = RGB::fallback()};
    if (storeCalendar) {
        ref =
            CalendarRef{.id = SharedText::within(storeCalendar, storeCalendar->calendarIdentifier),
                        .title = SharedText::within(storeCalendar, storeCalendar->title),
                        .rgb = RGB::from(storeCalendar->color)};
    }

    bool declined = false;
    bool tentative = false;
    if (event.hasAttendees()) {
        for (const Participant& attendee : event.attendees()) {
            if (attendee.isCurrentUser) {
                declined = attendee.participantStatus == ParticipantStatus::declined;
                // An invitation not answered yet is shown as uncertain, like a tentative reply.
                tentative = attendee.participantStatus == ParticipantStatus::tentative ||
                            attendee.participantStatus == ParticipantStatus::pending;
                break;
            }
        }
    }
    const bool organizedByMe = event.organizer() && event.organizer()->isCurrentUser;

    static const SharedText kNoTitle("(No title)");
    SharedText title = shownText(event.content, event.title()).value_or(kNoTitle);
    std::optional<SharedText> location = shownText(event.content, event.location());

    // The copy the user can do most with represents a merged event: one they organised, on a
    // calendar they can edit, with people, a place, notes or a link. Subscribed and birthday
    // calendars are read-only feeds and lose against any other copy.
    int richness = 0;
    if (organizedByMe) {
        richness += 8;
    }
    if (storeCalendar && storeCalendar->allowsContentModifications) {
        richness += 4;
    }
    if (!event.attendees().empty()) {
        richness += 2;
    }
    if (location) {
        richness += 1;
    }
    // Empty notes or links (an empty DESCRIPTION or URL line) give the user nothing.
    if (event.notes() && !event.notes()->empty()) {
        richness += 1;
    }
    if (event.url() && !event.url()->empty()) {
        richness += 1;
    }
    if (storeCalendar && (storeCalendar->type == CalendarType::subscription ||
                          storeCalendar->type == CalendarType::birthday)) {
        richness -= 4;
    }

    const std::string& identifier = event.eventIdentifier();
    const std::string seconds = std::to_string(wholeSecondsOf(event.startDate));
    std::string id;
    id.reserve(std::max<std::size_t>(identifier.size(), 36) + 1 + seconds.size());
    // Not a conditional expression: its two kinds of operand would make it copy the identifier.
    if (identifier.empty()) {
        id += freshUUID();
    } else {
        id += identifier;
    }
    id += '|';
    id += seconds;
    std::optional<SharedText> externalID;
    if (const auto& external = event.calendarItemExternalIdentifier()) {
        externalID = SharedText::within(event.content, *external);
    }
    return CalEvent{.id = std::move(id),
                    .eventIdentifier = SharedText::within(event.content, identifier),
                    .externalID = std::move(externalID),
                    .title = std::move(title),
                    .location = std::move(location),
                    .start = event.startDate,
                    .end = event.endDate.value_or(event.startDate),
                    .isAllDay = event.isAllDay(),
                    .isDeclined = declined,
                    .isTentative = tentative,
                    .isCanceled = event.status() == EventStatus::canceled,
                    .calendars = {ref},
                    .copies = 1,
                    .richness = richness,
                    .duplicateIDs = {}};
}

Instant CalEvent::lastInstant() const {
    return end > start ? end.plus(-1) : start;
}

std::vector<Instant> CalEvent::days(const Calendar& calendar) const {
    const Instant first = calendar.startOfDay(start);
    const Instant last = calendar.startOfDay(lastInstant());
    std::vector<Instant> result{first};
    Instant day = first;
    while (true) {
        const std::optional<Instant> next = calendar.addDays(day, 1);
        // A calendar that cannot step (or does not move forward) ends the walk.
        if (!next || !(*next > day) || !(*next <= last)) {
            break;
        }
        day = *next;
        result.push_back(day);
    }
    return result;
}

bool DisplayOrder::operator()(const CalEvent& a, const CalEvent& b) const {
    if (a.isAllDay != b.isAllDay) {
        return a.isAllDay;
    }
    if (a.start != b.start) {
        return a.start < b.start;
    }
    if (a.end != b.end) {
        return a.end > b.end;
    }
    if (a.title != b.title) {
        // Titles the localized comparison deems equal (say, differing only in case) stay
        // unordered, so callers sort stably.
        return m_calendar->compareLocalized(a.title, b.title) < 0;
    }
    return a.id < b.id;
}

void sortByDisplayOrder(std::vector<CalEvent>& events, const Calendar& calendar,
                        const std::function<bool(std::size_t position)>& drop) {
    // The first three rules on a compact copy of the times, so that comparisons rarely touch the
    // records themselves.
    struct Key {
        bool allDay;
        double start;
        double end;
        std::uint32_t index;
    };
    std::vector<Key> keys;
    keys.reserve(events.size());
    std::vector<std::uint32_t> dropped;
    for (std::uint32_t i = 0; i < events.size(); ++i) {
        if (drop && drop(i)) {
            dropped.push_back(i);
        } else {
            keys.push_back(
                Key{events[i].isAllDay, events[i].start.seconds, events[i].end.seconds, i});
        }
    }
    const DisplayOrder before(calendar);
    // Stable: titles that the localized comparison deems equal stay unordered, which is not a
    // strict weak ordering, and an unstable sort must not be handed such an order.
    std::stable_sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.allDay != b.allDay) {
            return a.allDay;
        }
        if (a.start != b.start) {
            return a.start < b.start;
        }
        if (a.end != b.end) {
            return a.end > b.end;
        }
        return before(events[a.index], events[b.index]);
    });
    const std::size_t kept = keys.size();
    // Dropped records go to the end, to be cut off.
    for (std::uint32_t index : dropped) {
        keys.push_back(Key{false, 0, 0, index});
    }

    // Apply the order in place, one cycle of the permutation at a time, moving each record once.
    constexpr std::uint32_t kPlaced = UINT32_MAX;
    for (std::uint32_t i = 0; i < keys.size(); ++i) {
        if (keys[i].index == kPlaced || keys[i].index == i) {
            continue;
        }
        CalEvent first = std::move(events[i]);
        std::uint32_t j = i;
        while (true) {
            const std::uint32_t from = keys[j].index;
            keys[j].index = kPlaced;
            if (from == i) {
                events[j] = std::move(first);
                break;
            }
            events[j] = std::move(events[from]);
            j = from;
        }
    }
    events.erase(events.begin() + static_cast<std::ptrdiff_t>(kept), events.end());
}

} // namespace plannery
