#pragma once

#include "grid/ViewMode.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "model/LaunchOptions.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QSettings;
class QUrl;

namespace plannery {

// The times the new-event editor opens with: a dragged-out range, or a start alone.
struct NewEventRange {
    Instant start{};
    std::optional<Instant> end{};

    friend bool operator==(const NewEventRange&, const NewEventRange&) = default;
};

// A view the user left by zooming into one day, and returns to when zooming back.
struct ZoomEntry {
    ViewMode mode = ViewModes::defaultMode;
    Instant anchor{};

    friend bool operator==(const ZoomEntry&, const ZoomEntry&) = default;
};

// The window's navigation: which mode, which day, the days zoomed out of, the selected event and
// which sheet is open, with every command that menus, the toolbar, the title popover, links and
// the views' taps turn into. It draws nothing and knows no view: the views read `anchor()` and
// `mode()` and report the day they scrolled to through `setAnchor`; the window presents a sheet
// while its state is set and clears it when the sheet is dismissed.
//
// Every change of a value is announced by that value's signal, and only when the value really
// changed. A command that moves several values (a zoom changes mode, anchor and zoom stack) stores
// them all before the first signal, so a listener always reads a consistent state.
// The mode is kept in the preferences under "mode" and survives restarts; the rest does not.
// Main thread only.
class NavigationState : public QObject {
    Q_OBJECT

  public:
    struct Setup {
        Calendar calendar;
        // The app's preferences: "mode" is read from and written to them. May be null (nothing
        // is kept).
        QSettings* defaults = nullptr;
        // The start-up day and sheets (see readLaunchOptions).
        LaunchOptions launch{};
        // The clock; the system clock when empty.
        std::function<Instant()> clock{};
    };

    explicit NavigationState(Setup setup, QObject* parent = nullptr);
    ~NavigationState() override;
    NavigationState(const NavigationState&) = delete;
    NavigationState& operator=(const NavigationState&) = delete;

    // The launch options of this run: the command line's launch arguments (those after the
    // program's name that the app's own options left) over the launch preferences "anchor",
    // "showSettings", "showTitlePopover", "imageEventsDemo" and those of the widget gallery in
    // `defaults` (may be null). The options' `problems` are sentences for the user; each bad
    // value was replaced by its default.
    static LaunchOptions readLaunchOptions(const std::vector<std::string>& arguments,
                                           const QSettings* defaults, const Calendar& calendar);

    // The state.
    ViewMode mode() const { return m_mode; }
    // The start of the day the current view is centred on.
    Instant anchor() const { return m_anchor; }
    // The event whose detail sheet is open.
    const std::optional<CalEvent>& selected() const { return m_selected; }
    bool showSettings() const { return m_showSettings; }
    bool showImageEvents() const { return m_showImageEvents; }
    bool showTitlePopover() const { return m_showTitlePopover; }
    // The times the new-event editor is open for; none while it is closed.
    const std::optional<NewEventRange>& newEventRange() const { return m_newEventRange; }
    // The views zoomed out of, the latest last.
    const std::vector<ZoomEntry>& zoomStack() const { return m_zoomStack; }
    const Calendar& calendar() const { return m_calendar; }

    // What the state shows.
    // The day the user is looking at: today when it is on screen, else the anchor's day.
    Instant dayOnScreen() const;
    // The window title: "March 2026"; for the four weeks the months of the page.
    std::string title() const;
    // A mode's name and icon for pickers and menus (the work week's count is this locale's).
    std::string modeTitle(ViewMode mode) const;
    std::string modeSymbolName(ViewMode mode) const;
    // How many days the work week has this week in this locale (5 where Saturday and Sunday are
    // the weekend).
    int workDaysPerWeek() const;
    // Where a new event starts: the next whole hour when looking at today, else 09:00.
    Instant defaultNewEventStart() const;

    // Commands of the menus and the toolbar.
    // The mode pickers: nothing when `mode` is the current one; otherwise forgets the zoom
    // stack, and leaving the four weeks moves the anchor to the day on screen.
    void setMode(ViewMode mode);
    void today();
    // Moves by whole pages of the current mode (-1 Previous, +1 Next).
    void page(int pages);
    // Opens the new-event editor at defaultNewEventStart().
    void newEvent();
    void eventsFromImage();
    void settings();

    // Goes to a day; the agenda, and the work week for a weekend day, switch to the day mode.
    void show(Instant date);
    // A tapped day heading: zooms into that day, or back out of it when already in the day mode.
    void zoomTo(Instant date);
    // Back to the view zoomed out of (or `fallback` on `day` when there is none), on the same
    // page when that page still shows `day`.
    void zoomBack(Instant day, ViewMode fallback);
    // Opens a "plannery://day/..." link: closes the detail sheet and shows the day. Other links
    // are ignored; the result says whether the link was taken.
    bool openURL(const QUrl& url);

    // What the views report, and the sheets' dismissals (none or false closes).
    // The day a view scrolled to (kept as the start of its day).
    void setAnchor(Instant date);
    // A tapped event (opens its detail sheet).
    void setSelected(const std::optional<CalEvent>& event);
    // A time range dragged out in the time grid (opens the new-event editor).
    void setNewEventRange(const std::optional<NewEventRange>& range);
    void setShowSettings(bool show);
    void setShowImageEvents(bool show);
    void setShowTitlePopover(bool show);
    // The image-events sheet closed, with the day of an event it added, if any: shows that day.
    void imageEventsClosed(std::optional<Instant> addedDay);
    // The user's zone or locale changed: the anchor and the zoom stack stay on the same calendar
    // days.
    void setCalendar(const Calendar& calendar);

  signals:
    void modeChanged();
    void anchorChanged();
    void selectedChanged();
    void showSettingsChanged();
    void showImageEventsChanged();
    void showTitlePopoverChanged();
    void newEventRangeChanged();
    void zoomStackChanged();
    // The zone or locale changed (announced after the anchor moved with it).
    void calendarChanged();

  private:
    Instant now() const;
    // Stores mode, anchor and zoom stack together and only then tells what changed, so a
    // listener of any one of them never sees the others half-way.
    void commit(ViewMode mode, Instant anchor, std::vector<ZoomEntry> stack);
    void storeAnchor(Instant dayStart);

    Calendar m_calendar;
    QSettings* m_defaults = nullptr;
    std::function<Instant()> m_clock;
    ViewMode m_mode = ViewModes::defaultMode;
    Instant m_anchor{};
    std::optional<CalEvent> m_selected{};
    bool m_showSettings = false;
    bool m_showImageEvents = false;
    bool m_showTitlePopover = false;
    std::optional<NewEventRange> m_newEventRange{};
    std::vector<ZoomEntry> m_zoomStack{};
};

} // namespace plannery
