#include "detail/DetailFormat.h"

#include "model/DateFormats.h"
#include "model/LocaleFormats.h"

#include <algorithm>
#include <set>

// The recurrence sentence: "Every 2 weeks on Monday and Thursday, 10 times".
namespace plannery::DetailFormat {

namespace {

// Week numbers and set positions in words; the store's values run from -53 to 53.
std::string ordinalWord(int n) {
    switch (n) {
    case 1:
        return "first";
    case 2:
        return "second";
    case 3:
        return "third";
    case 4:
        return "fourth";
    case 5:
        return "fifth";
    case -1:
        return "last";
    case -2:
        return "second to last";
    default:
        return std::to_string(n);
    }
}

std::string base(const RecurrenceRule& rule, const std::string& localeId) {
    const int n = rule.interval;
    switch (rule.frequency) {
    case RecurrenceFrequency::daily:
        return every(n > 1 ? "days" : "day", n, localeId);
    case RecurrenceFrequency::weekly:
        return every(n > 1 ? "weeks" : "week", n, localeId);
    case RecurrenceFrequency::monthly:
        return every(n > 1 ? "months" : "month", n, localeId);
    case RecurrenceFrequency::yearly:
        return every(n > 1 ? "years" : "year", n, localeId);
    }
    return "Repeats";
}

bool isEveryWeekday(const RecurrenceRule& rule) {
    if (rule.frequency != RecurrenceFrequency::weekly || rule.interval > 1) {
        return false;
    }
    std::set<int> days;
    for (const RecurrenceDayOfWeek& day : rule.daysOfTheWeek) {
        if (day.weekNumber != 0) {
            return false;
        }
        days.insert(day.dayOfTheWeek);
    }
    return days == std::set<int>{2, 3, 4, 5, 6};
}

std::string weekdays(const RecurrenceRule& rule, const Calendar& calendar,
                     const std::string& localeId) {
    std::vector<int> positions;
    std::copy_if(rule.setPositions.begin(), rule.setPositions.end(), std::back_inserter(positions),
                 [](int position) { return position != 0; });
    // "Every month on the last Friday" is written either way: BYDAY=-1FR, or BYDAY=FR with
    // BYSETPOS=-1.
    const std::optional<int> shared =
        positions.size() == 1 ? std::optional<int>(positions.front()) : std::nullopt;
    std::vector<std::string> names;
    for (const RecurrenceDayOfWeek& day : rule.daysOfTheWeek) {
        std::string name = DateFormats::weekdayName(day.dayOfTheWeek, calendar.localeId());
        if (name.empty()) {
            continue;
        }
        if (day.weekNumber != 0) {
            name = ordinalWord(day.weekNumber) + " " + name;
        } else if (shared) {
            name = ordinalWord(*shared) + " " + name;
        }
        names.push_back(std::move(name));
    }
    return names.empty() ? std::string() : LocaleFormats::list(names, localeId);
}

std::string monthDays(const RecurrenceRule& rule, const std::string& localeId) {
    std::vector<std::string> days;
    for (int day : rule.daysOfTheMonth) {
        days.push_back(day == -1 ? "last day" : LocaleFormats::ordinal(day, localeId));
    }
    return days.empty() ? std::string() : LocaleFormats::list(days, localeId);
}

std::string months(const RecurrenceRule& rule, const Calendar& calendar,
                   const std::string& localeId) {
    std::vector<std::string> names;
    for (int month : rule.monthsOfTheYear) {
        if (std::string name = DateFormats::monthName(month, calendar.localeId()); !name.empty()) {
            names.push_back(std::move(name));
        }
    }
    return names.empty() ? std::string() : LocaleFormats::list(names, localeId);
}

} // namespace

std::string every(std::string_view unit, int n, const std::string& localeId) {
    std::string text = "Every ";
    if (n > 1) {
        text += LocaleFormats::number(n, localeId) + " ";
    }
    return text.append(unit);
}

std::string recurrence(const RecurrenceRule& rule, const Calendar& calendar,
                       const std::string& localeId) {
    const bool weekly = rule.frequency == RecurrenceFrequency::weekly;
    const bool monthOrYear = rule.frequency == RecurrenceFrequency::monthly ||
                             rule.frequency == RecurrenceFrequency::yearly;
    std::string text;
    if (!rule.daysOfTheWeek.empty() && isEveryWeekday(rule)) {
        text = "Every weekday";
    } else {
        text = base(rule, localeId);
        if (!rule.daysOfTheWeek.empty()) {
            if (std::string days = weekdays(rule, calendar, localeId); !days.empty()) {
                text += (weekly ? " on " : " on the ") + days;
            }
        } else if (monthOrYear) {
            if (std::string days = monthDays(rule, localeId); !days.empty()) {
                text += " on the " + days;
            }
        }
        if (rule.frequency == RecurrenceFrequency::yearly) {
            if (std::string names = months(rule, calendar, localeId); !names.empty()) {
                text += " in " + names;
            }
        }
    }
    if (rule.endDate) {
        text += ", until " + DateFormats::styled(DateFormats::DateStyle::medium,
                                                 DateFormats::TimeStyle::none, *rule.endDate,
                                                 localeId, calendar.zoneId());
    } else if (rule.occurrenceCount == 1) {
        text += ", once";
    } else if (rule.occurrenceCount > 1) {
        text += ", " + LocaleFormats::number(rule.occurrenceCount, localeId) + " times";
    }
    return text;
}

} // namespace plannery::DetailFormat
