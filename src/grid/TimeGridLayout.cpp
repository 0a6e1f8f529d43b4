#include "grid/TimeGridLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <span>

namespace plannery::TimeGridLayout {
namespace {

constexpr double kMinutesPerDay = 24 * 60;
// A short event's minimum-height extension gives way to a following event, but never below this
// height in points, so its title stays legible.
constexpr double kCutHeight = 9;
// Side by side placement below this width is not worth it; cascading reads better.
constexpr double kMinSideBySideWidth = 24;
// Nested tiles indent by this share of the width, within these bounds in points.
constexpr double kIndentShare = 0.06;
constexpr double kMinIndent = 4;
constexpr double kMaxIndent = 14;
// Events starting within this height of each other (in points, at least kMinTogether minutes)
// are placed side by side rather than cascaded.
constexpr double kTogetherHeight = 22;
constexpr double kMinTogether = 15;
// The frame sits half a point below its start line and keeps a point free above the next.
constexpr double kTopOffset = 0.5;
constexpr double kBottomGap = 1;
// Covered parts narrower than this are only a tile's rounded corner touching another.
constexpr double kMinCoverWidth = 2;
// Tiles narrower than these (points) use the compact drawing.
constexpr double kCompactColumn = 80;
constexpr double kCompactTile = 56;

bool overlaps(const Interval& a, const Interval& b) {
    return a.start < b.end && b.start < a.end;
}

double finiteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

// One level of the cascade still to lay out: its items in layout order, the horizontal range
// and how far the walk over its clusters has come.
struct Level {
    std::vector<int> items;
    int depth = 0;
    double x0 = 0;
    double x1 = 0;
    std::size_t next = 0;
};

struct Geometry {
    double together = 0;
    double indent = 0;
    double minWidth = 0;
    double gap = 0;
    double minColumn = 0;
};

// First-fit packing: each interval in turn goes into the first column that is free at its start.
class FirstFit {
  public:
    int add(const Interval& interval) {
        std::size_t k = 0;
        while (k < m_lastEnd.size() && !(m_lastEnd[k] <= interval.start)) {
            ++k;
        }
        if (k == m_lastEnd.size()) {
            m_lastEnd.push_back(interval.end);
        }
        m_lastEnd[k] = interval.end;
        return static_cast<int>(k);
    }
    int count() const { return static_cast<int>(m_lastEnd.size()); }

