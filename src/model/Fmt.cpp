#include "model/Fmt.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace plannery::Fmt {

namespace {

// A piece of a day key as a number: digits only, with an optional "+"; none on overflow.
std::optional<long long> wholeNumber(std::string_view piece) {
    if (!piece.empty() && piece.front() == '+') {
        piece.remove_prefix(1);
    }
    long long value = 0;
    const char* end = piece.data() + piece.size();
    const auto [stop, error] = std::from_chars(piece.data(), end, value);
    if (piece.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string dayKey(Instant t, const Calendar& calendar) {
    const DateComponents c = calendar.components(t);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string();
}

std::optional<Instant> parseDayKey(std::string_view text, const Calendar& calendar) {
    std::vector<long long> numbers;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t dash = std::min(text.find('-', from), text.size());
        if (const auto number = wholeNumber(text.substr(from, dash - from))) {
            numbers.push_back(*number);
            if (numbers.size() > 3) {
                return std::nullopt;
            }
        }
        from = dash + 1;
    }
    if (numbers.size() != 3) {
        return std::nullopt;
    }
    const long long year = numbers[0];
    const long long month = numbers[1];
    const long long day = numbers[2];
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    const auto t =
        calendar.date(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    if (!t) {
        return std::nullopt;
    }
    // The calendar rolls 30 February over into March; such a key names no day.
    const DateComponents c = calendar.components(*t);
    if (c.year != year || c.month != month || c.day != day) {
        return std::nullopt;
    }
    return calendar.startOfDay(*t);
}

} // namespace plannery::Fmt
