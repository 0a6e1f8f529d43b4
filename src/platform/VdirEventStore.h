#pragma once

#include "model/Calendar.h"
#include "model/EventStore.h"
#include "platform/VdirLayout.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

class IndexCache;

namespace vdir {
class DecodedFiles;
struct Scan;
struct FileChange;
struct Location;
struct ReadFile;
} // namespace vdir

struct VdirOptions {
    // Folders that hold accounts (and whole-calendar .ics files). Missing folders are reported,
    // not created.
    std::vector<std::filesystem::path> roots;
    // The SQLite index cache; empty for none (every file is parsed).
    std::filesystem::path cacheFile;
    // The user's calendar: floating times are read in its zone.
    Calendar calendar;
    // How the first read of the roots compares the files with the index. Every file's size,
    // modification time and inode by default (a file written in place leaves its folder's time
    // as it was); only the folders whose time changed for a quick first look that a full check
    // follows (the app before its first paint). Later reads always check every file.
    enum class Check { changedFolders, everyFile } check = Check::everyFile;
    // Decoded files a handle keeps for later queries; past this the half used longest ago is
    // dropped and decoded again on demand. The default holds the files of two to three months of
    // a busy 20,000-event vdir (a month of it reads some 1,500), so that the months on screen are
    // read again from decoded files after a change, while a window that browses a year does not
    // keep the year decoded.
    std::size_t decodedFilesKept = 4096;
    // The user's own e-mail addresses (the setting, or --email): a participant with one of them
    // is the current user in every calendar. When there are none, each account that names no
    // address of the user's gets the one found in its events.
    std::vector<std::string> ownAddresses{};
    // Told the roots after asking for access added some, so that the caller can keep them.
    std::function<void(const std::vector<std::filesystem::path>&)> rootsChanged{};
};

// What opening the store found, for the command line's messages.
struct VdirLoadReport {
    int filesParsed = 0;
    int filesFromCache = 0;
    std::vector<std::string> brokenFiles;     // paths of files that could not be read as calendars
    std::vector<std::string> unreadableRoots; // sentences
    // Sentences about folders and metadata files that were skipped or read other than as written
    // (a link that loops, a colour file that holds no colour); nothing that stops reading.
    std::vector<std::string> notes;
};

// The event store over calendars kept as vdir folders of .ics files (as vdirsyncer and khal keep
// them), with an index cache so that a start parses only what changed.
class VdirEventStore final : public EventStore {
  public:
    // $XDG_DATA_HOME/plannery/calendars
    static std::filesystem::path defaultRoot();
    // $XDG_CACHE_HOME/plannery/index.sqlite
    static std::filesystem::path defaultCacheFile();

    explicit VdirEventStore(VdirOptions options);
    ~VdirEventStore() override;

    // The sentence of a write that met its file changed on disk by another program: nothing was
    // written, the store has read the new version, and the same change saved again applies to it.
    static constexpr std::string_view kReadAgain =
        "The event was changed on disk by another program (a sync, perhaps) since it was read. "
        "Nothing was saved; the new version has been read, and saving again applies your "
        "changes to it.";

    const VdirLoadReport& loadReport() const;
    const std::vector<std::filesystem::path>& roots() const { return m_options.roots; }
    // What to watch for changes: the roots, every folder from them down to each calendar
    // folder, and the files of calendars kept in one file.
    std::vector<std::filesystem::path> watchedPaths() const;
    // Reads the roots again, checking every file (only changed files are parsed); true, and the
    // change handler called, when anything differs from what the store had.
    bool reloadIfChanged();
    // The same read away from the store's thread: the task runs on any thread (with its own
    // connection to the index cache) and touches nothing of the store; `applyReload`, on the
    // store's thread, then answers as reloadIfChanged does. nullopt when the store changed since
    // the task was made (its own write): the result is dropped, and a new task reads again.
    struct Reload;
    std::function<std::shared_ptr<Reload>()> reloadTask() const;
    std::optional<bool> applyReload(const std::shared_ptr<Reload>& reload);

    // Values worked out from all the calendars (such as the mirror groups of a day), kept in the
    // index cache for as long as no calendar and no file changes. nullopt when none is kept.
    std::optional<std::string> remembered(const std::string& key) const;
    void remember(const std::string& key, const std::string& value);

    // Takes the user's own addresses (as VdirOptions::ownAddresses) from now on; the change
    // handler is called when that changes who the user is.
    void setOwnAddresses(std::vector<std::string> addresses);
    // The address found in the events of each account that names none, by source identifier;
    // empty while the user's own addresses are set.
    const std::map<std::string, std::string>& foundAddresses() const { return m_foundAddresses; }
    // An independent handle on an immutable copy of the current index, for work on another
    // thread (the mirror scan). It shares no mutable state with this store.
    std::unique_ptr<EventStore> snapshot() const;

    AuthorizationStatus authorizationStatus() const override;
    void requestFullAccessToEvents(std::function<void(bool granted)> done) override;
    std::vector<CalendarHandle> calendars() const override;
    CalendarHandle defaultCalendarForNewEvents() const override;
    std::vector<SourceHandle> sources() const override;
    std::vector<StoreEvent>
    events(Instant start, Instant end,
           const std::vector<CalendarHandle>& calendars = {}) const override;
    std::optional<StoreEvent> event(const std::string& eventIdentifier) const override;
    bool refresh(StoreEvent& event) const override;
    WriteResult save(const StoreEvent& event, Span span) override;
    WriteResult remove(const StoreEvent& event, Span span) override;
    WriteResult reply(const StoreEvent& event, ParticipantStatus status, Span span) override;
    void setChangeHandler(std::function<void()> handler) override;

  private:
    struct Target;
    struct Opened;

    VdirEventStore(vdir::DecodedFiles files, VdirOptions options);
    const vdir::Scan& scan() const;
    void reload();
    bool adopt(vdir::Scan fresh);
    std::optional<std::uint64_t> fingerprint() const;
    // The scan with each calendar's user addresses, finding the accounts' addresses when needed.
    vdir::Scan withUserAddresses(vdir::Scan scan);
    std::optional<StoreEvent> firstOccurrence(const vdir::Location& location) const;
    Opened openForWrite(const StoreEvent& event);
    WriteResult commit(std::uint32_t calendar, const std::string& name,
                       const std::optional<std::string>& text,
                       const std::optional<vdir::ReadFile>& expected);
    void patch(const vdir::FileChange& change);
    WriteResult readAgain(std::uint32_t calendar, const std::string& name);
    WriteResult saveNew(const StoreEvent& event);
    WriteResult moveSeries(const Target& target, const std::string& text, const CalendarHandle& to);
    void changed();

    // The current read of the roots with the files decoded from it so far, and the connection
    // that reads series from the index cache: per handle, never shared.
    std::unique_ptr<vdir::DecodedFiles> m_files;
    VdirOptions m_options;
    std::function<void()> m_changeHandler;
    std::map<std::string, std::string> m_foundAddresses;
};

} // namespace plannery
