#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <string>

// The compact clock times of widget rows: 9:30a, 11a–1p in 12-hour locales, 09:30 and
// 09:00–10:30 in 24-hour ones.
namespace plannery::WidgetTime {

// Whether the locale's preferred hour pattern (the "j" skeleton) has a day period. Decided once
// per locale for the life of the process, safely from any thread.
bool usesTwelveHours(const std::string& localeId);

// The hour on a 12-hour dial (0 reads 12), with ":mm" only when the minute is not 0.
std::string clockText(int hour, int minute);
// "a" or "p" where the locale's day periods are AM and PM (or a.m. and p.m.), else a space and
// the locale's own symbol.
std::string daySuffix(int hour, const std::string& localeId);

// A start time: 9:30a, 12p, 7:15p; or 09:30, 19:15.
std::string shortTime(Instant t, const Calendar& calendar);
// A range joined by an en dash without spaces, naming the day period once when both ends share
// it: 9–10:30a, 11a–1p; or 09:00–10:30.
std::string range(Instant start, Instant end, const Calendar& calendar);

} // namespace plannery::WidgetTime
