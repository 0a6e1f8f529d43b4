#include "platform/VdirEventStore.h"

#include "platform/AtomicFile.h"
#include "platform/ForeignConfigs.h"
#include "platform/IcsEdit.h"
#include "platform/IcsSeries.h"
#include "platform/IndexCache.h"
#include "platform/VdirLayout.h"
#include "platform/VdirScan.h"
#include "platform/XdgPaths.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <limits>
#include <random>
#include <unordered_set>

namespace plannery {

namespace fs = std::filesystem;

struct VdirEventStore::State {
    vdir::Scan scan;
};

// One file's series with, per component, the content every occurrence of it shares.
struct VdirEventStore::Decoded {
    std::vector<ics::Series> series; // times and rules; each component's content is moved out
    // into `contents`, where the occurrences share it.
    std::vector<std::vector<std::shared_ptr<const EventContent>>> contents;
};

struct VdirEventStore::Location {
    std::uint32_t file = 0;
    std::uint32_t series = 0;
};

namespace {

const char* const kNoAccess = "Plannery has no access to calendars.";
const char* const kGone = "The event no longer exists; a sync may have removed it.";
const char* const kCannotWrite = "The event could not be written.";

// Decoded files kept per handle; past this all of them are dropped and decoded again on demand,
// so a long session that browses many months does not grow without end. Three months of a busy
// 20,000-file vdir (what a mirror scan reads) stay inside it, so the month read after a scan
// finds its files decoded.
constexpr std::size_t kMaxDecodedFiles = 16384;

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

void markCurrentUser(Participant& participant, const std::vector<std::string>& addresses) {
    std::string address = vdir::lowered(participant.url);
    if (address.starts_with("mailto:")) {
        address.erase(0, 7);
    }
    participant.isCurrentUser = !address.empty() && std::find(addresses.begin(), addresses.end(),
                                                              address) != addresses.end();
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

// Calendars kept in one file are published by someone else (subscriptions); others say so in
// their calendar.ini or are of a kind nobody writes (birthdays).
std::optional<std::string> readOnly(const vdir::CalendarLocation& location) {
    if (location.wholeFile.empty() && location.calendar->allowsContentModifications) {
        return std::nullopt;
    }
    return "The calendar “" + location.calendar->title + "” is read-only.";
}

// A fresh UID in the usual form (random, version 4), also the name of its file.
std::string newUid() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::uint64_t high = (random() & ~0xF000ULL) | 0x4000ULL;
    const std::uint64_t low = (random() & ~(3ULL << 62)) | (2ULL << 62);
    char text[37];
    std::snprintf(text, sizeof text, "%08llX-%04llX-%04llX-%04llX-%012llX",
                  static_cast<unsigned long long>(high >> 32),
                  static_cast<unsigned long long>((high >> 16) & 0xFFFF),
                  static_cast<unsigned long long>(high & 0xFFFF),
                  static_cast<unsigned long long>(low >> 48),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
    return text;
}

std::optional<std::uint32_t> calendarIndex(const vdir::Scan& scan, const CalendarHandle& calendar) {
    if (!calendar) {
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < scan.calendars.size(); ++i) {
        if (scan.calendars[i].location.calendar->calendarIdentifier ==
            calendar->calendarIdentifier) {
            return i;
        }
    }
    return std::nullopt;
}

Instant now() {
    using namespace std::chrono;
    return Instant{duration<double>(system_clock::now().time_since_epoch()).count()};
}

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
        if (x.calendar != y.calendar || x.name != y.name || x.stamp != y.stamp) {
            return false;
        }
    }
    return true;
}

fs::path filePath(const vdir::Scan& scan, std::uint32_t file) {
    const auto& calendar = scan.calendars[scan.files[file].calendar].location;
    return calendar.folder / scan.files[file].name;
}

} // namespace

fs::path VdirEventStore::defaultRoot() {
    return xdg::dataHome() / "plannery" / "calendars";
}

