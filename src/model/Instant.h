#pragma once

#include <chrono>
#include <cmath>
#include <compare>
#include <cstdint>

namespace plannery {

// A point in time: seconds since 1970-01-01T00:00:00Z, fractional seconds allowed. Day
// arithmetic never adds 86,400 seconds to an Instant; it goes through Calendar.
struct Instant {
    double seconds = 0;

    friend auto operator<=>(const Instant&, const Instant&) = default;
    friend bool operator==(const Instant&, const Instant&) = default;

    // The system clock now. Code that can be tested takes the time as a value instead.
    static Instant now() {
        using namespace std::chrono;
        return Instant{duration<double>(system_clock::now().time_since_epoch()).count()};
    }

    Instant plus(double delta) const { return Instant{seconds + delta}; }
    double since(Instant earlier) const { return seconds - earlier.seconds; }
    // Whole seconds, truncated toward zero.
    std::int64_t wholeSeconds() const { return static_cast<std::int64_t>(std::trunc(seconds)); }
};

} // namespace plannery
