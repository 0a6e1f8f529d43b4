#pragma once

#include "agenda/AgendaRowStyle.h"

#include <array>
#include <optional>
#include <string_view>

namespace plannery {

// The sizes a widget comes in: four tiles, and the compact faces for panels.
enum class WidgetFamily {
    systemSmall,
    systemMedium,
    systemLarge,
    systemExtraLarge,
    accessoryRectangular,
    accessoryInline
};

// What a widget draws.
enum class WidgetFace { small, medium, large, rectangular, inlineText, noAccess };

namespace WidgetFamilies {

inline constexpr std::array<WidgetFamily, 6> all{
    WidgetFamily::systemSmall,          WidgetFamily::systemMedium,
    WidgetFamily::systemLarge,          WidgetFamily::systemExtraLarge,
    WidgetFamily::accessoryRectangular, WidgetFamily::accessoryInline};

// "small", "medium", "large", "extra-large", "rectangular" and "inline".
std::string_view name(WidgetFamily family);
std::optional<WidgetFamily> parse(std::string_view name);

// Without calendar access, the face that asks for it; the extra large tile draws the large face.
WidgetFace face(WidgetFamily family, bool hasAccess);

} // namespace WidgetFamilies

// How a tile face lays out its agenda list.
struct HomeFaceLayout {
    enum class Heading { today, large };

    AgendaRowStyle style{};
    int columns = 1;
    double columnSpacing = 0;
    int cap = 14;          // most event rows
    bool linkRows = false; // each row opens its own day
    Heading heading = Heading::today;
    double headingSize = 12;
    double headingPaddingBottom = 0.5;
    double paddingX = 12;
    double paddingTop = 9.5;
    double paddingBottom = 6;
    bool divider = false; // a hairline between the columns

    friend bool operator==(const HomeFaceLayout&, const HomeFaceLayout&) = default;

    // The small, medium and large faces; none for the others.
    static std::optional<HomeFaceLayout> of(WidgetFace face);
};

} // namespace plannery
