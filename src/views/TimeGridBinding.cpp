#include "views/TimeGridBinding.h"

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

namespace {

// The preferences applied to the grid, before it is laid out when it is new.
TimeGridView& withPreferences(TimeGridView& view, const QSettings& settings) {
    const TimeGridPreferences preferences = readTimeGridPreferences(settings);
    view.setFitHours(preferences.fitRange());
    if (const std::optional<double> height = preferences.preferredHourHeight()) {
        view.setHourHeight(*height);
    }
    view.setUiTestMarkers(flag(settings, kMarkers).value_or(false));
    return view;
}

} // namespace

TimeGridBinding::TimeGridBinding(TimeGridView& view, CalendarStore& store, QSettings& settings,
                                 Anchor anchor, TimeGridView::Handlers actions, QObject* parent)
    : ViewBinding(withPreferences(view, settings), store, std::move(anchor), parent), m_view(view),
      m_settings(settings) {
    actions.onHourHeightChange = [this](double height) {
        m_settings.setValue(kHourHeight, height);
    };
    m_view.setHandlers(std::move(actions));
}

void TimeGridBinding::preferencesChanged() {
    withPreferences(m_view, m_settings);
}

} // namespace plannery
