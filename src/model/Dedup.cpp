#include "model/Dedup.h"

#include "model/TitleFolding.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>

namespace plannery::Dedup {

namespace {

// Nearest whole number, halves away from zero; broken dates (not a number, beyond any
// calendar) are clamped rather than cast with undefined behaviour.
std::int64_t roundedToInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kLimit = 9.0e18;
    return static_cast<std::int64_t>(std::clamp(std::round(value), -kLimit, kLimit));
}

std::int64_t wholeSeconds(Instant t) {
    if (std::isnan(t.seconds)) {
        return 0;
    }
    constexpr double kLimit = 9.0e18;
    return static_cast<std::int64_t>(std::clamp(std::trunc(t.seconds), -kLimit, kLimit));
}

// Union-find over the positions of one bucket.
class Sets {
  public:
    void reset(std::size_t count) {
        m_parent.resize(count);
        std::iota(m_parent.begin(), m_parent.end(), std::uint32_t{0});
    }
    std::uint32_t find(std::uint32_t x) {
        while (m_parent[x] != x) {
            m_parent[x] = m_parent[m_parent[x]];
            x = m_parent[x];
        }
        return x;
    }
    // The set of p joins the set of q.
    void join(std::uint32_t p, std::uint32_t q) {
        const std::uint32_t rootP = find(p);
        const std::uint32_t rootQ = find(q);
        if (rootP != rootQ) {
            m_parent[rootP] = rootQ;
        }
    }

  private:
    std::vector<std::uint32_t> m_parent;
};

// The first position seen for each key. Buckets are nearly always two or three copies, where a
// linear look-up beats hashing; large buckets switch to a hash map.
class FirstSeen {
  public:
    void reset(std::size_t expected) {
        m_small.clear();
        m_large.clear();
        m_useMap = expected > kSmallLimit;
        if (m_useMap) {
            m_large.reserve(expected);
        }
    }
    // The earlier position holding the key, or nothing (and the key is recorded for p).
    std::optional<std::uint32_t> findOrAdd(std::string_view key, std::uint32_t p) {
        if (m_useMap) {
            auto [it, inserted] = m_large.try_emplace(key, p);
            return inserted ? std::nullopt : std::optional<std::uint32_t>(it->second);
        }
        for (const auto& [seen, position] : m_small) {
            if (seen == key) {
                return position;
            }
        }
        m_small.emplace_back(key, p);
        return std::nullopt;
    }

  private:
    static constexpr std::size_t kSmallLimit = 16;
    bool m_useMap = false;
    std::vector<std::pair<std::string_view, std::uint32_t>> m_small;
    std::unordered_map<std::string_view, std::uint32_t> m_large;
};

const std::string& firstCalendarID(const CalEvent& event) {
    static const std::string kNone;
    return event.calendars.empty() ? kNone : event.calendars.front().id.str();
}

// The copy the user can do most with represents the event: richer first, an accepted copy
// before a declined one, then the preferred calendar of a mirror group, then the calendar
// identifier.
bool representsBetter(const CalEvent& a, const CalEvent& b, const CalendarMirrors& mirrors) {
    if (a.richness != b.richness) {
        return a.richness > b.richness;
    }
    if (a.isDeclined != b.isDeclined) {
        return !a.isDeclined;
    }
    const std::string& calendarA = firstCalendarID(a);
    const std::string& calendarB = firstCalendarID(b);
    const int rankA = mirrors.rank(calendarA);
    const int rankB = mirrors.rank(calendarB);
    if (rankA != rankB) {
        return rankA < rankB;
    }
    return calendarA < calendarB;
}

// Combines copies given by pointer; the primary is moved out of its place. `seenKeys` is scratch
// space.
CalEvent combineCopies(std::vector<CalEvent*>& group, const CalendarMirrors& mirrors,
                       std::vector<std::string_view>& seenKeys) {
    if (group.size() == 1) {
        return std::move(*group.front());
    }
    // Groups are a handful of copies: a stable insertion sort, without the buffer that
    // std::stable_sort allocates.
    for (std::size_t i = 1; i < group.size(); ++i) {
        CalEvent* copy = group[i];
        std::size_t j = i;
        while (j > 0 && representsBetter(*copy, *group[j - 1], mirrors)) {
            group[j] = group[j - 1];
            --j;
        }
        group[j] = copy;
    }

    int copies = 0;
    bool allDeclined = true;
    std::size_t duplicates = 0;
    for (const CalEvent* copy : group) {
        copies += copy->copies;
        allDeclined = allDeclined && copy->isDeclined;
        duplicates += 1 + copy->duplicateIDs.size();
    }

    CalEvent result = std::move(*group.front());
    // Reserved up front so that the key views into the list stay valid while it grows.
    result.calendars.reserve(result.calendars.size() + group.size() - 1);
    result.duplicateIDs.reserve(duplicates - 1);
    // A calendar that mirrors one already listed is not listed again: the mirror key stands for
    // its whole group.
    seenKeys.clear();
    seenKeys.push_back(mirrors.key(firstCalendarID(result)));
    for (std::size_t i = 1; i < group.size(); ++i) {
        const CalEvent& copy = *group[i];
        if (!copy.calendars.empty()) {
            const std::string_view key = mirrors.key(copy.calendars.front().id);
            if (std::find(seenKeys.begin(), seenKeys.end(), key) == seenKeys.end()) {
                seenKeys.push_back(key);
                result.calendars.push_back(copy.calendars.front());
            }
        }
        if (!result.location) {
            result.location = copy.location;
        }
        result.duplicateIDs.push_back(copy.eventIdentifier);
        result.duplicateIDs.insert(result.duplicateIDs.end(), copy.duplicateIDs.begin(),
                                   copy.duplicateIDs.end());
    }
    result.copies = copies;
    result.isDeclined = allDeclined;
    return result;
}

// Numbers for slots, in an open-addressing table: one allocation instead of one per slot.
class SlotNumbers {
  public:
    explicit SlotNumbers(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < expected * 2) {
            capacity *= 2;
        }
        m_mask = capacity - 1;
        m_entries.resize(capacity);
    }
    // The slot's number; a slot not seen before gets `next`.
    std::uint32_t numberOf(const Slot& slot, std::uint32_t next) {
        std::size_t at = SlotHash{}(slot)&m_mask;
        while (true) {
            Entry& entry = m_entries[at];
            if (entry.number == kEmpty) {
                entry = Entry{slot, next};
                return next;
            }
            if (entry.slot == slot) {
                return entry.number;
            }
            at = (at + 1) & m_mask;
        }
    }

