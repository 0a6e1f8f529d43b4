#include "finder/ZoneAbbreviations.h"

#include <array>
#include <utility>

namespace plannery::ZoneAbbreviations {

namespace {

using Entry = std::pair<std::string_view, std::string_view>;

constexpr std::array<Entry, 18> kRegions{{
    {"ET", "America/New_York"},
    {"EST", "America/New_York"},
    {"EDT", "America/New_York"},
    {"CT", "America/Chicago"},
    {"CST", "America/Chicago"},
    {"CDT", "America/Chicago"},
    {"MT", "America/Denver"},
    {"MST", "America/Denver"},
    {"MDT", "America/Denver"},
    {"PT", "America/Los_Angeles"},
    {"PST", "America/Los_Angeles"},
    {"PDT", "America/Los_Angeles"},
    {"BST", "Europe/London"},
    {"CET", "Europe/Paris"},
    {"CEST", "Europe/Paris"},
    {"AEST", "Australia/Sydney"},
    {"AEDT", "Australia/Sydney"},
    {"JST", "Asia/Tokyo"},
}};

// The abbreviations the time-zone database's users commonly recognise, beyond the regions above.
constexpr std::array<Entry, 39> kStandard{{
    {"GMT", "GMT"},
    {"UTC", "UTC"},
    {"ADT", "America/Halifax"},
    {"AKDT", "America/Juneau"},
    {"AKST", "America/Juneau"},
    {"ART", "America/Argentina/Buenos_Aires"},
    {"AST", "America/Halifax"},
    {"BDT", "Asia/Dhaka"},
    {"BRST", "America/Sao_Paulo"},
    {"BRT", "America/Sao_Paulo"},
    {"CAT", "Africa/Harare"},
    {"CLST", "America/Santiago"},
    {"CLT", "America/Santiago"},
    {"COT", "America/Bogota"},
    {"EAT", "Africa/Addis_Ababa"},
    {"EEST", "Europe/Athens"},
    {"EET", "Europe/Athens"},
    {"GST", "Asia/Dubai"},
    {"HKT", "Asia/Hong_Kong"},
    {"HST", "Pacific/Honolulu"},
    {"ICT", "Asia/Bangkok"},
    {"IRST", "Asia/Tehran"},
    {"IST", "Asia/Kolkata"},
    {"KST", "Asia/Seoul"},
    {"MSD", "Europe/Moscow"},
    {"MSK", "Europe/Moscow"},
    {"NZDT", "Pacific/Auckland"},
    {"NZST", "Pacific/Auckland"},
    {"PET", "America/Lima"},
    {"PHT", "Asia/Manila"},
    {"PKT", "Asia/Karachi"},
    {"SGT", "Asia/Singapore"},
    {"WAT", "Africa/Lagos"},
    {"WEST", "Europe/Lisbon"},
    {"WET", "Europe/Lisbon"},
    {"WIT", "Asia/Jakarta"},
    {"MEZ", "Europe/Berlin"},
    {"MESZ", "Europe/Berlin"},
    {"AWST", "Australia/Perth"},
}};

template <std::size_t N>
std::optional<std::string> find(const std::array<Entry, N>& table, std::string_view key) {
    for (const auto& [abbreviation, zone] : table) {
        if (abbreviation == key) {
            return std::string(zone);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> region(std::string_view abbreviation) {
    return find(kRegions, abbreviation);
}

std::optional<std::string> standard(std::string_view abbreviation) {
    if (auto zone = find(kRegions, abbreviation)) {
        return zone;
    }
    return find(kStandard, abbreviation);
}

} // namespace plannery::ZoneAbbreviations
