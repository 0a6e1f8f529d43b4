#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/EventFetcher.h"
#include "model/EventStore.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace plannery {

// The days of one month, each with its events in display order; the lists are shared and never
// changed once made.
struct MonthDays {
    using EventList = std::shared_ptr<const std::vector<CalEvent>>;

    DateInterval month;
    std::vector<std::pair<Instant, EventList>> days;

    // Reads the month from `store` and cuts it into days: the work of a load, on whichever thread
    // owns `store` and `calendar`.
    static MonthDays read(const EventStore& store, DateInterval month, const FetchOptions& options,
                          const Calendar& calendar);
};

// Loads months of events on a worker thread, one at a time, from a handle of the event store
// that only the worker uses (a snapshot, made again after the store changed). The months wished
// for last go first; only a few wait, older wishes fall off, so paging fast does not pile up
// work. A load that `restart` overtook is dropped when it ends. Lives on the main thread.
class MonthLoader final : public QObject {
    Q_OBJECT

  public:
    // Makes the worker's handle; null when none can be made (nothing is loaded then).
    using MakeHandle = std::function<std::unique_ptr<EventStore>()>;
    // Hands over a loaded month, on the main thread.
    using Publish = std::function<void(MonthDays)>;

    // How many months wait at most, besides the one being loaded.
    static constexpr std::size_t kWaiting = 8;

    MonthLoader(MakeHandle makeHandle, Publish publish, QObject* parent = nullptr);
    ~MonthLoader() override;

    // Months to load, the most wanted first, read with these options in this calendar; they go
    // before the months still waiting. A month being loaded is not asked for twice.
    void want(const std::vector<DateInterval>& months, const FetchOptions& options,
              const Calendar& calendar);
    // What was asked for no longer holds: the waiting months are forgotten and the load under
    // way is dropped when it ends. With `newHandle`, the next load reads from a new snapshot
    // (the data changed).
    void restart(bool newHandle);

    bool busy() const { return m_loading.has_value(); }
    std::optional<Instant> loading() const { return m_loading; }
    std::vector<Instant> waiting() const;

  private:
    void startNext();

    MakeHandle m_makeHandle;
    Publish m_publish;
    std::shared_ptr<const EventStore> m_handle;
    std::vector<DateInterval> m_waiting;
    std::optional<Instant> m_loading; // the start of the month under way
    quint64 m_loadingGeneration = 0;  // the generation it was begun in
    quint64 m_generation = 0;
    // What the waiting months are read with; set by `want`.
    FetchOptions m_options;
    std::optional<Calendar> m_calendar;
};

} // namespace plannery