fs::path VdirEventStore::defaultCacheFile() {
    return xdg::cacheHome() / "plannery" / "index.sqlite";
}

VdirEventStore::VdirEventStore(VdirOptions options) : m_options(std::move(options)) {
    for (auto& root : m_options.roots) {
        root = normalRoot(root);
    }
    reload();
}

VdirEventStore::VdirEventStore(std::shared_ptr<const State> state, VdirOptions options,
                               DecodedFiles decoded)
    : m_state(std::move(state)), m_options(std::move(options)), m_decoded(std::move(decoded)) {}

VdirEventStore::~VdirEventStore() = default;

void VdirEventStore::reload() {
    if (!m_options.cacheFile.empty()) {
        m_reader = IndexCache::open(m_options.cacheFile);
    }
    m_readerOpened = true;
    auto state = std::make_shared<State>();
    state->scan = vdir::scan(m_options.roots, m_options.check, m_reader.get());
    m_state = std::move(state);
    m_decoded.clear();
}

std::vector<fs::path> VdirEventStore::watchedPaths() const {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& root : m_options.roots) {
        if (fs::is_directory(root, error)) {
            paths.push_back(root);
        }
    }
    for (const auto& calendar : m_state->scan.calendars) {
        const auto& location = calendar.location;
        if (!location.wholeFile.empty()) {
            paths.push_back(location.folder / location.wholeFile);
            continue;
        }
        paths.push_back(location.folder);
        paths.push_back(location.folder.parent_path()); // the account
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

bool VdirEventStore::reloadIfChanged() {
    auto fresh = vdir::scan(m_options.roots, m_options.check, reader());
    if (sameCalendars(m_state->scan, fresh)) {
        return false;
    }
    auto state = std::make_shared<State>();
    state->scan = std::move(fresh);
    m_state = std::move(state);
    m_decoded.clear();
    changed();
    return true;
}

const VdirLoadReport& VdirEventStore::loadReport() const {
    return m_state->scan.report;
}

std::unique_ptr<EventStore> VdirEventStore::snapshot() const {
    // The copy of the options carries its own calendar (ICU objects are per thread); the cache
    // connection is opened by the snapshot itself, on the thread that uses it.
    return std::unique_ptr<EventStore>(new VdirEventStore(m_state, m_options, m_decoded));
}

AuthorizationStatus VdirEventStore::authorizationStatus() const {
    return m_options.roots.empty() ? AuthorizationStatus::notDetermined : m_state->scan.status;
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
    for (const auto& calendar : m_state->scan.calendars) {
        result.push_back(calendar.location.calendar);
    }
    return result;
}

CalendarHandle VdirEventStore::defaultCalendarForNewEvents() const {
    CalendarHandle firstWritable;
    for (const auto& calendar : m_state->scan.calendars) {
        const auto& handle = calendar.location.calendar;
        if (!handle->allowsContentModifications) {
            continue;
        }
        if (handle->type == CalendarType::local) {
            return handle;
        }
        if (!firstWritable) {
            firstWritable = handle;
        }
    }
    return firstWritable;
}

std::vector<SourceHandle> VdirEventStore::sources() const {
    return m_state->scan.sources;
}

IndexCache* VdirEventStore::reader() const {
    if (!m_readerOpened && !m_options.cacheFile.empty()) {
        m_reader = IndexCache::open(m_options.cacheFile);
    }
    m_readerOpened = true;
    return m_reader.get();
}

std::shared_ptr<const VdirEventStore::Decoded> VdirEventStore::decoded(std::uint32_t file) const {
    if (const auto found = m_decoded.find(file); found != m_decoded.end()) {
        return found->second;
    }
    const auto& scan = m_state->scan;
    const auto& record = scan.files[file];
    const auto& location = scan.calendars[record.calendar].location;
    std::optional<std::vector<ics::Series>> series;
    if (!record.blob.empty()) {
        series = ics::decode(record.blob);
    }
    if (!series) {
        if (IndexCache* cache = reader()) {
            if (const auto bytes = cache->blob(location.folder.string(), record.name, record.stamp,
                                               record.cacheRow)) {
                series = ics::decode(*bytes);
            }
        }
    }
    if (!series) {
        // Not in the cache any more (another process rebuilt it): the file itself.
        series = vdir::parseFile(location.folder / record.name);
    }
    auto result = std::make_shared<Decoded>();
    result->series = std::move(series).value_or(std::vector<ics::Series>{});
    // The contents move out of the series: expansion reads only the times, and a long
    // description is then held once.
    for (auto& one : result->series) {
        auto& contents = result->contents.emplace_back();
        for (auto& component : one.components) {
            auto content = std::make_shared<EventContent>(std::move(component.content));
            content->eventIdentifier =
                location.wholeFile.empty()
                    ? location.calendar->calendarIdentifier + "/" + record.name
                    : location.calendar->calendarIdentifier + "#" + one.uid;
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
    if (m_decoded.size() >= kMaxDecodedFiles) {
        m_decoded.clear();
    }
    m_decoded.emplace(file, result);
    return result;
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
    ReadBatch batch(reader());
    for (const auto& calendar : m_state->scan.calendars) {
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
            const auto file = decoded(one->file);
            if (one->index >= file->series.size()) {
                continue;
            }
            const auto& contents = file->contents[one->index];
            for (const auto& occurrence :
                 ics::expand(file->series[one->index], start, end, m_options.calendar)) {
                if (occurrence.component < contents.size()) {
                    result.push_back(storeEvent(contents[occurrence.component], occurrence));
                }
            }
        }
    }
    std::sort(result.begin(), result.end(), [](const StoreEvent& a, const StoreEvent& b) {
        if (a.startDate != b.startDate) {
            return a.startDate < b.startDate;
        }
        return a.eventIdentifier() < b.eventIdentifier();
    });
    return result;
}

std::optional<VdirEventStore::Location>
VdirEventStore::locate(const std::string& eventIdentifier) const {
    const auto& scan = m_state->scan;
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
            const auto file = decoded(calendar.fileBegin);
            for (std::uint32_t i = 0; i < file->series.size(); ++i) {
                if (file->series[i].uid == rest) {
                    return Location{.file = calendar.fileBegin, .series = i};
                }
            }
            continue;
        }
        if (separator != '/' || rest.find('/') != std::string::npos) {
            continue;
        }
        const auto begin = scan.files.begin() + calendar.fileBegin;
        const auto end = scan.files.begin() + calendar.fileEnd;
        const auto found = std::lower_bound(
            begin, end, rest, [](const vdir::IndexedFile& file, const std::string& name) {
                return file.name < name;
            });
        if (found != end && found->name == rest) {
            return Location{.file = static_cast<std::uint32_t>(found - scan.files.begin()),
                            .series = 0};
        }
    }
    return std::nullopt;
}