  private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    struct Entry {
        Slot slot;
        std::uint32_t number = kEmpty;
    };
    std::vector<Entry> m_entries;
    std::size_t m_mask = 0;
};

// Reusable buffers for merging the buckets of one list. Merging happens in place: a group's
// record replaces its copy that came first in the input, and the other copies are marked
// consumed.
class BucketMerger {
  public:
    void run(std::vector<CalEvent>& events, const std::uint32_t* members, std::size_t count,
             const CalendarMirrors& mirrors, std::vector<std::uint8_t>& consumed) {
        m_sets.reset(count);
        m_externalIDs.reset(count);
        m_titles.reset(count);
        if (m_normalized.size() < count) {
            m_normalized.resize(count);
        }
        for (std::uint32_t p = 0; p < count; ++p) {
            const CalEvent& event = events[members[p]];
            if (event.externalID && !event.externalID->empty()) {
                if (auto q = m_externalIDs.findOrAdd(*event.externalID, p)) {
                    m_sets.join(p, *q);
                }
            }
            normalizedTitle(event.title, m_normalized[p]);
            if (!m_normalized[p].empty()) {
                if (auto q = m_titles.findOrAdd(m_normalized[p], p)) {
                    m_sets.join(p, *q);
                }
            }
        }

        // Groups in the order of their first position.
        m_groupOfRoot.assign(count, kNoGroup);
        m_groupOfPosition.resize(count);
        std::uint32_t groupCount = 0;
        for (std::uint32_t p = 0; p < count; ++p) {
            const std::uint32_t root = m_sets.find(p);
            if (m_groupOfRoot[root] == kNoGroup) {
                m_groupOfRoot[root] = groupCount++;
            }
            m_groupOfPosition[p] = m_groupOfRoot[root];
        }
        if (groupCount == count) {
            return; // nothing to merge
        }
        // Input positions laid out group after group, each group in position order.
        m_groupStart.assign(groupCount + 1, 0);
        for (std::uint32_t p = 0; p < count; ++p) {
            ++m_groupStart[m_groupOfPosition[p] + 1];
        }
        std::partial_sum(m_groupStart.begin(), m_groupStart.end(), m_groupStart.begin());
        m_cursor.assign(m_groupStart.begin(), m_groupStart.end() - 1);
        m_ordered.resize(count);
        for (std::uint32_t p = 0; p < count; ++p) {
            m_ordered[m_cursor[m_groupOfPosition[p]]++] = members[p];
        }
        for (std::uint32_t g = 0; g < groupCount; ++g) {
            const std::uint32_t begin = m_groupStart[g];
            const std::uint32_t end = m_groupStart[g + 1];
            if (end - begin < 2) {
                continue;
            }
            m_group.clear();
            for (std::uint32_t i = begin; i < end; ++i) {
                m_group.push_back(&events[m_ordered[i]]);
                consumed[m_ordered[i]] = 1;
            }
            CalEvent combined = combineCopies(m_group, mirrors, m_seenKeys);
            consumed[m_ordered[begin]] = 0;
            events[m_ordered[begin]] = std::move(combined);
        }
    }

