#include "agenda/AgendaRowStyle.h"

#include <array>
#include <cmath>
#include <utility>

namespace plannery {

namespace TextSizes {

namespace {

constexpr std::array<std::pair<TextSize, std::string_view>, 8> kNames{{
    {TextSize::extraSmall, "xs"},
    {TextSize::small, "s"},
    {TextSize::medium, "m"},
    {TextSize::large, "l"},
    {TextSize::extraLarge, "xl"},
    {TextSize::extraExtraLarge, "xxl"},
    {TextSize::extraExtraExtraLarge, "xxxl"},
    {TextSize::accessibility, "accessibility"},
}};

} // namespace

double factor(TextSize size) {
    switch (size) {
    case TextSize::extraSmall:
        return 0.88;
    case TextSize::small:
        return 0.92;
    case TextSize::medium:
        return 0.96;
    case TextSize::large:
        return 1.0;
    case TextSize::extraLarge:
        return 1.08;
    case TextSize::extraExtraLarge:
        return 1.16;
    case TextSize::extraExtraExtraLarge:
        return 1.24;
    case TextSize::accessibility:
        return 1.32;
    }
    return 1.0;
}

double scaled(double points, TextSize size) {
    // Products such as 12.5 × 0.88 land a hair below the tenth they mean.
    return std::floor(points * factor(size) * 10 + 1e-6) / 10;
}

std::optional<TextSize> parse(std::string_view text) {
    for (const auto& [size, label] : kNames) {
        if (label == text) {
            return size;
        }
    }
    return std::nullopt;
}

std::string_view name(TextSize size) {
    for (const auto& [value, label] : kNames) {
        if (value == size) {
            return label;
        }
    }
    return "l";
}

} // namespace TextSizes

AgendaRowStyle AgendaRowStyle::smallAndMedium() {
    return AgendaRowStyle{};
}

AgendaRowStyle AgendaRowStyle::large() {
    return AgendaRowStyle{.title = 12.5,
                          .time = 11,
                          .allDay = 11.5,
                          .header = 10,
                          .note = 12,
                          .barWidth = 3.5,
                          .gap = 6,
                          .rowPadding = 1,
                          .spacing = 1.5,
                          .detailed = true};
}

std::string AgendaRowStyle::timeTemplate(bool twelveHours) const {
    if (detailed) {
        return twelveHours ? "00:00\u201300:00p" : "00:00\u201300:00";
    }
    return twelveHours ? "00:00p" : "00:00";
}

} // namespace plannery
