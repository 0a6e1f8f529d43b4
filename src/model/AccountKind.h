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

// The calendars of one account, as settings lists them.
struct AccountGroup {
    std::string id; // "subscribed", "other" or "source:" + source identifier
    std::string name;
    std::optional<AccountKind> kind;       // absent for the catch-all group
    std::vector<CalendarHandle> calendars; // by title, localized standard comparison
    std::optional<std::string> googleSyncURL;
};

} // namespace plannery