std::optional<StoreEvent> VdirEventStore::firstOccurrence(const Location& location) const {
    const auto file = decoded(location.file);
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
    const auto location = locate(eventIdentifier);
    return location ? firstOccurrence(*location) : std::nullopt;
}

bool VdirEventStore::refresh(StoreEvent& event) const {
    if (!event.content || authorizationStatus() != AuthorizationStatus::fullAccess) {
        return false;
    }
    const auto location = locate(event.eventIdentifier());
    if (!location || !vdir::statFile(filePath(m_state->scan, location->file))) {
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
    const auto file = decoded(location->file);
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

// A file located for a write, read just now and still as the index knows it.
struct VdirEventStore::Target {
    std::uint32_t calendar = 0;
    Location location;
    std::string uid;
    fs::path path;
    vdir::FileStamp stamp;
    std::string text;
    bool onlySeries = true; // the file holds no other UID
    std::optional<Instant> firstOccurrenceDate;
};

struct VdirEventStore::Opened {
    std::optional<Target> target;
    std::optional<std::string> error;
};

VdirEventStore::Opened VdirEventStore::openForWrite(const StoreEvent& event) const {
    if (authorizationStatus() != AuthorizationStatus::fullAccess) {
        return Opened{.target = std::nullopt, .error = kNoAccess};
    }
    const auto location = event.content ? locate(event.eventIdentifier()) : std::nullopt;
    if (!location) {
        return Opened{.target = std::nullopt, .error = kGone};
    }
    const auto& scan = m_state->scan;
    const auto& record = scan.files[location->file];
    const auto& calendar = scan.calendars[record.calendar].location;
    if (const auto refusal = readOnly(calendar)) {
        return Opened{.target = std::nullopt, .error = refusal};
    }
    const fs::path path = calendar.folder / record.name;
    // The file must still be the one the index describes; what a sync wrote meanwhile is
    // never overwritten by an edit of what it replaced.
    const auto before = vdir::statFile(path);
    if (!before) {
        return Opened{.target = std::nullopt, .error = kGone};
    }
    auto text = vdir::readFile(path);
    if (*before != record.stamp || !text || vdir::statFile(path) != before) {
        return Opened{.target = std::nullopt, .error = std::string(vdir::kChangedOnDisk)};
    }
    const auto file = decoded(location->file);
    if (location->series >= file->series.size()) {
        return Opened{.target = std::nullopt, .error = kGone};
    }
    const auto first = firstOccurrence(*location);
    return Opened{.target =
                      Target{.calendar = record.calendar,
                             .location = *location,
                             .uid = file->series[location->series].uid,
                             .path = path,
                             .stamp = *before,
                             .text = std::move(*text),
                             .onlySeries = file->series.size() == 1,
                             .firstOccurrenceDate = first ? first->occurrenceDate : std::nullopt},
                  .error = std::nullopt};
}

WriteResult VdirEventStore::commit(std::uint32_t calendar, const std::string& name,
                                   const std::optional<std::string>& text,
                                   const std::optional<vdir::FileStamp>& expected) {
    const auto& location = m_state->scan.calendars[calendar].location;
    const fs::path path = location.folder / name;
    vdir::FileChange change{
        .calendar = calendar, .name = name, .stamp = {}, .bounds = {}, .blob = {}};
    if (text) {
        auto written = vdir::writeFile(path, *text, expected);
        if (!written.stamp) {
            return WriteResult{.error = written.error.value_or(kCannotWrite)};
        }
        change.stamp = written.stamp;
        // What was written is read back exactly as a start would read it, so the index and the
        // file cannot disagree.
        const auto series = ics::read(*text).series;
        for (const auto& one : series) {
            change.bounds.push_back(ics::bounds(one));
        }
        change.blob = ics::encode(series);
    } else if (!expected) {
        return WriteResult{.error = kCannotWrite};
    } else if (auto removed = vdir::removeFile(path, *expected); !removed.ok()) {
        return removed;
    }

    const auto& scan = m_state->scan;
    const auto begin = scan.files.begin() + scan.calendars[calendar].fileBegin;
    const auto end = scan.files.begin() + scan.calendars[calendar].fileEnd;
    const auto found =
        std::lower_bound(begin, end, name, [](const vdir::IndexedFile& f, const std::string& n) {
            return f.name < n;
        });
    const bool replaced = found != end && found->name == name && change.stamp;
    auto state = std::make_shared<State>();
    state->scan = vdir::withFile(scan, change);
    if (replaced) {
        m_decoded.erase(static_cast<std::uint32_t>(found - scan.files.begin()));
    } else {
        m_decoded.clear(); // file indices moved
    }
    m_state = std::move(state);

    if (IndexCache* cache = reader()) {
        IndexCache::FolderWrite write{.folder = location.folder.string(),
                                      .mtimeNs = IndexCache::kUntrusted,
                                      .removedFiles = {},
                                      .files = {}};
        if (change.stamp) {
            write.files.push_back(IndexCache::FileWrite{.name = name,
                                                        .stamp = *change.stamp,
                                                        .broken = false,
                                                        .bounds = change.bounds,
                                                        .blob = change.blob});
        } else {
            write.removedFiles.push_back(name);
        }
        // A busy cache only means the next start looks at this folder again.
        cache->write({write}, {});
    }
    const auto& written = m_state->scan.calendars[calendar].location;
    return WriteResult{.error = std::nullopt,
                       .eventIdentifier = written.calendar->calendarIdentifier + "/" + name};
}

void VdirEventStore::changed() {
    if (m_changeHandler) {
        m_changeHandler();
    }
}

WriteResult VdirEventStore::saveNew(const StoreEvent& event) {
    if (authorizationStatus() != AuthorizationStatus::fullAccess) {
        return WriteResult{.error = kNoAccess};
    }
    const CalendarHandle wanted =
        event.calendar() ? event.calendar() : defaultCalendarForNewEvents();
    const auto index = calendarIndex(m_state->scan, wanted);
    if (!index) {
        return WriteResult{.error = "There is no calendar to save the event in."};
    }
    if (const auto refusal = readOnly(m_state->scan.calendars[*index].location)) {
        return WriteResult{.error = refusal};
    }
    const std::string uid = newUid();
    auto result = commit(*index, uid + ".ics",
                         ics::edit::newEvent(event, uid, now(), m_options.calendar), std::nullopt);
    if (result.ok()) {
        changed();
    }
    return result;
}

WriteResult VdirEventStore::moveSeries(const Target& target, const std::string& text,
                                       const CalendarHandle& to) {
    const auto index = calendarIndex(m_state->scan, to);
    if (!index) {
        return WriteResult{.error = "The calendar to move the event to no longer exists."};
    }
    if (const auto refusal = readOnly(m_state->scan.calendars[*index].location)) {
        return WriteResult{.error = refusal};
    }
    if (!target.onlySeries) {
        return WriteResult{.error = "This event shares its file with other events and cannot "
                                    "move to another calendar."};
    }
    const std::string name = target.path.filename().string();
    auto added = commit(*index, name, text, std::nullopt);
    if (!added.ok()) {
        return added;
    }
    // The old file goes only when the new one is safely written; should that fail, the new
    // copy is taken back so that the event is not doubled. (Writes move file indices, never
    // calendar indices.)
    auto removed = commit(target.calendar, name, std::nullopt, target.stamp);
    if (!removed.ok()) {
        const auto newStamp =
            vdir::statFile(m_state->scan.calendars[*index].location.folder / name);
        if (newStamp) {
            commit(*index, name, std::nullopt, *newStamp);
        }
        return removed;
    }
    return added;
}

WriteResult VdirEventStore::save(const StoreEvent& event, Span span) {
    if (!event.content || event.eventIdentifier().empty()) {
        return saveNew(event);
    }
    auto opened = openForWrite(event);
    if (!opened.target) {
        return WriteResult{.error = opened.error};
    }
    const Target& target = *opened.target;
    StoreEvent before = event;
    if (!refresh(before)) {
        return WriteResult{.error = kGone};
    }
    const auto& calendar = m_options.calendar;
    const bool repeating = event.occurrenceDate.has_value();
    const bool wholeSeries = !repeating || (span == Span::futureEvents &&
                                            event.occurrenceDate == target.firstOccurrenceDate);
    const auto& from = m_state->scan.calendars[target.calendar].location.calendar;
    const bool moves =
        event.calendar() && event.calendar()->calendarIdentifier != from->calendarIdentifier;
    if (moves && !wholeSeries) {
        return WriteResult{.error = "Only a whole series can move to another calendar."};
    }

    WriteResult result;
    if (wholeSeries || span == Span::thisEvent) {
        auto edited =
            ics::edit::change(target.text, target.uid, before, event,
                              wholeSeries ? Span::futureEvents : Span::thisEvent, now(), calendar);
        if (!edited.text) {
            return WriteResult{.error = edited.error.value_or(kCannotWrite)};
        }
        result = moves ? moveSeries(target, *edited.text, event.calendar())
                       : commit(target.calendar, target.path.filename().string(), edited.text,
                                target.stamp);
    } else {
        // This and later occurrences become a series of their own, changed as asked.
        const std::string uid = newUid();
        auto split =
            ics::edit::split(target.text, target.uid, *event.occurrenceDate, uid, now(), calendar);
        if (!split.text || !split.newSeries) {
            return WriteResult{.error = split.error.value_or(kCannotWrite)};
        }
        auto edited = ics::edit::change(*split.newSeries, uid, before, event, Span::futureEvents,
                                        now(), calendar);
        if (!edited.text) {
            return WriteResult{.error = edited.error.value_or(kCannotWrite)};
        }
        result = commit(target.calendar, uid + ".ics", edited.text, std::nullopt);
        if (result.ok()) {
            auto shortened =
                commit(target.calendar, target.path.filename().string(), split.text, target.stamp);
            if (!shortened.ok()) {
                if (const auto stamp = vdir::statFile(target.path.parent_path() / (uid + ".ics"))) {
                    commit(target.calendar, uid + ".ics", std::nullopt, *stamp);
                }
                result = shortened;
            }
        }
    }
    if (result.ok()) {
        changed();
    }
    return result;
}

WriteResult VdirEventStore::remove(const StoreEvent& event, Span span) {
    auto opened = openForWrite(event);
    if (!opened.target) {
        return WriteResult{.error = opened.error};
    }
    const Target& target = *opened.target;
    const std::string name = target.path.filename().string();
    const bool repeating = event.occurrenceDate.has_value();
    WriteResult result;
    if (!repeating ||
        (span == Span::futureEvents && event.occurrenceDate == target.firstOccurrenceDate)) {
        if (target.onlySeries) {
            result = commit(target.calendar, name, std::nullopt, target.stamp);
        } else {
            auto edited = ics::edit::removeSeries(target.text, target.uid);
            result = edited.text ? commit(target.calendar, name, edited.text, target.stamp)
                                 : WriteResult{.error = edited.error.value_or(kCannotWrite)};
        }
    } else {
        auto edited =
            span == Span::thisEvent
                ? ics::edit::excludeOccurrence(target.text, target.uid, *event.occurrenceDate,
                                               now(), m_options.calendar)
                : ics::edit::endBefore(target.text, target.uid, *event.occurrenceDate, now(),
                                       m_options.calendar);
        result = edited.text ? commit(target.calendar, name, edited.text, target.stamp)
                             : WriteResult{.error = edited.error.value_or(kCannotWrite)};
    }
    if (result.ok()) {
        result.eventIdentifier = event.eventIdentifier();
        changed();
    }
    return result;
}

WriteResult VdirEventStore::reply(const StoreEvent& event, ParticipantStatus status, Span span) {
    if (event.content && std::none_of(event.attendees().begin(), event.attendees().end(),
                                      [](const Participant& p) { return p.isCurrentUser; })) {
        return WriteResult{.error = "You are not among the people invited to this event."};
    }
    auto opened = openForWrite(event);
    if (!opened.target) {
        return WriteResult{.error = opened.error};
    }
    const Target& target = *opened.target;
    const auto& addresses = m_state->scan.calendars[target.calendar].location.userAddresses;
    const auto occurrence =
        span == Span::thisEvent ? event.occurrenceDate : std::optional<Instant>{};
    auto edited = ics::edit::reply(target.text, target.uid, occurrence, addresses, status, now(),
                                   m_options.calendar);
    if (!edited.text) {
        return WriteResult{.error = edited.error.value_or(kCannotWrite)};
    }
    auto result =
        commit(target.calendar, target.path.filename().string(), edited.text, target.stamp);
    if (result.ok()) {
        changed();
    }
    return result;
}

void VdirEventStore::setChangeHandler(std::function<void()> handler) {
    m_changeHandler = std::move(handler);
}

} // namespace plannery
