#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace plannery {

// The offsets from UTC of one zone, remembered by day. Most days are far from any clock change:
// on those a written time and an instant take the same offset, which a lookup gives instead of
// ICU's calendar arithmetic (the bulk of placing a month of events on the time line). Days near
// a change are asked of ICU every time. One thread at a time; the zone must outlive this.
class ZoneOffsets {
  public:
    explicit ZoneOffsets(const icu::TimeZone& zone) : m_zone(&zone) {}

    // The offset in seconds of a written time, given as seconds since 1970 as if it were UTC: a
    // time skipped by a clock change takes the offset before it (so it moves forward by the gap),
    // an ambiguous one the first of its two. nullopt when ICU cannot tell.
    std::optional<double> ofWall(double wallSeconds);
    // The offset in seconds at an instant (seconds since 1970); nullopt when ICU cannot tell.
    std::optional<double> ofInstant(double seconds);

  private:
    // The offset of the days around `day` when no change falls among them; NaN when one does.
    double steady(std::int64_t day);

    const icu::TimeZone* m_zone;
    std::unordered_map<std::int64_t, double> m_days;
};

} // namespace plannery
