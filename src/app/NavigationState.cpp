#include "app/NavigationState.h"

#include "grid/TimeGridDays.h"
#include "model/DeepLink.h"
#include "model/Fmt.h"

#include <QSettings>
#include <QUrl>

#include <cmath>
#include <utility>

namespace plannery {

namespace {

const QString kModeKey = QStringLiteral("mode");

// The launch preferences as text, the way parseLaunchOptions reads them. A value of another kind
// (a list edited in by hand) reads as empty text, which no option accepts.
std::map<std::string, std::string> launchPreferences(const QSettings* defaults) {
    std::map<std::string, std::string> values;
    if (defaults == nullptr) {
        return values;
    }
    for (const char* key : {"anchor", "showSettings", "showTitlePopover", "imageEventsDemo",
                            "widgetGallery", "widgetGalleryPage", "widgetGalleryNow"}) {
        const QString name = QString::fromLatin1(key);
        if (!defaults->contains(name)) {
            continue;
        }
        const QVariant value = defaults->value(name);
        switch (value.metaType().id()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::LongLong:
            values[key] = value.toString().toStdString();
            break;
        default:
            values[key] = std::string();
            break;
        }
    }
    return values;
}

// The stored mode; a value that names no mode (edited by hand, or from a later version) is the
// default rather than an error.
ViewMode storedMode(const QSettings* defaults) {
    if (defaults == nullptr) {
        return ViewModes::defaultMode;
    }
    const QVariant value = defaults->value(kModeKey);
    if (value.metaType().id() != QMetaType::QString &&
        value.metaType().id() != QMetaType::QByteArray) {
        return ViewModes::defaultMode;
    }
    return ViewModes::fromRawValue(value.toString().toStdString()).value_or(ViewModes::defaultMode);
}

} // namespace

NavigationState::NavigationState(Setup setup, QObject* parent)
    : QObject(parent), m_calendar(std::move(setup.calendar)), m_defaults(setup.defaults),
      m_clock(std::move(setup.clock)) {
    if (!m_clock) {
        m_clock = &Instant::now;
    }
    m_mode = storedMode(m_defaults);
    m_anchor = m_calendar.startOfDay(setup.launch.anchor.value_or(now()));
    m_showSettings = setup.launch.showSettings;
    m_showImageEvents = setup.launch.imageEventsDemo;
    m_showTitlePopover = setup.launch.showTitlePopover;
}

NavigationState::~NavigationState() = default;

LaunchOptions NavigationState::readLaunchOptions(const std::vector<std::string>& arguments,
                                                 const QSettings* defaults,
                                                 const Calendar& calendar) {
    return parseLaunchOptions(arguments, launchPreferences(defaults), calendar);
}

Instant NavigationState::now() const {
    return m_clock();
}

Instant NavigationState::dayOnScreen() const {
    return ViewModes::dayOnScreen(m_mode, m_anchor, now(), m_calendar);
}

std::string NavigationState::title() const {
    return ViewModes::navigationTitle(m_mode, m_anchor, m_calendar);
}

std::string NavigationState::modeTitle(ViewMode mode) const {
    return ViewModes::title(mode, workDaysPerWeek());
}

std::string NavigationState::modeSymbolName(ViewMode mode) const {
    return ViewModes::symbolName(mode, workDaysPerWeek());
}

int NavigationState::workDaysPerWeek() const {
    return TimeGridDays::workDaysPerWeek(m_calendar, now());
}

Instant NavigationState::defaultNewEventStart() const {
    return ViewModes::defaultNewEventStart(m_anchor, now(), m_calendar);
}

void NavigationState::setMode(ViewMode mode) {
    if (mode == m_mode) {
        return;
    }
    // The four weeks' anchor is the first day of the page; the day the user saw is what the next
    // mode should open on.
    commit(mode, m_mode == ViewMode::fourWeeks ? dayOnScreen() : m_anchor, {});
}

void NavigationState::today() {
    storeAnchor(m_calendar.startOfDay(now()));
}

void NavigationState::page(int pages) {
    if (const auto anchor = ViewModes::paged(m_mode, m_anchor, pages, m_calendar)) {
        storeAnchor(*anchor);
    }
}

void NavigationState::newEvent() {
    setNewEventRange(NewEventRange{.start = defaultNewEventStart(), .end = std::nullopt});
}

void NavigationState::eventsFromImage() {
    setShowImageEvents(true);
}

void NavigationState::settings() {
    setShowSettings(true);
}

void NavigationState::show(Instant date) {
    if (!std::isfinite(date.seconds)) {
        return;
    }
    const Instant day = m_calendar.startOfDay(date);
    const bool toDay = m_mode == ViewMode::agenda || !ViewModes::showsDay(m_mode, day, m_calendar);
    commit(toDay ? ViewMode::day : m_mode, day, m_zoomStack);
}

void NavigationState::zoomTo(Instant date) {
    if (!std::isfinite(date.seconds)) {
        return;
    }
    const Instant day = m_calendar.startOfDay(date);
    if (m_mode == ViewMode::day) {
        zoomBack(day, ViewMode::threeDay);
        return;
    }
    std::vector<ZoomEntry> stack = m_zoomStack;
    stack.push_back(ZoomEntry{.mode = m_mode, .anchor = m_anchor});
    commit(ViewMode::day, day, std::move(stack));
}

void NavigationState::zoomBack(Instant day, ViewMode fallback) {
    if (!std::isfinite(day.seconds)) {
        return;
    }
    day = m_calendar.startOfDay(day);
    ZoomEntry back{.mode = fallback, .anchor = day};
    std::vector<ZoomEntry> stack = m_zoomStack;
    if (!stack.empty()) {
        back = stack.back();
        stack.pop_back();
    }
    // The page the user left comes back as it was while it still shows the day; the agenda has
    // no page to come back to.
    const DateInterval shown = ViewModes::interval(back.mode, back.anchor, m_calendar);
    const bool stillShown = shown.start <= day && day < shown.end &&
                            back.mode != ViewMode::agenda &&
                            ViewModes::showsDay(back.mode, day, m_calendar);
    commit(back.mode, stillShown ? back.anchor : day, std::move(stack));
}

bool NavigationState::openURL(const QUrl& url) {
    const auto day = DeepLink::parse(url.toString(QUrl::FullyEncoded).toStdString(), m_calendar);
    if (!day) {
        return false;
    }
    setSelected(std::nullopt);
    show(*day);
    return true;
}

void NavigationState::setAnchor(Instant date) {
    if (std::isfinite(date.seconds)) {
        storeAnchor(m_calendar.startOfDay(date));
    }
}

void NavigationState::setSelected(const std::optional<CalEvent>& event) {
    if (event == m_selected) {
        return;
    }
    m_selected = event;
    emit selectedChanged();
}

void NavigationState::setNewEventRange(const std::optional<NewEventRange>& range) {
    if (range == m_newEventRange) {
        return;
    }
    m_newEventRange = range;
    emit newEventRangeChanged();
}

void NavigationState::setShowSettings(bool show) {
    if (show == m_showSettings) {
        return;
    }
    m_showSettings = show;
    emit showSettingsChanged();
}

void NavigationState::setShowImageEvents(bool show) {
    if (show == m_showImageEvents) {
        return;
    }
    m_showImageEvents = show;
    emit showImageEventsChanged();
}

void NavigationState::setShowTitlePopover(bool show) {
    if (show == m_showTitlePopover) {
        return;
    }
    m_showTitlePopover = show;
    emit showTitlePopoverChanged();
}

void NavigationState::imageEventsClosed(std::optional<Instant> addedDay) {
    setShowImageEvents(false);
    if (addedDay) {
        show(*addedDay);
    }
}

void NavigationState::setCalendar(const Calendar& calendar) {
    // The same day key in the new zone: midnight in Berlin is the evening before in UTC, and the
    // user's day must not slip back.
    const auto day = Fmt::parseDayKey(Fmt::dayKey(m_anchor, m_calendar), calendar);
    std::vector<ZoomEntry> stack = m_zoomStack;
    for (ZoomEntry& entry : stack) {
        entry.anchor = Fmt::parseDayKey(Fmt::dayKey(entry.anchor, m_calendar), calendar)
                           .value_or(calendar.startOfDay(entry.anchor));
    }
    const Instant anchor = day.value_or(calendar.startOfDay(m_anchor));
    m_calendar = calendar;
    commit(m_mode, anchor, std::move(stack));
    emit calendarChanged();
}

void NavigationState::commit(ViewMode mode, Instant anchor, std::vector<ZoomEntry> stack) {
    const bool modeMoved = mode != m_mode;
    const bool anchorMoved = anchor != m_anchor;
    const bool stackMoved = stack != m_zoomStack;
    m_mode = mode;
    m_anchor = anchor;
    m_zoomStack = std::move(stack);
    if (modeMoved && m_defaults != nullptr) {
        m_defaults->setValue(kModeKey, QString::fromUtf8(ViewModes::rawValue(mode)));
    }
    if (stackMoved) {
        emit zoomStackChanged();
    }
    if (modeMoved) {
        emit modeChanged();
    }
    if (anchorMoved) {
        emit anchorChanged();
    }
}

void NavigationState::storeAnchor(Instant dayStart) {
    if (dayStart == m_anchor) {
        return;
    }
    m_anchor = dayStart;
    emit anchorChanged();
}

} // namespace plannery