  private:
    std::vector<double> m_lastEnd;
};

// Lays out one cluster of a level (items overlapping in a chain) and returns the items left for
// the next level of the cascade, in layout order.
std::vector<int> layoutCluster(std::span<const int> cluster, const Level& level,
                               const std::vector<Interval>& intervals, const std::vector<int>& rank,
                               const Geometry& geometry, int& z, std::vector<Placement>& result) {
    std::vector<int> together{cluster.front()};
    std::vector<int> nested;
    for (std::size_t i = 1; i < cluster.size(); ++i) {
        const Interval& m = intervals[cluster[i]];
        bool joins = false;
        // The members come by start, so only the latest ones can lie within the threshold.
        for (auto t = together.rbegin(); t != together.rend(); ++t) {
            const Interval& other = intervals[*t];
            if (!(m.start - other.start < geometry.together)) {
                break;
            }
            if (overlaps(other, m)) {
                joins = true;
                break;
            }
        }
        (joins ? together : nested).push_back(cluster[i]);
    }

    const double gapHere = level.depth == 0 ? geometry.gap : 0;
    std::vector<Interval> members;
    members.reserve(together.size());
    for (int index : together) {
        members.push_back(intervals[index]);
    }
    // Thinning gives up the latest starters while the members are too narrow side by side and
    // their starts spread apart. Both conditions only grow with the members, so the kept members
    // are the longest run of whole start groups, from the first, that is still allowed; and
    // first-fit packing of a run is the start of the packing of all, so it grows with the run.
    FirstFit packing;
    std::size_t keep = 0;
    std::size_t scanned = 0;
    while (scanned < members.size()) {
        const double start = members[scanned].start;
        for (; scanned < members.size() && members[scanned].start == start; ++scanned) {
            packing.add(members[scanned]);
        }
        const int count = packing.count();
        const double width = (level.x1 - level.x0 + gapHere) / count;
        const double spread = start - members.front().start;
        const bool narrow = count >= 2 && width - gapHere < geometry.minWidth;
        // The first group always stays, so every level places at least one item.
        if (keep > 0 && narrow && spread >= geometry.together / 2 && spread > 0) {
            break;
        }
        keep = scanned;
    }
    // Both lists are in layout order already.
    const auto middle = static_cast<std::ptrdiff_t>(nested.size());
    nested.insert(nested.end(), together.begin() + static_cast<std::ptrdiff_t>(keep),
                  together.end());
    std::inplace_merge(nested.begin(), nested.begin() + middle, nested.end(),
                       [&](int a, int b) { return rank[a] < rank[b]; });
    together.resize(keep);
    members.resize(keep);
    const Columns packed = columns(members);
    const double columnWidth = (level.x1 - level.x0 + gapHere) / packed.count;

    for (std::size_t i = 0; i < together.size(); ++i) {
        const ColumnSpan& span = packed.spans[i];
        const double x0 = level.x0 + columnWidth * span.column;
        const double x1 = span.column + span.span == packed.count
                              ? level.x1
                              : level.x0 + columnWidth * (span.column + span.span) - gapHere;
        result[together[i]] =
            Placement{.x0 = x0, .x1 = std::max(x1, x0 + 1), .depth = level.depth, .z = z++};
    }
    return nested;
}

double toPixels(double value, double scale) {
    return std::round(value * scale) / scale;
}

std::string number(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc{} ? std::string(buffer, end) : std::string("?");
}

} // namespace

std::string Placement::text() const {
    return number(x0) + "-" + number(x1) + "@" + std::to_string(depth);
}

Columns columns(const std::vector<Interval>& intervals) {
    Columns result;
    FirstFit packing;
    result.spans.resize(intervals.size());
    for (std::size_t i = 0; i < intervals.size(); ++i) {
        result.spans[i].column = packing.add(intervals[i]);
    }
    result.count = packing.count();
    // A column's members never overlap and come in time order, so their ends ascend too and
    // the only candidate for overlapping an interval is the first member ending after its start.
    std::vector<std::vector<int>> members(static_cast<std::size_t>(result.count));
    for (std::size_t i = 0; i < intervals.size(); ++i) {
        members[result.spans[i].column].push_back(static_cast<int>(i));
    }
    for (std::size_t i = 0; i < intervals.size(); ++i) {
        ColumnSpan& span = result.spans[i];
        for (int right = span.column + 1; right < result.count; ++right) {
            const auto& list = members[right];
            const auto candidate =
                std::upper_bound(list.begin(), list.end(), intervals[i].start,
                                 [&](double start, int j) { return start < intervals[j].end; });
            if (candidate != list.end() && overlaps(intervals[*candidate], intervals[i])) {
                break;
            }
            ++span.span;
        }
    }
    return result;
}

std::vector<Placement> place(const std::vector<Interval>& input, double width, double together,
                             double indent, double minWidth, double gap, double minColumn) {
    const std::size_t count = input.size();
    // Unreadable minutes count as midnight, so ordering and clustering stay well defined.
    std::vector<Interval> intervals(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double start = std::isnan(input[i].start) ? 0 : input[i].start;
        const double end = std::isnan(input[i].end) ? start : input[i].end;
        intervals[i] = Interval{.start = start, .end = std::max(start, end)};
    }
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        if (intervals[a].start != intervals[b].start) {
            return intervals[a].start < intervals[b].start;
        }
        if (intervals[a].end != intervals[b].end) {
            return intervals[a].end > intervals[b].end;
        }
        return a < b;
    });
    std::vector<int> rank(count);
    for (std::size_t i = 0; i < count; ++i) {
        rank[order[i]] = static_cast<int>(i);
    }

    std::vector<Placement> result(count, Placement{.x0 = 0, .x1 = width, .depth = 0, .z = 0});
    const Geometry geometry{.together = together,
                            .indent = indent,
                            .minWidth = minWidth,
                            .gap = gap,
                            .minColumn = minColumn};
    int z = 0;
    // The cascade's levels as an explicit stack: a level's nested items are laid out completely
    // before its walk goes on to the next cluster, so they draw above their own cluster only.
    std::vector<Level> stack;
    stack.push_back(Level{.items = std::move(order), .depth = 0, .x0 = 0, .x1 = width});
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.items.size()) {
            stack.pop_back();
            continue;
        }
        const std::size_t first = level.next;
        std::size_t last = first + 1;
        double end = intervals[level.items[first]].end;
        while (last < level.items.size() && intervals[level.items[last]].start < end) {
            end = std::max(end, intervals[level.items[last]].end);
            ++last;
        }
        level.next = last;
        std::vector<int> nested =
            layoutCluster(std::span<const int>(level.items).subspan(first, last - first), level,
                          intervals, rank, geometry, z, result);
        if (!nested.empty()) {
            const double left =
                level.x0 + std::max(std::min(level.x1 - level.x0 - minColumn, indent), 0.0);
            Level inner{
                .items = std::move(nested), .depth = level.depth + 1, .x0 = left, .x1 = level.x1};
            stack.push_back(std::move(inner)); // `level` is not used past this point
        }
    }
    return result;
}

