#include "model/MirrorDetection.h"

#include "model/Dedup.h"
#include "model/StringMap.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace plannery::MirrorDetection {

namespace {

constexpr std::uint32_t kNone = UINT32_MAX;

// Gives each distinct text a small number, so that matching compares integers.
class Interner {
  public:
    explicit Interner(std::size_t expected) { m_ids.reserve(expected); }
    std::uint32_t intern(std::string_view text) {
        auto found = m_ids.find(text);
        if (found != m_ids.end()) {
            return found->second;
        }
        const auto id = static_cast<std::uint32_t>(m_ids.size());
        m_ids.emplace(std::string(text), id);
        return id;
    }

  private:
    StringMap<std::uint32_t> m_ids;
};

// One occurrence on a known calendar.
struct Occ {
    std::uint32_t cal = 0;
    std::uint32_t series = 0;
    std::uint32_t ext = kNone; // no (or an empty) external identifier
    std::uint32_t title = 0;
    bool titleEmpty = true;
};

// A count per (calendar or calendar pair, series).
struct CountKey {
    std::uint64_t owner = 0;
    std::uint32_t series = 0;

    friend bool operator==(const CountKey&, const CountKey&) = default;
};

struct CountKeyHash {
    std::size_t operator()(const CountKey& key) const noexcept {
        std::uint64_t h = key.owner * 0x9E3779B97F4A7C15ULL;
        h ^= key.series + 0x632BE59BD9B4E019ULL + (h << 6) + (h >> 2);
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};

using Counts = std::unordered_map<CountKey, std::uint32_t, CountKeyHash>;

std::uint32_t countOf(const Counts& counts, std::uint64_t owner, std::uint32_t series) {
    auto found = counts.find(CountKey{owner, series});
    return found == counts.end() ? 0 : found->second;
}

std::uint32_t findRoot(std::vector<std::uint32_t>& parent, std::uint32_t x) {
    while (parent[x] != x) {
        parent[x] = parent[parent[x]];
        x = parent[x];
    }
    return x;
}

} // namespace

CalendarMirrors scan(const EventStore& store, Instant now, const Calendar& calendar) {
    if (store.authorizationStatus() != AuthorizationStatus::fullAccess) {
        return {};
    }
    const std::vector<CalendarHandle> calendars = store.calendars();
    if (calendars.size() < 2) {
        return {};
    }
    // A fixed window around today keeps the work independent of how much history there is.
    const Instant today = calendar.startOfDay(now);
    const std::optional<Instant> from = calendar.addDays(today, -28);
    const std::optional<Instant> to = calendar.addDays(today, 60);
    if (!from || !to) {
        return {};
    }

    const std::vector<StoreEvent> occurrences = store.events(*from, *to, calendars);
    std::vector<CalEvent> events;
    events.reserve(occurrences.size());
    for (const StoreEvent& occurrence : occurrences) {
        // Only what detection reads; no merging and no hiding.
        const CalendarHandle& owner = occurrence.calendar();
        events.push_back(CalEvent{
            .id = {},
            .eventIdentifier = {},
            .externalID = occurrence.calendarItemExternalIdentifier(),
            .title = occurrence.title().value_or(std::string()),
            .location = std::nullopt,
            .start = occurrence.startDate,
            .end = occurrence.endDate.value_or(occurrence.startDate),
            .isAllDay = occurrence.isAllDay(),
            .calendars = {CalendarRef{
                .id = owner ? owner->calendarIdentifier : std::string(), .title = {}, .rgb = {}}},
            .copies = 1,
            .richness = 0,
            .duplicateIDs = {},
        });
    }

    std::vector<CalendarInfo> infos;
    infos.reserve(calendars.size());
    for (const CalendarHandle& handle : calendars) {
        if (!handle) {
            continue;
        }
        infos.push_back(CalendarInfo{.id = handle->calendarIdentifier,
                                     .title = handle->title,
                                     .editable = handle->allowsContentModifications,
                                     .subscribed = handle->type == CalendarType::subscription});
    }
    return detect(events, infos,
                  Rules{.shareThreshold = 0.9,
                        .sameTitleShareThreshold = 0.8,
                        .minSeries = 5,
                        .sameTitleMinSeries = 3},
                  calendar);
}

CalendarMirrors detect(const std::vector<CalEvent>& events,
                       const std::vector<CalendarInfo>& calendars, const Rules& rules,
                       const Calendar& calendar) {
    if (calendars.size() < 2) {
        return {};
    }
    const auto n = static_cast<std::uint32_t>(calendars.size());
    std::unordered_map<std::string_view, std::uint32_t> indexOf;
    indexOf.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        indexOf.insert_or_assign(std::string_view(calendars[i].id), i);
    }

