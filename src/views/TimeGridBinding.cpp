#include "views/TimeGridBinding.h"

#include "grid/TimeGridAnchor.h"
#include "store/CalendarStore.h"

#include <QSettings>

#include <cmath>

namespace plannery {

namespace {

constexpr auto kHourHeight = "gridHourHeight";
constexpr auto kFitHours = "gridFitHours";
constexpr auto kFitStart = "gridFitStartHour";
constexpr auto kFitEnd = "gridFitEndHour";
constexpr auto kMarkers = "uiTestMarkers";

std::optional<double> number(const QSettings& settings, const char* key) {
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<bool> flag(const QSettings& settings, const char* key) {
    const QVariant value = settings.value(key);
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1")) {
        return true;
    }
    if (text == QLatin1String("false") || text == QLatin1String("0")) {
        return false;
    }
    return std::nullopt;
}

} // namespace

TimeGridPreferences readTimeGridPreferences(const QSettings& settings) {
    TimeGridPreferences preferences;
    preferences.gridHourHeight = number(settings, kHourHeight).value_or(0);
    preferences.gridFitHours = flag(settings, kFitHours).value_or(preferences.gridFitHours);
    const auto hour = [&](const char* key, int fallback) {
        const std::optional<double> value = number(settings, key);
        return value && *value >= 0 && *value <= 24 ? static_cast<int>(*value) : fallback;
    };
    preferences.gridFitStartHour = hour(kFitStart, preferences.gridFitStartHour);
    preferences.gridFitEndHour = hour(kFitEnd, preferences.gridFitEndHour);
    return preferences;
}

void writeTimeGridPreferences(QSettings& settings, const TimeGridPreferences& preferences) {
    settings.setValue(kHourHeight, preferences.gridHourHeight);
    settings.setValue(kFitHours, preferences.gridFitHours);
    settings.setValue(kFitStart, preferences.gridFitStartHour);
    settings.setValue(kFitEnd, preferences.gridFitEndHour);
}

TimeGridBinding::TimeGridBinding(TimeGridView& view, CalendarStore& store, QSettings& settings,
                                 Anchor anchor, TimeGridView::Handlers actions, QObject* parent)
    : QObject(parent), m_view(view), m_store(store), m_settings(settings),
      m_anchor(std::move(anchor)), m_revision(store.revision()) {
    m_view.setEventsProvider([this](Instant day) { return m_store.events(day); });
    m_view.setCalendarSource([this] { return m_store.calendar(); });
    m_installed = m_anchor.get();
    actions.onAnchorChange = [this](Instant day) { report(day); };
    actions.onHourHeightChange = [this](double height) {
        m_settings.setValue(kHourHeight, height);
    };
    m_view.setHandlers(std::move(actions));
    connect(&m_store, &CalendarStore::revisionChanged, this, [this] {
        if (m_store.revision() != m_revision) {
            m_revision = m_store.revision();
            m_view.reloadData();
        }
    });
    preferencesChanged();
    m_view.setAnchor(m_installed);
}

void TimeGridBinding::report(Instant day) {
    const std::optional<Instant> written =
        TimeGridAnchor::writeBack(m_anchor.get(), m_installed, m_reported, day);
    if (written) {
        m_reported = *written;
        m_installed = *written;
        m_anchor.set(*written);
    }
}

void TimeGridBinding::anchorChanged() {
    m_installed = m_anchor.get();
    m_view.setAnchor(m_installed);
}

void TimeGridBinding::preferencesChanged() {
    const TimeGridPreferences preferences = readTimeGridPreferences(m_settings);
    m_view.setFitHours(preferences.fitRange());
    if (const std::optional<double> height = preferences.preferredHourHeight()) {
        m_view.setHourHeight(*height);
    }
    m_view.setUiTestMarkers(flag(m_settings, kMarkers).value_or(false));
}

} // namespace plannery
