#include "views/TimeGridSettingsSection.h"

#include "grid/TimeGridMetrics.h"
#include "grid/TimeGridSettings.h"
#include "views/TimeGridBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

namespace plannery {

namespace {

// The spin box's lowest value stands for no chosen height ("Automatic"): the grid then takes its
// own default for the window's size.
constexpr int kAutomaticHeight = static_cast<int>(TimeGridMetrics::minHourHeight) - 1;

QWidget* formOf(QWidget* parent, QFormLayout*& form) {
    auto* widget = new QWidget(parent);
    form = new QFormLayout(widget);
    form->setContentsMargins(0, 0, 0, 0);
    return widget;
}

} // namespace

TimeGridSettingsSection::TimeGridSettingsSection(QSettings& settings, Calendar calendar,
                                                 Instant now, QWidget* parent)
    : SettingsSection(tr("Day & Week Views"), parent), m_settings(settings),
      m_calendar(std::move(calendar)), m_now(now) {
    m_fit = new QCheckBox(tr("Fit Hours to Screen"), this);
    m_fit->setObjectName(QStringLiteral("fitHours"));
    addRow(m_fit);

    QFormLayout* hoursForm = nullptr;
    m_hours = formOf(this, hoursForm);
    m_start = new QComboBox(m_hours);
    m_start->setObjectName(QStringLiteral("fitStartHour"));
    for (const int hour : TimeGridSettings::startHours()) {
        m_start->addItem(
            QString::fromStdString(TimeGridSettings::hourLabel(hour, m_now, m_calendar)), hour);
    }
    m_end = new QComboBox(m_hours);
    m_end->setObjectName(QStringLiteral("fitEndHour"));
    hoursForm->addRow(tr("Start"), m_start);
    hoursForm->addRow(tr("End"), m_end);
    addRow(m_hours);

    QFormLayout* heightForm = nullptr;
    m_height = formOf(this, heightForm);
    m_hourHeight = new QSpinBox(m_height);
    m_hourHeight->setObjectName(QStringLiteral("hourHeight"));
    m_hourHeight->setRange(kAutomaticHeight, static_cast<int>(TimeGridMetrics::maxHourHeight));
    m_hourHeight->setSpecialValueText(tr("Automatic"));
    m_hourHeight->setSuffix(tr(" pt"));
    // Typing "120" stores 120 once, not 1, 12 and 120 on the way.
    m_hourHeight->setKeyboardTracking(false);
    heightForm->addRow(tr("Hour Height"), m_hourHeight);
    addRow(m_height);

    m_footer = setFooterText({});
    m_footer->setObjectName(QStringLiteral("timeGridFooter"));

    // Only the user's own changes are stored: `clicked` and `activated` are not sent when
    // reload() sets the controls.
    connect(m_fit, &QCheckBox::clicked, this, [this](bool fit) {
        TimeGridPreferences preferences = readTimeGridPreferences(m_settings);
        preferences.gridFitHours = fit;
        store(preferences);
    });
    connect(m_start, &QComboBox::activated, this, [this](int index) {
        store(TimeGridSettings::withStart(readTimeGridPreferences(m_settings),
                                          m_start->itemData(index).toInt()));
    });
    connect(m_end, &QComboBox::activated, this, [this](int index) {
        TimeGridPreferences preferences = readTimeGridPreferences(m_settings);
        preferences.gridFitEndHour = m_end->itemData(index).toInt();
        store(preferences);
    });
    connect(m_hourHeight, &QSpinBox::valueChanged, this, [this](int value) {
        store(TimeGridSettings::withHourHeight(readTimeGridPreferences(m_settings),
                                               value == kAutomaticHeight ? 0 : value));
    });

    reload();
}

void TimeGridSettingsSection::reload() {
    const TimeGridPreferences preferences = readTimeGridPreferences(m_settings);
    const TimeGridHourRange shown = TimeGridSettings::shownHours(preferences);
    m_fit->setChecked(preferences.gridFitHours);
    m_start->setCurrentIndex(m_start->findData(shown.start));
    fillEndHours(shown.start);
    m_end->setCurrentIndex(m_end->findData(shown.end));
    {
        const QSignalBlocker blocker(m_hourHeight);
        const std::optional<double> height = preferences.preferredHourHeight();
        m_hourHeight->setValue(
            height ? qRound(std::clamp(height.value(), TimeGridMetrics::minHourHeight,
                                       TimeGridMetrics::maxHourHeight))
                   : kAutomaticHeight);
    }
    m_hours->setVisible(preferences.gridFitHours);
    m_height->setVisible(!preferences.gridFitHours);
    m_footer->setText(QString::fromStdString(TimeGridSettings::footer(preferences.gridFitHours)));
}

void TimeGridSettingsSection::fillEndHours(int start) {
    m_end->clear();
    for (const int hour : TimeGridSettings::endHours(start)) {
        m_end->addItem(QString::fromStdString(TimeGridSettings::hourLabel(hour, m_now, m_calendar)),
                       hour);
    }
}

void TimeGridSettingsSection::store(const TimeGridPreferences& preferences) {
    writeTimeGridPreferences(m_settings, preferences);
    reload();
    emit preferencesChanged();
}

} // namespace plannery
