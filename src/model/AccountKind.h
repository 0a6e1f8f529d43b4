#pragma once

#include "model/EventStore.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery {

// The kind of account a calendar belongs to.
enum class AccountKind { iCloud, google, exchange, calDAV, subscribed, birthdays, local, other };

// The raw value, equal to the case name ("iCloud", "calDAV", ...).
std::string_view rawValue(AccountKind kind);
std::optional<AccountKind> accountKindFromRawValue(std::string_view raw);
// The name shown to the user ("Google", "On This Computer", ...).
std::string_view displayName(AccountKind kind);

// How an account is classified from what the event store tells about it: its source type, the
// titles of its calendars and whether the Google check (which looks at its events' identifiers)
// said yes. A CalDAV source is iCloud or Google when its title or calendars say so.
AccountKind accountKindOf(const Source& source, const std::vector<std::string>& calendarTitles,
                          bool sniffedGoogle);

// The heading of an account in settings: the name alone when it already says what it is
// ("Exchange", "Work Gmail"), else the name, " · " and the kind ("ann@example.com · Google").
std::string sectionTitle(std::string_view name, std::optional<AccountKind> kind);

// One "@", something on both sides, a "." after it and no space.
bool isEmailAddress(std::string_view text);

// The Google page that picks which calendars sync, for that account when the name is an e-mail
// address.
std::string googleSyncURL(std::optional<std::string_view> account);

// The order of account groups in settings: iCloud, Google, Exchange, CalDAV, other, this
// computer, subscribed, birthdays, then groups without a kind.
int groupOrder(std::optional<AccountKind> kind);

// The calendars of one account, as settings lists them.
struct AccountGroup {
    std::string id; // "subscribed", "other" or "source:" + source identifier
    std::string name;
    std::optional<AccountKind> kind;       // absent for the catch-all group
    std::vector<CalendarHandle> calendars; // by title, localized standard comparison
    std::optional<std::string> googleSyncURL;
};

} // namespace plannery
