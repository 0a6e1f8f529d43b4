#pragma once

#include "model/AccountKind.h"
#include "model/CalEvent.h"
#include "model/CalendarMirrors.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the settings screen lists, worked out from plain values so that the screen only draws it:
// the accounts with their calendars and mirror notes, and the lines about the build.
namespace plannery {

// One calendar's switch. Whether it is on is not part of the row: it follows the store's hidden
// calendars and mirrors as they change.
struct CalendarRow {
    std::string calendarID{};
    std::string title{};
    RGB rgb{};
    // "Same as “Work” in Exchange, shown once" for a calendar that mirrors others.
    std::optional<std::string> mirrorNote{};

    friend bool operator==(const CalendarRow&, const CalendarRow&) = default;
};

// One account's section: its heading, its calendars in the group's order and, for a Google
// account, the page that picks which of its calendars sync.
struct AccountSection {
    std::string id{};
    std::string title{};
    std::vector<CalendarRow> rows{};
    std::optional<std::string> googleSyncURL{};

    friend bool operator==(const AccountSection&, const AccountSection&) = default;
};

// The build as the information section lists it.
struct BuildDescription {
    std::string version{}; // "1.4 (212)"
    std::string kind{};    // "Release", or "Release · 1a2b3c4" when the commit is known
    std::string bundleID{};

    friend bool operator==(const BuildDescription&, const BuildDescription&) = default;
};

// The maker's pages about this application.
namespace AppLinks {
inline constexpr std::string_view privacy = "https://plannery.org/privacy";
inline constexpr std::string_view support = "https://plannery.org/support?app=Plannery";
} // namespace AppLinks

namespace SettingsRows {

// The note under a calendar that mirrors others: each other calendar of its mirror group that
// some account lists, by title, with its account's name when that is not `group`; none when no
// other calendar is listed. The phrases are joined as the locale joins a list with "and".
std::optional<std::string> mirrorNote(const std::string& calendarID, const AccountGroup& group,
                                      const std::vector<AccountGroup>& groups,
                                      const CalendarMirrors& mirrors, const std::string& localeId);

// One section per account group, in the groups' order.
std::vector<AccountSection> accountSections(const std::vector<AccountGroup>& groups,
                                            const CalendarMirrors& mirrors,
                                            const std::string& localeId);

// The build's values as the information section shows them; an empty commit is left out.
BuildDescription describeBuild(std::string_view version, std::string_view build,
                               std::string_view bundleID, std::string_view commit);

} // namespace SettingsRows

} // namespace plannery