std::vector<TimeGridBlock> blocks(const std::vector<TimeGridSegment>& segments, double width,
                                  double hourHeight, double top, double startHour, double endHour,
                                  double minHeight, double leftInset, double rightInset,
                                  double gap) {
    for (double value :
         {width, hourHeight, top, startHour, endHour, minHeight, leftInset, rightInset, gap}) {
        if (!std::isfinite(value)) {
            return {};
        }
    }
    if (!(hourHeight > 0)) {
        return {};
    }
    const auto clampMinute = [](double minute) {
        return std::clamp(finiteOr(minute, 0), 0.0, kMinutesPerDay);
    };
    const double minExtent = minHeight / hourHeight * 60;
    const double minCut = kCutHeight / hourHeight * 60;
    const double lo = startHour * 60;
    const double hi = std::max(endHour * 60, lo);

    std::vector<double> starts;
    starts.reserve(segments.size());
    for (const TimeGridSegment& segment : segments) {
        starts.push_back(clampMinute(segment.startMinute));
    }
    std::sort(starts.begin(), starts.end());

    // The drawable interval: at least the minimum height, inside the band when the segment
    // meets it, otherwise inside the day (and then off screen).
    std::vector<Interval> intervals;
    intervals.reserve(segments.size());
    for (const TimeGridSegment& segment : segments) {
        const double startMinute = clampMinute(segment.startMinute);
        const double endMinute = std::max(clampMinute(segment.endMinute), startMinute);
        double s = startMinute;
        double e = 0;
        if (startMinute < hi && endMinute > lo) {
            s = std::max(startMinute, lo);
            e = std::max(std::min(endMinute, hi), s + minExtent);
            if (e > hi) {
                e = hi;
                s = std::max(hi - minExtent, lo);
            }
        } else {
            e = std::max(endMinute, s + minExtent);
            if (e > kMinutesPerDay) {
                e = kMinutesPerDay;
                s = std::max(kMinutesPerDay - minExtent, 0.0);
            }
        }
        // The first event starting inside the extension (after this one's real end) cuts it.
        const auto next = s < endMinute ? std::lower_bound(starts.begin(), starts.end(), endMinute)
                                        : std::upper_bound(starts.begin(), starts.end(), s);
        if (next != starts.end() && *next < e && *next - s >= minCut) {
            e = *next;
        }
        intervals.push_back(Interval{.start = s, .end = e});
    }

    const double available = std::max(width - leftInset - rightInset, 1.0);
    const double together = std::max(kTogetherHeight / hourHeight * 60, kMinTogether);
    const double indent =
        std::min(std::max(std::round(available * kIndentShare), kMinIndent), kMaxIndent);
    const std::vector<Placement> placements =
        place(intervals, available, together, indent, kMinSideBySideWidth, gap, available / 2);

    std::vector<TimeGridBlock> result;
    result.reserve(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const Interval& interval = intervals[i];
        const Placement& p = placements[i];
        result.push_back(TimeGridBlock{
            .segment = segments[i],
            .frame = Rect{.x = p.x0 + leftInset,
                          .y = top + hourHeight * (interval.start / 60 - startHour) + kTopOffset,
                          .width = std::max(p.x1 - p.x0, 1.0),
                          .height = std::max(
                              hourHeight * (interval.end - interval.start) / 60 - kBottomGap, 1.0)},
            .depth = p.depth,
            .z = p.z,
        });
    }

    // Covered stretches: a sweep down the column by top edge visits each pair of vertically
    // overlapping blocks once, so far-apart blocks cost nothing.
    std::vector<int> byTop(result.size());
    std::iota(byTop.begin(), byTop.end(), 0);
    std::sort(byTop.begin(), byTop.end(),
              [&](int a, int b) { return result[a].frame.top() < result[b].frame.top(); });
    for (std::size_t a = 0; a < byTop.size(); ++a) {
        const Rect& upper = result[byTop[a]].frame;
        for (std::size_t b = a + 1; b < byTop.size(); ++b) {
            const Rect& lower = result[byTop[b]].frame;
            if (!(lower.top() < upper.bottom())) {
                break;
            }
            const Rect r = upper.intersected(lower);
            if (r.isEmpty() || !(r.width > kMinCoverWidth)) {
                continue;
            }
            const bool upperBeneath = result[byTop[a]].z < result[byTop[b]].z;
            TimeGridBlock& beneath = result[upperBeneath ? byTop[a] : byTop[b]];
            const double blockTop = beneath.frame.top();
            beneath.covered.push_back(
                Stretch{.lower = r.top() - blockTop, .upper = r.bottom() - blockTop});
        }
    }
    for (TimeGridBlock& block : result) {
        std::sort(block.covered.begin(), block.covered.end(),
                  [](const Stretch& a, const Stretch& b) {
                      return a.lower != b.lower ? a.lower < b.lower : a.upper < b.upper;
                  });
    }
    return result;
}

