#include "platform/VdirEventStore.h"

#include "platform/AtomicFile.h"
#include "platform/IcsEdit.h"
#include "platform/IndexCache.h"
#include "platform/VdirDecodedFiles.h"

#include <algorithm>
#include <cstdio>
#include <random>

// The writing half of the vdir event store: saving, removing and answering invitations through
// checked atomic file writes, and patching the index for the one file written.
namespace plannery {

namespace fs = std::filesystem;

namespace {

const char* const kNoAccess = "Plannery has no access to calendars.";
const char* const kGone = "The event no longer exists; a sync may have removed it.";
const char* const kCannotWrite = "The event could not be written.";

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

} // namespace

// A file located for a write, read just now and still as the index knows it.
struct VdirEventStore::Target {
    std::uint32_t calendar = 0;
    vdir::Location location;
    std::string uid;
    fs::path path;
    vdir::FileStamp stamp;
    std::string text;
    bool onlySeries = true; // the file holds no other UID
    std::optional<Instant> firstOccurrenceDate;

    vdir::ReadFile read() const { return vdir::ReadFile{.stamp = stamp, .bytes = text}; }
};

struct VdirEventStore::Opened {
    std::optional<Target> target;
    std::optional<std::string> error;
};

VdirEventStore::Opened VdirEventStore::openForWrite(const StoreEvent& event) {
    if (authorizationStatus() != AuthorizationStatus::fullAccess) {
        return Opened{.target = std::nullopt, .error = kNoAccess};
    }
    const auto location = event.content ? m_files->locate(event.eventIdentifier()) : std::nullopt;
    if (!location) {
        return Opened{.target = std::nullopt, .error = kGone};
    }
    const auto& scan = this->scan();
    const auto& record = scan.files[location->file];
    const auto& calendar = scan.calendars[record.calendar].location;
    if (const auto refusal = readOnly(calendar)) {
        return Opened{.target = std::nullopt, .error = refusal};
    }
    const fs::path path = calendar.folder / record.name;
    // The file must still be the one the index describes; what a sync wrote meanwhile is
    // never overwritten by an edit of what it replaced, but read for the next try. The bytes
    // and the stamp come from one open file, so that a file replaced while read is never
    // paired with the other's stamp.
    auto read = vdir::readStamped(path);
    if (!read || read->stamp != record.stamp) {
        const std::uint32_t calendarIndex = record.calendar;
        const std::string name = record.name; // the record goes with the state read again
        return Opened{.target = std::nullopt, .error = readAgain(calendarIndex, name).error};
    }
    const auto file = m_files->decoded(location->file);
    if (location->series >= file->series.size()) {
        return Opened{.target = std::nullopt, .error = kGone};
    }
    const auto first = firstOccurrence(*location);
    return Opened{.target =
                      Target{.calendar = record.calendar,
                             .location = *location,
                             .uid = file->series[location->series].uid,
                             .path = path,
                             .stamp = read->stamp,
                             .text = std::move(read->text),
                             .onlySeries = file->series.size() == 1,
                             .firstOccurrenceDate = first ? first->occurrenceDate : std::nullopt},
                  .error = std::nullopt};
}

WriteResult VdirEventStore::commit(std::uint32_t calendar, const std::string& name,
                                   const std::optional<std::string>& text,
                                   const std::optional<vdir::ReadFile>& expected) {
    const fs::path path = scan().calendars[calendar].location.folder / name;
    vdir::FileChange change{
        .calendar = calendar, .name = name, .stamp = {}, .bounds = {}, .blob = {}};
    if (text) {
        auto written = vdir::writeFile(path, *text, expected);
        if (!written.stamp) {
            if (expected && written.error == vdir::kChangedOnDisk) {
                return readAgain(calendar, name);
            }
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
        if (removed.error == vdir::kChangedOnDisk) {
            return readAgain(calendar, name);
        }
        return removed;
    }
    patch(change);
    const auto& written = scan().calendars[calendar].location;
    return WriteResult{.error = std::nullopt,
                       .eventIdentifier = written.calendar->calendarIdentifier + "/" + name};
}

// The index and the cache take one file as it now is.
void VdirEventStore::patch(const vdir::FileChange& change) {
    const auto& scan = this->scan();
    const auto begin = scan.files.begin() + scan.calendars[change.calendar].fileBegin;
    const auto end = scan.files.begin() + scan.calendars[change.calendar].fileEnd;
    const auto found = std::lower_bound(
        begin, end, change.name,
        [](const vdir::IndexedFile& f, const std::string& n) { return f.name < n; });
    const bool replaced = found != end && found->name == change.name && change.stamp;
    const auto replacedIndex = static_cast<std::uint32_t>(found - scan.files.begin());
    const std::string folder = scan.calendars[change.calendar].location.folder.string();
    if (replaced) {
        m_files->adoptWithFileChanged(vdir::withFile(scan, change), replacedIndex);
    } else {
        m_files->adopt(vdir::withFile(scan, change)); // file indices moved
    }

    if (IndexCache* cache = m_files->index()) {
        IndexCache::FolderWrite write{
            .folder = folder, .mtimeNs = IndexCache::kUntrusted, .removedFiles = {}, .files = {}};
        if (change.stamp) {
            write.files.push_back(IndexCache::FileWrite{.name = change.name,
                                                        .stamp = *change.stamp,
                                                        .broken = false,
                                                        .bounds = change.bounds,
                                                        .blob = change.blob});
        } else {
            write.removedFiles.push_back(change.name);
        }
        // A busy cache only means the next start looks at this folder again.
        cache->write({write}, {});
    }
}

// A write found its file changed on disk: the index takes the file as it is now (or its
// removal), and the views hear of it, so that the same change tried again builds on it.
WriteResult VdirEventStore::readAgain(std::uint32_t calendar, const std::string& name) {
    const fs::path path = scan().calendars[calendar].location.folder / name;
    vdir::FileChange change{
        .calendar = calendar, .name = name, .stamp = {}, .bounds = {}, .blob = {}};
    const auto stamp = vdir::statFile(path);
    if (stamp) {
        const auto text = vdir::readFile(path);
        if (!text || vdir::statFile(path) != stamp) {
            // Still being written: the folder watcher reads it once the writer is done.
            return WriteResult{.error = std::string(vdir::kChangedOnDisk)};
        }
        change.stamp = stamp;
        const auto series = ics::read(*text).series;
        for (const auto& one : series) {
            change.bounds.push_back(ics::bounds(one));
        }
        change.blob = ics::encode(series);
    }
    patch(change);
    changed();
    return WriteResult{.error = stamp ? std::string(kReadAgain) : std::string(kGone)};
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
    const auto index = calendarIndex(scan(), wanted);
    if (!index) {
        return WriteResult{.error = "There is no calendar to save the event in."};
    }
    if (const auto refusal = readOnly(scan().calendars[*index].location)) {
        return WriteResult{.error = refusal};
    }
    const std::string uid = newUid();
    auto result =
        commit(*index, uid + ".ics",
               ics::edit::newEvent(event, uid, Instant::now(), m_options.calendar), std::nullopt);
    if (result.ok()) {
        changed();
    }
    return result;
}

WriteResult VdirEventStore::moveSeries(const Target& target, const std::string& text,
                                       const CalendarHandle& to) {
    const auto index = calendarIndex(scan(), to);
    if (!index) {
        return WriteResult{.error = "The calendar to move the event to no longer exists."};
    }
    if (const auto refusal = readOnly(scan().calendars[*index].location)) {
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
    auto removed = commit(target.calendar, name, std::nullopt, target.read());
    if (!removed.ok()) {
        const auto newStamp = vdir::statFile(scan().calendars[*index].location.folder / name);
        if (newStamp) {
            commit(*index, name, std::nullopt, vdir::ReadFile{.stamp = *newStamp, .bytes = text});
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
    const auto& from = scan().calendars[target.calendar].location.calendar;
    const bool moves =
        event.calendar() && event.calendar()->calendarIdentifier != from->calendarIdentifier;
    if (moves && !wholeSeries) {
        return WriteResult{.error = "Only a whole series can move to another calendar."};
    }

    WriteResult result;
    if (wholeSeries || span == Span::thisEvent) {
        auto edited = ics::edit::change(target.text, target.uid, before, event,
                                        wholeSeries ? Span::futureEvents : Span::thisEvent,
                                        Instant::now(), calendar);
        if (!edited.text) {
            return WriteResult{.error = edited.error.value_or(kCannotWrite)};
        }
        result = moves ? moveSeries(target, *edited.text, event.calendar())
                       : commit(target.calendar, target.path.filename().string(), edited.text,
                                target.read());
    } else {
        // This and later occurrences become a series of their own, changed as asked.
        const std::string uid = newUid();
        auto split = ics::edit::split(target.text, target.uid, *event.occurrenceDate, uid,
                                      Instant::now(), calendar);
        if (!split.text || !split.newSeries) {
            return WriteResult{.error = split.error.value_or(kCannotWrite)};
        }
        auto edited = ics::edit::change(*split.newSeries, uid, before, event, Span::futureEvents,
                                        Instant::now(), calendar);
        if (!edited.text) {
            return WriteResult{.error = edited.error.value_or(kCannotWrite)};
        }
        result = commit(target.calendar, uid + ".ics", edited.text, std::nullopt);
        if (result.ok()) {
            auto shortened =
                commit(target.calendar, target.path.filename().string(), split.text, target.read());
            if (!shortened.ok()) {
                if (const auto stamp = vdir::statFile(target.path.parent_path() / (uid + ".ics"))) {
                    commit(target.calendar, uid + ".ics", std::nullopt,
                           vdir::ReadFile{.stamp = *stamp, .bytes = *edited.text});
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
            result = commit(target.calendar, name, std::nullopt, target.read());
        } else {
            auto edited = ics::edit::removeSeries(target.text, target.uid);
            result = edited.text ? commit(target.calendar, name, edited.text, target.read())
                                 : WriteResult{.error = edited.error.value_or(kCannotWrite)};
        }
    } else {
        auto edited =
            span == Span::thisEvent
                ? ics::edit::excludeOccurrence(target.text, target.uid, *event.occurrenceDate,
                                               Instant::now(), m_options.calendar)
                : ics::edit::endBefore(target.text, target.uid, *event.occurrenceDate,
                                       Instant::now(), m_options.calendar);
        result = edited.text ? commit(target.calendar, name, edited.text, target.read())
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
    const auto& addresses = scan().calendars[target.calendar].location.userAddresses;
    const auto occurrence =
        span == Span::thisEvent ? event.occurrenceDate : std::optional<Instant>{};
    auto edited = ics::edit::reply(target.text, target.uid, occurrence, addresses, status,
                                   Instant::now(), m_options.calendar);
    if (!edited.text) {
        return WriteResult{.error = edited.error.value_or(kCannotWrite)};
    }
    auto result =
        commit(target.calendar, target.path.filename().string(), edited.text, target.read());
    if (result.ok()) {
        changed();
    }
    return result;
}

} // namespace plannery