    // Occurrences, the series of each calendar and the slot buckets.
    Interner seriesKeys(events.size());
    Interner externalIDs(events.size());
    Interner titles(events.size());
    std::vector<Occ> occs;
    occs.reserve(events.size());
    Counts count;
    count.reserve(events.size());
    std::vector<std::vector<std::uint32_t>> seriesOf(n);
    std::unordered_map<Dedup::Slot, std::uint32_t, Dedup::SlotHash> bucketOfSlot;
    bucketOfSlot.reserve(events.size());
    std::vector<std::uint32_t> bucketOf;
    bucketOf.reserve(events.size());
    std::vector<std::uint32_t> bucketSize;
    std::string title;
    std::string seriesKey;
    for (const CalEvent& event : events) {
        if (event.calendars.empty()) {
            continue;
        }
        auto known = indexOf.find(event.calendars.front().id);
        if (known == indexOf.end()) {
            continue;
        }
        Occ occ{.cal = known->second};
        Dedup::normalizedTitle(event.title, title);
        occ.title = titles.intern(title);
        occ.titleEmpty = title.empty();
        const bool hasExternalID = event.externalID && !event.externalID->empty();
        if (hasExternalID) {
            occ.ext = externalIDs.intern(*event.externalID);
            occ.series = seriesKeys.intern(*event.externalID);
        } else {
            seriesKey.assign("title:");
            seriesKey += title;
            occ.series = seriesKeys.intern(seriesKey);
        }
        if (++count[CountKey{occ.cal, occ.series}] == 1) {
            seriesOf[occ.cal].push_back(occ.series);
        }
        auto [bucket, inserted] = bucketOfSlot.try_emplace(
            Dedup::slot(event, calendar), static_cast<std::uint32_t>(bucketSize.size()));
        if (inserted) {
            bucketSize.push_back(0);
        }
        ++bucketSize[bucket->second];
        bucketOf.push_back(bucket->second);
        occs.push_back(occ);
    }

    // Buckets laid out in one flat array, occurrences in input order.
    std::vector<std::uint32_t> bucketStart(bucketSize.size() + 1, 0);
    std::partial_sum(bucketSize.begin(), bucketSize.end(), bucketStart.begin() + 1);
    std::vector<std::uint32_t> members(occs.size());
    {
        std::vector<std::uint32_t> cursor(bucketStart.begin(), bucketStart.end() - 1);
        for (std::uint32_t o = 0; o < occs.size(); ++o) {
            members[cursor[bucketOf[o]]++] = o;
        }
    }