std::vector<double> flow(const std::vector<double>& lineHeights,
                         const std::vector<Stretch>& stretches, double slack) {
    std::vector<double> tops;
    if (stretches.empty()) {
        return tops;
    }
    double y = stretches.front().lower;
    std::size_t current = 0;
    for (double height : lineHeights) {
        while (current < stretches.size()) {
            y = std::max(y, stretches[current].lower);
            if (stretches[current].upper + slack >= y + height) {
                break;
            }
            ++current;
        }
        if (current == stretches.size()) {
            break;
        }
        tops.push_back(y);
        y += height;
    }
    return tops;
}

std::vector<Stretch> visibleStretches(double top, double bottom,
                                      const std::vector<Stretch>& covered, double above,
                                      double below, double minHeight) {
    std::vector<Stretch> result;
    const auto keep = [&](double lower, double upper) {
        if (upper - lower >= minHeight) {
            result.push_back(Stretch{.lower = lower, .upper = upper});
        }
    };
    double y = top;
    for (const Stretch& part : covered) {
        if (!(y < bottom)) {
            break;
        }
        if (y < part.lower - above) {
            keep(y, std::min(part.lower - above, bottom));
        }
        y = std::max(y, part.upper + below);
    }
    if (y < bottom) {
        keep(y, bottom);
    }
    return result;
}

std::vector<TimeGridTile> tiles(const std::vector<TimeGridBlock>& blocks, double scale,
                                double columnWidth) {
    if (!std::isfinite(scale) || !(scale > 0)) {
        scale = 1;
    }
    std::vector<const TimeGridBlock*> ordered;
    ordered.reserve(blocks.size());
    for (const TimeGridBlock& block : blocks) {
        ordered.push_back(&block);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const TimeGridBlock* a, const TimeGridBlock* b) { return a->z < b->z; });

    const double pixel = 1 / scale;
    std::vector<TimeGridTile> result;
    result.reserve(blocks.size());
    for (const TimeGridBlock* block : ordered) {
        const Rect& frame = block->frame;
        const double left = toPixels(frame.left(), scale);
        const double right = toPixels(frame.right(), scale);
        const double top = toPixels(frame.top(), scale);
        const double bottom = toPixels(frame.bottom(), scale);
        TimeGridTile tile{
            .block = *block,
            .compact = columnWidth < kCompactColumn || frame.width < kCompactTile,
            .outlined = block->depth >= 1,
        };
        tile.block.frame = Rect{.x = left,
                                .y = top,
                                .width = std::max(right - left, pixel),
                                .height = std::max(bottom - top, pixel)};
        const double shift = frame.top() - top;
        for (Stretch& part : tile.block.covered) {
            part.lower += shift;
            part.upper += shift;
        }
        result.push_back(std::move(tile));
    }
    return result;
}

} // namespace plannery::TimeGridLayout
