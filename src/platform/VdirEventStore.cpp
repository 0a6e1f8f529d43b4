#include "platform/VdirEventStore.h"

#include "platform/Fingerprint.h"
#include "platform/ForeignConfigs.h"
#include "platform/IcsSeries.h"
#include "platform/IndexCache.h"
#include "platform/VdirDecodedFiles.h"
#include "platform/VdirLayout.h"
#include "platform/VdirMetadata.h"
#include "platform/VdirScan.h"
#include "platform/VdirUserAddresses.h"
#include "platform/XdgPaths.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <unordered_set>

namespace plannery {

namespace fs = std::filesystem;

namespace {

// How far past a series' first bound its first occurrence can lie: floating times are bounded
// with the widest zone offsets, so the true start may be over a day later.
constexpr double kFirstOccurrenceSlack = 2 * 86400.0;

fs::path normalRoot(const fs::path& root) {
    std::error_code ignored;
    fs::path path = fs::absolute(root, ignored).lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

StoreEvent storeEvent(const std::shared_ptr<const EventContent>& content,
                      const ics::Occurrence& occurrence) {
    return StoreEvent{.content = content,
                      .startDate = occurrence.start,
                      .endDate = occurrence.end,
                      .occurrenceDate = occurrence.occurrenceDate,
                      .isDetached = occurrence.detached};
}

// The series one query decodes are read in one transaction of the cache.
class ReadBatch {
  public:
    explicit ReadBatch(IndexCache* cache) : m_cache(cache) {
        if (m_cache != nullptr) {
            m_cache->beginRead();
        }
    }
    ~ReadBatch() {
        if (m_cache != nullptr) {
            m_cache->endRead();
        }
    }
    ReadBatch(const ReadBatch&) = delete;
    ReadBatch& operator=(const ReadBatch&) = delete;

  private:
    IndexCache* m_cache;
};

bool sameCalendar(const StoreCalendar& a, const StoreCalendar& b) {
    const auto sourceOf = [](const StoreCalendar& c) {
        return c.source ? std::optional<Source>(*c.source) : std::nullopt;
    };
    return a.calendarIdentifier == b.calendarIdentifier && a.title == b.title &&
           a.color == b.color && a.type == b.type &&
           a.allowsContentModifications == b.allowsContentModifications &&
           sourceOf(a) == sourceOf(b);
}

// Whether two reads of the roots found the same: the same accounts and calendars, and the same
// files with the same stamps (a changed file always has a new stamp).
bool sameCalendars(const vdir::Scan& a, const vdir::Scan& b) {
    if (a.status != b.status || a.files.size() != b.files.size() ||
        a.calendars.size() != b.calendars.size() || a.sources.size() != b.sources.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.sources.size(); ++i) {
        if (*a.sources[i] != *b.sources[i]) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.calendars.size(); ++i) {
        const auto& x = a.calendars[i].location;
        const auto& y = b.calendars[i].location;
        if (!sameCalendar(*x.calendar, *y.calendar) || x.folder != y.folder ||
            x.wholeFile != y.wholeFile || x.userAddresses != y.userAddresses) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.files.size(); ++i) {
        const auto& x = a.files[i];
        const auto& y = b.files[i];
        // A file read just after a change may have changed again without a new stamp: its
        // content tells.
        if (x.calendar != y.calendar || x.name != y.name || x.stamp != y.stamp ||
            (x.racy && x.digest != y.digest)) {
            return false;
        }
    }
    return true;
}

// Whether `path` lies below `folder` (and is not the folder itself).
bool isInside(const fs::path& path, const fs::path& folder) {
    const std::string& text = path.native();
    const std::string& prefix = folder.native();
    return text.size() > prefix.size() && text.starts_with(prefix) &&
           (prefix.ends_with('/') || text[prefix.size()] == '/');
}

fs::path filePath(const vdir::Scan& scan, std::uint32_t file) {
    const auto& calendar = scan.calendars[scan.files[file].calendar].location;
    return calendar.folder / scan.files[file].name;
}

// Lower case, each once.
std::vector<std::string> addressSet(std::vector<std::string> addresses) {
    for (auto& address : addresses) {
        address = vdir::lowered(address);
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

} // namespace

fs::path VdirEventStore::defaultRoot() {
    return xdg::dataHome() / "plannery" / "calendars";
}

fs::path VdirEventStore::defaultCacheFile() {
    return xdg::cacheHome() / "plannery" / "index.sqlite";
}

VdirEventStore::VdirEventStore(VdirOptions options)
    : m_files(std::make_unique<vdir::DecodedFiles>(options.cacheFile, options.decodedFilesKept)),
      m_options(std::move(options)) {
    for (auto& root : m_options.roots) {
        root = normalRoot(root);
    }
    m_options.ownAddresses = addressSet(std::move(m_options.ownAddresses));
    reload();
}

VdirEventStore::VdirEventStore(vdir::DecodedFiles files, VdirOptions options)
    : m_files(std::make_unique<vdir::DecodedFiles>(std::move(files))),
      m_options(std::move(options)) {}

VdirEventStore::~VdirEventStore() = default;

const vdir::Scan& VdirEventStore::scan() const {
    return m_files->scan();
}

void VdirEventStore::reload() {
    m_files->reopenIndex();
    m_files->adopt(
        withUserAddresses(vdir::scan(m_options.roots, m_options.check, m_files->index())));
}

vdir::Scan VdirEventStore::withUserAddresses(vdir::Scan scan) {
    m_foundAddresses = m_options.ownAddresses.empty()
                           ? vdir::findUserAddresses(scan, m_files->index())
                           : std::map<std::string, std::string>{};
    vdir::setUserAddresses(scan, m_options.ownAddresses, m_foundAddresses);
    return scan;
}

void VdirEventStore::setOwnAddresses(std::vector<std::string> addresses) {
    addresses = addressSet(std::move(addresses));
    if (addresses == m_options.ownAddresses) {
        return;
    }
    m_options.ownAddresses = std::move(addresses);
    // Every decoded file goes with the old read: they carry who the current user is.
    m_files->adopt(withUserAddresses(scan()));
    changed();
}

std::vector<fs::path> VdirEventStore::watchedPaths() const {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& root : m_options.roots) {
        if (fs::is_directory(root, error)) {
            paths.push_back(root);
        }
    }
    for (const auto& calendar : scan().calendars) {
        const fs::path& folder = calendar.location.folder;
        if (!calendar.location.wholeFile.empty()) {
            paths.push_back(folder / calendar.location.wholeFile);
        }
        paths.push_back(folder);
        // Up to its root, so that a calendar added anywhere between is seen.
        const auto root = std::find_if(m_options.roots.begin(), m_options.roots.end(),
                                       [&](const fs::path& r) { return isInside(folder, r); });
        if (root != m_options.roots.end()) {
            for (fs::path up = folder.parent_path(); isInside(up, *root); up = up.parent_path()) {
                paths.push_back(up);
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

bool VdirEventStore::reloadIfChanged() {
    return adopt(withUserAddresses(
        vdir::scan(m_options.roots, VdirOptions::Check::everyFile, m_files->index())));
}

struct VdirEventStore::Reload {
    std::uint64_t generation = 0;
    vdir::Scan scan;
    std::map<std::string, std::string> foundAddresses;
};

std::function<std::shared_ptr<VdirEventStore::Reload>()> VdirEventStore::reloadTask() const {
    return [roots = m_options.roots, cacheFile = m_options.cacheFile, own = m_options.ownAddresses,
            generation = m_files->generation()] {
        const auto cache = cacheFile.empty() ? nullptr : IndexCache::open(cacheFile);
        auto reload = std::make_shared<Reload>();
        reload->generation = generation;
        reload->scan = vdir::scan(roots, VdirOptions::Check::everyFile, cache.get());
        if (own.empty()) {
            reload->foundAddresses = vdir::findUserAddresses(reload->scan, cache.get());
        }
        vdir::setUserAddresses(reload->scan, own, reload->foundAddresses);
        return reload;
    };
}

std::optional<bool> VdirEventStore::applyReload(const std::shared_ptr<Reload>& reload) {
    if (!reload || reload->generation != m_files->generation()) {
        return std::nullopt;
    }
    m_foundAddresses = std::move(reload->foundAddresses);
    return adopt(std::move(reload->scan));
}

bool VdirEventStore::adopt(vdir::Scan fresh) {
    if (sameCalendars(scan(), fresh)) {
        return false;
    }
    m_files->adopt(std::move(fresh));
    changed();
    return true;
}

// Of everything a value worked out from the calendars can depend on: the roots, the calendars
// and every file's stamp. nullopt while a file's stamp cannot be trusted to show a change.
std::optional<std::uint64_t> VdirEventStore::fingerprint() const {
    Fingerprint print;
    for (const auto& root : m_options.roots) {
        print.add(root.string());
    }
    for (const auto& calendar : scan().calendars) {
        const auto& handle = *calendar.location.calendar;
        print.add(handle.calendarIdentifier);
        print.add(handle.title);
        print.add(static_cast<std::int64_t>(handle.type) * 2 +
                  (handle.allowsContentModifications ? 1 : 0));
        print.add(handle.source ? handle.source->sourceIdentifier : std::string());
        print.add(static_cast<std::int64_t>(calendar.fileEnd - calendar.fileBegin));
    }
    for (const auto& file : scan().files) {
        if (file.racy) {
            return std::nullopt;
        }
        print.add(file.name);
        print.add(file.stamp.size);
        print.add(file.stamp.mtimeNs);
        print.add(file.stamp.inode);
    }
    return print.value();
}

// Kept as a note of the cache: the fingerprint, a line feed, the value.
std::optional<std::string> VdirEventStore::remembered(const std::string& key) const {
    const auto print = fingerprint();
    IndexCache* cache = m_files->index();
    if (!print || cache == nullptr) {
        return std::nullopt;
    }
    const std::string prefix = std::to_string(*print) + "\n";
    auto note = cache->note(key);
    if (!note || !note->starts_with(prefix)) {
        return std::nullopt;
    }
    return note->substr(prefix.size());
}

void VdirEventStore::remember(const std::string& key, const std::string& value) {
    const auto print = fingerprint();
    if (IndexCache* cache = m_files->index(); print && cache != nullptr) {
        cache->setNote(key, std::to_string(*print) + "\n" + value);
    }
}

const VdirLoadReport& VdirEventStore::loadReport() const {
    return scan().report;
}

std::unique_ptr<EventStore> VdirEventStore::snapshot() const {
    // The copy of the options carries its own calendar (ICU objects are per thread); the cache
    // connection is opened by the snapshot itself, on the thread that uses it.
    return std::unique_ptr<EventStore>(new VdirEventStore(m_files->copy(), m_options));
}

AuthorizationStatus VdirEventStore::authorizationStatus() const {
    return m_options.roots.empty() ? AuthorizationStatus::notDetermined : scan().status;
}

void VdirEventStore::requestFullAccessToEvents(std::function<void(bool granted)> done) {
    if (authorizationStatus() == AuthorizationStatus::notDetermined) {
        // The first start: a local calendar to write in, and whatever other vdir programs here
        // already read or sync.
        const fs::path root = normalRoot(defaultRoot());
        std::error_code error;
        if (!fs::exists(root, error)) {
            const fs::path calendar = root / "local" / "Calendar";
            fs::create_directories(calendar, error);
            std::ofstream(root / "local" / "account.ini") << "type = local\n";
            std::ofstream(calendar / "displayname") << "Calendar\n";
        }
        const auto before = m_options.roots.size();
        auto wanted = vdir::foreignRoots(xdg::configHome(), xdg::home());
        wanted.insert(wanted.begin(), root);
        for (const auto& one : wanted) {
            const auto normal = normalRoot(one);
            if (std::find(m_options.roots.begin(), m_options.roots.end(), normal) ==
                m_options.roots.end()) {
                m_options.roots.push_back(normal);
            }
        }
        reload();
        if (m_options.roots.size() != before && m_options.rootsChanged) {
            m_options.rootsChanged(m_options.roots);
        }
        changed();
    }
    if (done) {
        done(authorizationStatus() == AuthorizationStatus::fullAccess);
    }
}

std::vector<CalendarHandle> VdirEventStore::calendars() const {
    std::vector<CalendarHandle> result;
    for (const auto& calendar : scan().calendars) {
        result.push_back(calendar.location.calendar);
    }
    return result;
}

CalendarHandle VdirEventStore::defaultCalendarForNewEvents() const {
    // The one calendar.ini marks, else the first local one, else the first writable one; the
    // calendars are in the order of their identifiers, which the roots' order does not change.
    CalendarHandle firstLocal;
    CalendarHandle firstWritable;
    for (const auto& calendar : scan().calendars) {
        const auto& handle = calendar.location.calendar;
        if (!handle->allowsContentModifications) {
            continue;
        }
        if (calendar.location.isDefault) {
            return handle;
        }
        if (!firstLocal && handle->type == CalendarType::local) {
            firstLocal = handle;
        }
        if (!firstWritable) {
            firstWritable = handle;
        }
    }
    return firstLocal ? firstLocal : firstWritable;
}

std::vector<SourceHandle> VdirEventStore::sources() const {
    return scan().sources;
}

std::vector<StoreEvent> VdirEventStore::events(Instant start, Instant end,
                                               const std::vector<CalendarHandle>& calendars) const {
    std::vector<StoreEvent> result;
    if (!(start < end) || authorizationStatus() != AuthorizationStatus::fullAccess) {
        return result;
    }
    std::unordered_set<std::string> wanted;
    for (const auto& calendar : calendars) {
        if (calendar) {
            wanted.insert(calendar->calendarIdentifier);
        }
    }
    ReadBatch batch(m_files->index());
    std::vector<ics::Occurrence> occurrences;
    for (const auto& calendar : scan().calendars) {
        if (!wanted.empty() && !wanted.contains(calendar.location.calendar->calendarIdentifier)) {
            continue;
        }
        const auto& series = calendar.series;
        const auto candidates =
            std::partition_point(series.begin(), series.end(), [&](const vdir::IndexedSeries& one) {
                return one.first < end.seconds;
            });
        for (auto one = series.begin(); one != candidates; ++one) {
            if (one->last < start.seconds) {
                continue;
            }
            const auto file = m_files->decoded(one->file);
            if (one->index >= file->series.size()) {
                continue;
            }
            const auto& contents = file->contents[one->index];
            ics::expand(file->series[one->index], start, end, m_options.calendar, occurrences);
            for (const auto& occurrence : occurrences) {
                if (occurrence.component < contents.size()) {
                    result.push_back(storeEvent(contents[occurrence.component], occurrence));
                }
            }
        }
    }
    // Occurrences that tie keep the order of the files and of the series in them whatever the
    // window: the copy that represents merged ones must not change with it. Small keys are
    // sorted rather than the records, which are costly to move.
    struct Key {
        Instant start;
        const std::string* identifier;
        std::uint32_t position;
    };
    std::vector<Key> keys;
    keys.reserve(result.size());
    for (std::size_t i = 0; i < result.size(); ++i) {
        keys.push_back(Key{result[i].startDate, &result[i].eventIdentifier(), std::uint32_t(i)});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.start != b.start) {
            return a.start < b.start;
        }
        if (const int order = a.identifier->compare(*b.identifier); order != 0) {
            return order < 0;
        }
        return a.position < b.position;
    });
    std::vector<StoreEvent> sorted;
    sorted.reserve(result.size());
    for (const Key& key : keys) {
        sorted.push_back(std::move(result[key.position]));
    }
    return sorted;
}

std::optional<StoreEvent> VdirEventStore::firstOccurrence(const vdir::Location& location) const {
    const auto file = m_files->decoded(location.file);
    if (location.series >= file->series.size()) {
        return std::nullopt;
    }
    const auto& series = file->series[location.series];
    const auto bounds = ics::bounds(series);
    // Widening windows: an excluded first date or a sparse rule puts the first occurrence later.
    double span = kFirstOccurrenceSlack;
    for (int attempt = 0; attempt < 6; ++attempt, span *= 16) {
        const Instant from = bounds.first.plus(-1);
        const Instant to = bounds.first.plus(span);
        for (const auto& occurrence : ics::expand(series, from, to, m_options.calendar)) {
            if (occurrence.component < file->contents[location.series].size()) {
                return storeEvent(file->contents[location.series][occurrence.component],
                                  occurrence);
            }
        }
        if (to > bounds.last) {
            break;
        }
    }
    return std::nullopt;
}

std::optional<StoreEvent> VdirEventStore::event(const std::string& eventIdentifier) const {
    if (authorizationStatus() != AuthorizationStatus::fullAccess) {
        return std::nullopt;
    }
    const auto location = m_files->locate(eventIdentifier);
    return location ? firstOccurrence(*location) : std::nullopt;
}

bool VdirEventStore::refresh(StoreEvent& event) const {
    if (!event.content || authorizationStatus() != AuthorizationStatus::fullAccess) {
        return false;
    }
    const auto location = m_files->locate(event.eventIdentifier());
    if (!location || !vdir::statFile(filePath(scan(), location->file))) {
        return false;
    }
    if (!event.occurrenceDate) {
        auto fresh = firstOccurrence(*location);
        if (fresh) {
            event = std::move(*fresh);
        }
        return fresh.has_value();
    }
    // The occurrence keeps its rule date even when it was moved, so it is found by that.
    const auto file = m_files->decoded(location->file);
    if (location->series >= file->series.size()) {
        return false;
    }
    const Instant low = std::min(*event.occurrenceDate, event.startDate);
    const Instant high = std::max(*event.occurrenceDate, event.endDate.value_or(event.startDate));
    const auto& contents = file->contents[location->series];
    for (const auto& occurrence :
         ics::expand(file->series[location->series], low.plus(-kFirstOccurrenceSlack),
                     high.plus(kFirstOccurrenceSlack), m_options.calendar)) {
        if (occurrence.occurrenceDate == event.occurrenceDate &&
            occurrence.component < contents.size()) {
            event = storeEvent(contents[occurrence.component], occurrence);
            return true;
        }
    }
    return false;
}

void VdirEventStore::setChangeHandler(std::function<void()> handler) {
    m_changeHandler = std::move(handler);
}

} // namespace plannery
