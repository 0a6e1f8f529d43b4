#include "detail/EventEditAlerts.h"

#include "detail/DetailFormat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace plannery::EventEdit {

namespace {

constexpr double kMinute = 60;
constexpr double kHour = 60 * kMinute;
constexpr double kDay = 24 * kHour;

constexpr std::array<double, 10> kTimedOffsets{
    0,          -5 * kMinute, -10 * kMinute, -15 * kMinute, -30 * kMinute,
    -1 * kHour, -2 * kHour,   -1 * kDay,     -2 * kDay,     -7 * kDay,
};
// An all-day event's alerts count from the start of its day: 9:00 on it, on the days before.
constexpr std::array<double, 4> kAllDayOffsets{
    9 * kHour,
    9 * kHour - 1 * kDay,
    9 * kHour - 2 * kDay,
    9 * kHour - 7 * kDay,
};

// Relative alerts before fixed ones; a later-firing relative alert first; fixed ones by date.
bool listedBefore(const Alarm& a, const Alarm& b) {
    if (a.absoluteDate.has_value() != b.absoluteDate.has_value()) {
        return !a.absoluteDate.has_value();
    }
    if (a.absoluteDate) {
        return *a.absoluteDate < *b.absoluteDate;
    }
    return a.relativeOffset > b.relativeOffset;
}

} // namespace

std::vector<AlertChoice> alertChoices(bool allDay, const std::vector<Alarm>& kept, Instant start,
                                      const Calendar& calendar) {
    std::vector<Alarm> alarms;
    if (allDay) {
        for (double offset : kAllDayOffsets) {
            alarms.push_back(Alarm{.absoluteDate = std::nullopt, .relativeOffset = offset});
        }
    } else {
        for (double offset : kTimedOffsets) {
            alarms.push_back(Alarm{.absoluteDate = std::nullopt, .relativeOffset = offset});
        }
    }
    for (const Alarm& alarm : kept) {
        const bool usable = alarm.absoluteDate ? std::isfinite(alarm.absoluteDate->seconds)
                                               : std::isfinite(alarm.relativeOffset);
        if (usable && std::find(alarms.begin(), alarms.end(), alarm) == alarms.end()) {
            alarms.push_back(alarm);
        }
    }
    std::stable_sort(alarms.begin(), alarms.end(), listedBefore);

    const std::string& locale = calendar.localeId();
    std::vector<AlertChoice> choices;
    choices.reserve(alarms.size());
    for (const Alarm& alarm : alarms) {
        choices.push_back(AlertChoice{
            .alarm = alarm,
            .label = alarm.absoluteDate ? DetailFormat::alarm(*alarm.absoluteDate, calendar, locale)
                                        : DetailFormat::alarm(alarm.relativeOffset, allDay, start,
                                                              calendar, locale),
        });
    }
    return choices;
}

} // namespace plannery::EventEdit
