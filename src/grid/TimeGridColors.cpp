#include "grid/TimeGridColors.h"

#include <algorithm>

namespace plannery::TimeGridColors {

RGB fill(RGB color, Appearance appearance) {
    if (appearance == Appearance::light) {
        // 20 % of the colour over white.
        const auto tint = [](double c) { return 1 - 0.2 * (1 - c); };
        return RGB{tint(color.r), tint(color.g), tint(color.b)};
    }
    // A third of the colour's distance from a near-black that leans slightly blue.
    const auto shade = [](double c, double base) { return (c - base) * 0.34 + base; };
    return RGB{shade(color.r, 0.08), shade(color.g, 0.08), shade(color.b, 0.09)};
}

RGB text(RGB color, Appearance appearance) {
    if (appearance == Appearance::light) {
        const auto darken = [](double c) { return c * 0.58; };
        return RGB{darken(color.r), darken(color.g), darken(color.b)};
    }
    const auto lighten = [](double c) { return 1 - 0.55 * (1 - c); };
    return RGB{lighten(color.r), lighten(color.g), lighten(color.b)};
}

std::vector<RGB> stripeColors(const std::vector<CalendarRef>& calendars) {
    std::vector<RGB> colors;
    const std::size_t count = std::min(calendars.size(), maxStripeColors);
    colors.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        colors.push_back(calendars[i].rgb);
    }
    return colors;
}

double stripeWidth(bool compact, std::size_t calendarCount) {
    return (compact ? 2 : 3) + (calendarCount >= 2 ? 1 : 0);
}

std::vector<StripeFill> stripe(const std::vector<CalendarRef>& calendars, const Rect& rect) {
    const std::vector<RGB> colors = stripeColors(calendars);
    if (colors.empty()) {
        return {};
    }
    auto paths = BarberPole::paths(rect, static_cast<int>(colors.size()), BarberPole::standardBand);
    std::vector<StripeFill> fills;
    fills.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size() && i < colors.size(); ++i) {
        fills.push_back(StripeFill{.color = colors[i], .path = std::move(paths[i])});
    }
    return fills;
}

} // namespace plannery::TimeGridColors
