#pragma once

#include <cstdint>
#include <deque>

namespace plannery {

// The speed of a swipe or a drag, from its moves and the times the input events carry (in
// milliseconds, as the window system stamps them), over its last moments. Fingers that rested
// before they lifted throw nothing. The times are the events' own, never the clock's when the
// code happens to run, so the same events always give the same speed.
class SwipeVelocity {
  public:
    // A new swipe: the moves of the last one are forgotten.
    void reset();
    // A move by `delta` (points, pages: the caller's unit) stamped `ms`.
    void add(std::uint64_t ms, double delta);
    // Units per millisecond (positive: the way the deltas count) of a swipe that ends at `ms`.
    double at(std::uint64_t ms) const;

  private:
    struct Sample {
        std::uint64_t ms = 0;
        double delta = 0;
    };
    std::deque<Sample> m_samples;
};

} // namespace plannery
