#include "platform/VdirDecodedFiles.h"

#include "platform/IndexCache.h"
#include "platform/VdirMetadata.h"

#include <algorithm>

namespace plannery::vdir {

namespace {

void markCurrentUser(Participant& participant, const std::vector<std::string>& addresses) {
    std::string address = lowered(participant.url);
    if (address.starts_with("mailto:")) {
        address.erase(0, 7);
    }
    participant.isCurrentUser = !address.empty() && std::find(addresses.begin(), addresses.end(),
                                                              address) != addresses.end();
}

// The series of a file, from wherever they can still be had.
std::vector<ics::Series> seriesOf(const IndexedFile& record, const CalendarLocation& location,
                                  IndexCache* cache) {
    std::optional<std::vector<ics::Series>> series;
    if (!record.blob.empty()) {
        series = ics::decode(record.blob);
    }
    if (!series && cache != nullptr) {
        if (const auto bytes =
                cache->blob(location.folder.string(), record.name, record.stamp, record.cacheRow)) {
            series = ics::decode(*bytes);
        }
    }
    if (!series) {
        // Not in the cache any more (another process rebuilt it): the file itself.
        series = parseFile(location.folder / record.name);
    }
    return std::move(series).value_or(std::vector<ics::Series>{});
}

} // namespace

DecodedFiles::DecodedFiles(std::filesystem::path cacheFile, std::size_t kept)
    : m_scan(std::make_shared<const Scan>()), m_cacheFile(std::move(cacheFile)), m_kept(kept) {}

DecodedFiles::~DecodedFiles() = default;
DecodedFiles::DecodedFiles(DecodedFiles&&) noexcept = default;
DecodedFiles& DecodedFiles::operator=(DecodedFiles&&) noexcept = default;

DecodedFiles DecodedFiles::copy() const {
    DecodedFiles result(m_cacheFile, m_kept);
    result.m_scan = m_scan;
    result.m_generation = m_generation;
    result.m_decoded = m_decoded;
    result.m_held = m_held;
    result.m_uses = m_uses;
    return result;
}

void DecodedFiles::adopt(Scan scan) {
    m_scan = std::make_shared<const Scan>(std::move(scan));
    ++m_generation;
    m_decoded.clear();
    m_held = 0;
}

void DecodedFiles::adoptWithFileChanged(Scan scan, std::uint32_t file) {
    m_scan = std::make_shared<const Scan>(std::move(scan));
    ++m_generation;
    if (file < m_decoded.size() && m_decoded[file].decoded) {
        m_decoded[file] = Kept{};
        --m_held;
    }
}

IndexCache* DecodedFiles::index() const {
    if (!m_indexOpened && !m_cacheFile.empty()) {
        m_index = IndexCache::open(m_cacheFile);
    }
    m_indexOpened = true;
    return m_index.get();
}

void DecodedFiles::reopenIndex() {
    m_index.reset();
    m_indexOpened = false;
}

std::shared_ptr<const Decoded> DecodedFiles::decoded(std::uint32_t file) const {
    ++m_uses;
    if (file < m_decoded.size() && m_decoded[file].decoded) {
        m_decoded[file].lastUse = m_uses;
        return m_decoded[file].decoded;
    }
    const auto& record = m_scan->files[file];
    const auto& location = m_scan->calendars[record.calendar].location;
    auto result = std::make_shared<Decoded>();
    result->series = seriesOf(record, location, index());
    // The contents move out of the series: expansion reads only the times, and a long
    // description is then held once.
    for (auto& one : result->series) {
        auto& contents = result->contents.emplace_back();
        // A collection file holds one event; one that holds several names each by its UID too.
        const std::string identifier =
            !location.wholeFile.empty() ? location.calendar->calendarIdentifier + "#" + one.uid
            : result->series.size() == 1
                ? location.calendar->calendarIdentifier + "/" + record.name
                : location.calendar->calendarIdentifier + "/" + record.name + "#" + one.uid;
        for (auto& component : one.components) {
            auto content = std::make_shared<EventContent>(std::move(component.content));
            content->eventIdentifier = identifier;
            content->calendar = location.calendar;
            if (!content->calendarItemExternalIdentifier && !one.uid.empty()) {
                content->calendarItemExternalIdentifier = one.uid;
            }
            if (content->organizer) {
                markCurrentUser(*content->organizer, location.userAddresses);
            }
            for (auto& attendee : content->attendees) {
                markCurrentUser(attendee, location.userAddresses);
            }
            contents.push_back(std::move(content));
        }
    }
    if (m_held >= m_kept) {
        forgetLeastUsed();
    }
    if (file >= m_decoded.size()) {
        m_decoded.resize(std::max<std::size_t>(m_scan->files.size(), file + 1));
    }
    m_decoded[file] = Kept{.decoded = result, .lastUse = m_uses};
    ++m_held;
    return result;
}

bool DecodedFiles::holds(std::uint32_t file) const {
    return file < m_decoded.size() && m_decoded[file].decoded != nullptr;
}

void DecodedFiles::forgetLeastUsed() const {
    if (m_held == 0) {
        return;
    }
    // The older half goes at once, so that forgetting costs a constant share of each decode.
    std::vector<std::uint64_t> uses;
    uses.reserve(m_held);
    for (const Kept& kept : m_decoded) {
        if (kept.decoded) {
            uses.push_back(kept.lastUse);
        }
    }
    // Every use has its own count, so the older half is what was used before the median.
    const auto middle = uses.begin() + static_cast<std::ptrdiff_t>(uses.size() / 2);
    std::nth_element(uses.begin(), middle, uses.end());
    const std::uint64_t oldestKept = *middle;
    for (Kept& kept : m_decoded) {
        if (kept.decoded && kept.lastUse < oldestKept) {
            kept = Kept{};
            --m_held;
        }
    }
}

std::optional<Location> DecodedFiles::locate(const std::string& eventIdentifier) const {
    const auto& scan = *m_scan;
    const auto seriesWithUid = [&](std::uint32_t file,
                                   std::string_view uid) -> std::optional<Location> {
        const auto contents = decoded(file);
        for (std::uint32_t i = 0; i < contents->series.size(); ++i) {
            if (contents->series[i].uid == uid) {
                return Location{.file = file, .series = i};
            }
        }
        return std::nullopt;
    };
    for (const auto& calendar : scan.calendars) {
        const auto& id = calendar.location.calendar->calendarIdentifier;
        if (eventIdentifier.size() <= id.size() + 1 || !eventIdentifier.starts_with(id)) {
            continue;
        }
        const char separator = eventIdentifier[id.size()];
        const std::string rest = eventIdentifier.substr(id.size() + 1);
        if (!calendar.location.wholeFile.empty()) {
            if (separator != '#' || calendar.fileBegin == calendar.fileEnd) {
                continue;
            }
            if (auto found = seriesWithUid(calendar.fileBegin, rest)) {
                return found;
            }
            continue;
        }
        if (separator != '/' || rest.find('/') != std::string::npos) {
            continue;
        }
        const auto begin = scan.files.begin() + calendar.fileBegin;
        const auto end = scan.files.begin() + calendar.fileEnd;
        const auto fileNamed = [&](std::string_view name) -> std::optional<std::uint32_t> {
            const auto found = std::lower_bound(
                begin, end, name, [](const IndexedFile& file, std::string_view wanted) {
                    return file.name < wanted;
                });
            if (found == end || found->name != name) {
                return std::nullopt;
            }
            return static_cast<std::uint32_t>(found - scan.files.begin());
        };
        if (const auto file = fileNamed(rest)) {
            return Location{.file = *file, .series = 0};
        }
        // "name.ics#UID": one of several events in one file (names and UIDs may hold a "#").
        const std::string_view text = rest;
        for (auto hash = text.find('#'); hash != std::string::npos;
             hash = text.find('#', hash + 1)) {
            if (const auto file = fileNamed(text.substr(0, hash))) {
                if (auto found = seriesWithUid(*file, text.substr(hash + 1))) {
                    return found;
                }
            }
        }
    }
    return std::nullopt;
}

} // namespace plannery::vdir