  private:
    static constexpr std::uint32_t kNoGroup = UINT32_MAX;
    Sets m_sets;
    FirstSeen m_externalIDs;
    FirstSeen m_titles;
    std::vector<std::string> m_normalized;
    std::vector<std::uint32_t> m_groupOfRoot;
    std::vector<std::uint32_t> m_groupOfPosition;
    std::vector<std::uint32_t> m_groupStart;
    std::vector<std::uint32_t> m_cursor;
    std::vector<std::uint32_t> m_ordered;
    std::vector<CalEvent*> m_group;
    std::vector<std::string_view> m_seenKeys;
};

} // namespace

std::size_t SlotHash::operator()(const Slot& slot) const noexcept {
    // Starts and ends of one month differ in their low bits; mix them so neighbouring slots
    // spread over the table.
    std::uint64_t h = static_cast<std::uint64_t>(slot.start) * 0x9E3779B97F4A7C15ULL;
    h ^= static_cast<std::uint64_t>(slot.end) + 0x632BE59BD9B4E019ULL + (h << 6) + (h >> 2);
    h ^= slot.allDay ? 0xD6E8FEB86659FD93ULL : 0;
    h ^= h >> 32;
    return static_cast<std::size_t>(h);
}

Slot slot(const CalEvent& event, const Calendar& calendar) {
    if (!event.isAllDay) {
        return Slot{.allDay = false,
                    .start = roundedToInteger(event.start.seconds / 60.0),
                    .end = roundedToInteger(event.end.seconds / 60.0)};
    }
    const std::int64_t first = wholeSeconds(calendar.startOfDay(event.start));
    const std::int64_t last = wholeSeconds(calendar.startOfDay(event.lastInstant()));
    return Slot{.allDay = true, .start = first, .end = last};
}

std::string normalize(std::string_view text) {
    return TitleFolding::alphanumerics(text);
}

void normalizedTitle(std::string_view title, std::string& out) {
    TitleFolding::fold(title, out);
}

std::string normalizedTitle(std::string_view title) {
    std::string out;
    TitleFolding::fold(title, out);
    return out;
}

std::vector<CalEvent> merge(std::vector<CalEvent> events, const CalendarMirrors& mirrors,
                            const Calendar& calendar) {
    const std::size_t count = events.size();
    if (count < 2) {
        return events;
    }

    // Buckets by slot, numbered in order of first appearance, laid out in one flat array.
    SlotNumbers bucketOfSlot(count);
    std::vector<std::uint32_t> bucketOf(count);
    std::vector<std::uint32_t> offsets;
    offsets.reserve(count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t bucket = bucketOfSlot.numberOf(
            slot(events[i], calendar), static_cast<std::uint32_t>(offsets.size()));
        if (bucket == offsets.size()) {
            offsets.push_back(0);
        }
        bucketOf[i] = bucket;
        ++offsets[bucket];
    }
    const std::size_t bucketCount = offsets.size();
    std::uint32_t running = 0;
    for (std::uint32_t& offset : offsets) {
        const std::uint32_t size = offset;
        offset = running;
        running += size;
    }
    offsets.push_back(running);
    std::vector<std::uint32_t> members(count);
    {
        std::vector<std::uint32_t> cursor(offsets.begin(), offsets.end() - 1);
        for (std::size_t i = 0; i < count; ++i) {
            members[cursor[bucketOf[i]]++] = static_cast<std::uint32_t>(i);
        }
    }

    std::vector<std::uint8_t> consumed(count, 0);
    BucketMerger merger;
    for (std::size_t b = 0; b < bucketCount; ++b) {
        const std::uint32_t begin = offsets[b];
        const std::uint32_t size = offsets[b + 1] - begin;
        if (size > 1) {
            merger.run(events, members.data() + begin, size, mirrors, consumed);
        }
    }
    sortByDisplayOrder(events, calendar, [&](std::size_t i) { return consumed[i] != 0; });
    return events;
}

CalEvent combine(const std::vector<CalEvent>& group, const CalendarMirrors& mirrors) {
    if (group.empty()) {
        return CalEvent{};
    }
    std::vector<CalEvent> copies = group;
    std::vector<CalEvent*> pointers;
    pointers.reserve(copies.size());
    for (CalEvent& copy : copies) {
        pointers.push_back(&copy);
    }
    std::vector<std::string_view> seenKeys;
    return combineCopies(pointers, mirrors, seenKeys);
}

} // namespace plannery::Dedup