    // pairs[i × n + j][s]: occurrences of series s on calendar i with a copy on calendar j in the
    // same slot.
    Counts pairs;
    std::unordered_set<std::uint64_t> pairKeys;
    std::vector<std::uint32_t> matchedStamp(n, kNone);
    std::vector<std::uint32_t> matched;
    for (std::size_t b = 0; b < bucketSize.size(); ++b) {
        if (bucketSize[b] < 2) {
            continue;
        }
        const std::uint32_t begin = bucketStart[b];
        const std::uint32_t end = bucketStart[b + 1];
        for (std::uint32_t x = begin; x < end; ++x) {
            const std::uint32_t aIndex = members[x];
            const Occ& a = occs[aIndex];
            matched.clear();
            for (std::uint32_t y = begin; y < end; ++y) {
                const Occ& other = occs[members[y]];
                if (other.cal == a.cal || matchedStamp[other.cal] == aIndex) {
                    continue;
                }
                const bool sameTitle = !a.titleEmpty && a.title == other.title;
                const bool match = (a.ext == kNone || other.ext == kNone)
                                       ? sameTitle
                                       : (a.ext == other.ext || sameTitle);
                if (match) {
                    matchedStamp[other.cal] = aIndex;
                    matched.push_back(other.cal);
                }
            }
            for (std::uint32_t c : matched) {
                const std::uint64_t pair = std::uint64_t{a.cal} * n + c;
                ++pairs[CountKey{pair, a.series}];
                pairKeys.insert(pair);
            }
        }
    }

    // Share of calendar i's series of which at least half the occurrences have a copy on j.
    auto share = [&](std::uint32_t i, std::uint32_t j) {
        const auto& series = seriesOf[i];
        if (series.empty()) {
            return 0.0;
        }
        const std::uint64_t pair = std::uint64_t{i} * n + j;
        std::size_t mirrored = 0;
        for (std::uint32_t s : series) {
            if (countOf(count, i, s) <= 2 * countOf(pairs, pair, s)) {
                ++mirrored;
            }
        }
        return static_cast<double>(mirrored) / static_cast<double>(series.size());
    };

    std::vector<std::string> calendarTitles(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        calendarTitles[i] = Dedup::normalizedTitle(calendars[i].title);
    }
    std::vector<std::uint32_t> parent(n);
    std::iota(parent.begin(), parent.end(), std::uint32_t{0});
    for (std::uint64_t key : pairKeys) {
        const auto i = static_cast<std::uint32_t>(key / n);
        const auto j = static_cast<std::uint32_t>(key % n);
        if (i >= j) {
            continue;
        }
        // Calendars with the same name are likely the same calendar on two accounts, so they
        // need less evidence.
        const bool sameTitle = !calendarTitles[i].empty() && calendarTitles[i] == calendarTitles[j];
        const int minSeries = sameTitle ? rules.sameTitleMinSeries : rules.minSeries;
        const double threshold = sameTitle ? rules.sameTitleShareThreshold : rules.shareThreshold;
        const auto seriesI = static_cast<std::int64_t>(seriesOf[i].size());
        const auto seriesJ = static_cast<std::int64_t>(seriesOf[j].size());
        if (seriesI < minSeries || seriesJ < minSeries) {
            continue;
        }
        if (share(i, j) >= threshold && share(j, i) >= threshold) {
            const std::uint32_t rootI = findRoot(parent, i);
            const std::uint32_t rootJ = findRoot(parent, j);
            if (rootI != rootJ) {
                parent[rootI] = rootJ;
            }
        }
    }

    std::vector<std::vector<std::uint32_t>> sets(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        sets[findRoot(parent, i)].push_back(i);
    }
    // The preferred calendar first: one the user can edit, then one that is not a feed.
    auto preferred = [&](std::uint32_t a, std::uint32_t b) {
        const CalendarInfo& x = calendars[a];
        const CalendarInfo& y = calendars[b];
        if (x.editable != y.editable) {
            return x.editable;
        }
        if (x.subscribed != y.subscribed) {
            return !x.subscribed;
        }
        if (x.title != y.title) {
            return calendar.compareLocalized(x.title, y.title) < 0;
        }
        return x.id < y.id;
    };
    std::vector<std::vector<std::string>> groups;
    for (auto& set : sets) {
        if (set.size() < 2) {
            continue;
        }
        std::stable_sort(set.begin(), set.end(), preferred);
        std::vector<std::string> ids;
        ids.reserve(set.size());
        for (std::uint32_t i : set) {
            ids.push_back(calendars[i].id);
        }
        groups.push_back(std::move(ids));
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const auto& a, const auto& b) { return a.front() < b.front(); });
    return CalendarMirrors(groups);
}

} // namespace plannery::MirrorDetection
