#include "agenda/WidgetFamily.h"

namespace plannery {

namespace WidgetFamilies {

std::string_view name(WidgetFamily family) {
    switch (family) {
    case WidgetFamily::systemSmall:
        return "small";
    case WidgetFamily::systemMedium:
        return "medium";
    case WidgetFamily::systemLarge:
        return "large";
    case WidgetFamily::systemExtraLarge:
        return "extra-large";
    case WidgetFamily::accessoryRectangular:
        return "rectangular";
    case WidgetFamily::accessoryInline:
        return "inline";
    }
    return "small";
}

std::optional<WidgetFamily> parse(std::string_view text) {
    for (const WidgetFamily family : all) {
        if (name(family) == text) {
            return family;
        }
    }
    return std::nullopt;
}

WidgetFace face(WidgetFamily family, bool hasAccess) {
    if (!hasAccess) {
        return WidgetFace::noAccess;
    }
    switch (family) {
    case WidgetFamily::systemMedium:
        return WidgetFace::medium;
    case WidgetFamily::systemLarge:
    case WidgetFamily::systemExtraLarge:
        return WidgetFace::large;
    case WidgetFamily::accessoryRectangular:
        return WidgetFace::rectangular;
    case WidgetFamily::accessoryInline:
        return WidgetFace::inlineText;
    case WidgetFamily::systemSmall:
        break;
    }
    return WidgetFace::small;
}

} // namespace WidgetFamilies

std::optional<HomeFaceLayout> HomeFaceLayout::of(WidgetFace face) {
    switch (face) {
    case WidgetFace::small:
        return HomeFaceLayout{};
    case WidgetFace::medium:
        return HomeFaceLayout{
            .columns = 2, .columnSpacing = 21, .cap = 24, .linkRows = true, .divider = true};
    case WidgetFace::large:
        return HomeFaceLayout{.style = AgendaRowStyle::large(),
                              .cap = 30,
                              .linkRows = true,
                              .heading = Heading::large,
                              .headingSize = 16,
                              .headingPaddingBottom = 2,
                              .paddingX = 14,
                              .paddingTop = 13,
                              .paddingBottom = 10};
    case WidgetFace::rectangular:
    case WidgetFace::inlineText:
    case WidgetFace::noAccess:
        break;
    }
    return std::nullopt;
}

} // namespace plannery
