#pragma once

#include "detail/EventDetailInfo.h"
#include "detail/Ics.h"
#include "model/CalEvent.h"
#include "model/CalendarMirrors.h"
#include "model/EventStore.h"

#include <QObject>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

class CalendarStore;

// What the detail sheet of one event shows: the event store's copies behind a (possibly merged)
// event, the information flattened from them, and a calendar file of it kept ready for sharing.
// After `load` it follows the store: whenever the store's revision moves (an edit, a reply, a
// sync), the copies are read again, those that are gone drop out, and the information and the
// share file follow. Lives as long as its sheet, on the main thread; signals fire only on real
// changes.
class EventDetailModel final : public QObject {
    Q_OBJECT

  public:
    // Share files go to `<temporaryFolder>/Share/<UUID>/`. The first model of a process to use a
    // temporary folder removes what earlier runs left in its Share folder. A temporary folder
    // that is not the user's own (PrivateFolder::make) is left alone, and no file is shared.
    explicit EventDetailModel(std::filesystem::path temporaryFolder = defaultTemporaryFolder(),
                              QObject* parent = nullptr);
    // Removes this model's share folder.
    ~EventDetailModel() override;

    EventDetailModel(const EventDetailModel&) = delete;
    EventDetailModel& operator=(const EventDetailModel&) = delete;

    // The user's private runtime folder for the app (xdg::runtimeFolder).
    static std::filesystem::path defaultTemporaryFolder();

    const std::vector<StoreEvent>& copies() const { return m_copies; }
    // None until loaded and when no copy of the event exists (any more).
    const std::optional<EventDetailInfo>& info() const { return m_info; }
    bool loaded() const { return m_loaded; }
    const std::optional<std::filesystem::path>& shareFile() const { return m_shareFile; }
    // Why there is no share file, as a sentence; none while there is one or none was tried.
    const std::optional<std::string>& shareProblem() const { return m_shareProblem; }
    // Empty when the temporary folder was refused.
    const std::filesystem::path& shareDir() const { return m_shareDir; }
    const CalendarMirrors& mirrors() const { return m_mirrors; }
    // The copy the user is looking at (the one last edited); it decides which copies stay
    // together when an edit parts them.
    const std::optional<std::string>& focusID() const { return m_focusID; }
    void setFocusID(std::optional<std::string> eventIdentifier);

    // Finds the copies behind the event in the store and builds the information. Once. After the
    // window has painted, the copies are read on a worker (CalendarStore::readCopies) and
    // `loadedChanged` tells when they are there.
    void load(CalendarStore& store, const CalEvent& event);
    // Reads the copies again, as `load` reads them; nothing before `load`. When reads overlap,
    // the last one asked for wins.
    void refresh();

    // Copy `index` as the store has it now, to edit or answer, handed to `done` as `load` hands
    // over the copies: its occurrence read again, or the copy itself when the store no longer
    // finds it there. False, and `done` is never called, for an index that does not exist.
    bool readOccurrence(int index, std::function<void(StoreEvent)> done);
    // The Google Calendar page of the event when a copy is on Google.
    std::optional<std::string> googleCalendarURL() const;

  signals:
    void copiesChanged();
    void infoChanged();
    void loadedChanged();
    void shareFileChanged(); // also when the share problem changes

  private:
    void show(std::vector<StoreEvent> copies);
    void setCopies(std::vector<StoreEvent> copies);
    void rebuild();
    void setInfo(std::optional<EventDetailInfo> info);

    QPointer<CalendarStore> m_store;
    std::vector<StoreEvent> m_copies;
    std::optional<EventDetailInfo> m_info;
    bool m_loaded = false;
    std::optional<std::filesystem::path> m_shareFile;
    std::optional<std::string> m_shareProblem;
    std::filesystem::path m_shareDir;
    CalendarMirrors m_mirrors;
    std::optional<std::string> m_focusID;
    quint64 m_reading = 0;            // the last read of the copies asked for
    std::optional<IcsEvent> m_shared; // the record last written to m_shareFile
};

} // namespace plannery
