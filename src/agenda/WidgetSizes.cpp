#include "agenda/WidgetSizes.h"

#include <array>
#include <cmath>

namespace plannery {

namespace {

struct Reference {
    double width;
    double height;
    WidgetSizes sizes;
};

// Largest first, so that a tie keeps the larger screen.
const std::array<Reference, 6>& references() {
    static const WidgetSizes big{};
    static const WidgetSizes pro{.small = 164.33,
                                 .mediumWidth = 349.67,
                                 .largeHeight = 365,
                                 .rectangular = {166, 74},
                                 .cornerRadius = 27.94};
    static const WidgetSizes regular{.small = 158,
                                     .mediumWidth = 338,
                                     .largeHeight = 354,
                                     .rectangular = {160, 72},
                                     .cornerRadius = 21.67};
    static const WidgetSizes compact{.small = 155,
                                     .mediumWidth = 329,
                                     .largeHeight = 345,
                                     .rectangular = {157, 72},
                                     .cornerRadius = 21.67};
    static const std::array<Reference, 6> all{{
        {440, 956, big},
        {430, 932, big},
        {402, 874, pro},
        {393, 852, regular},
        {390, 844, regular},
        {375, 812, compact},
    }};
    return all;
}

} // namespace

WidgetSizes WidgetSizes::forScreen(double width, double height) {
    const auto& all = references();
    const auto distance = [&](const Reference& reference) {
        return std::abs(reference.width - width) + std::abs(reference.height - height);
    };
    const Reference* chosen = &all.front();
    for (const Reference& reference : all) {
        if (distance(reference) < distance(*chosen)) {
            chosen = &reference;
        }
    }
    return chosen->sizes;
}

WidgetSizes::Size WidgetSizes::of(WidgetFamily family) const {
    switch (family) {
    case WidgetFamily::systemSmall:
        return {small, small};
    case WidgetFamily::systemMedium:
        return medium();
    case WidgetFamily::systemLarge:
        return large();
    case WidgetFamily::systemExtraLarge:
        return extraLarge();
    case WidgetFamily::accessoryRectangular:
        return rectangular;
    case WidgetFamily::accessoryInline:
        return {inlineWidth(), inlineHeight};
    }
    return {small, small};
}

} // namespace plannery
