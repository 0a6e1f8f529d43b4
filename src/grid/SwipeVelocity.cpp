#include "grid/SwipeVelocity.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// The speed is measured over the last moments of a swipe.
constexpr std::uint64_t kWindowMs = 80;
// A pause this long before the fingers lift means they stopped.
constexpr std::uint64_t kRestMs = 50;
// Moves closer together than a frame are measured over one frame.
constexpr std::uint64_t kShortestMs = 16;

} // namespace

void SwipeVelocity::reset() {
    m_samples.clear();
}

void SwipeVelocity::add(std::uint64_t ms, double delta) {
    if (!std::isfinite(delta) || delta == 0) {
        return;
    }
    // Events arrive in order; a stamp that goes back counts as the last one.
    if (!m_samples.empty()) {
        ms = std::max(ms, m_samples.back().ms);
    }
    m_samples.push_back(Sample{.ms = ms, .delta = delta});
    while (m_samples.front().ms + kWindowMs < ms) {
        m_samples.pop_front();
    }
}

double SwipeVelocity::at(std::uint64_t ms) const {
    if (m_samples.empty()) {
        return 0;
    }
    const std::uint64_t end = std::max(ms, m_samples.back().ms);
    if (end - m_samples.back().ms > kRestMs) {
        return 0;
    }
    double distance = 0;
    std::uint64_t first = end;
    for (const Sample& sample : m_samples) {
        if (end - sample.ms <= kWindowMs) {
            distance += sample.delta;
            first = std::min(first, sample.ms);
        }
    }
    return distance / static_cast<double>(std::max(end - first, kShortestMs));
}

} // namespace plannery
