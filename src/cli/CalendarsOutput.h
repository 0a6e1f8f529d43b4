#pragma once

#include "model/AccountKind.h"

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

// What `plannery calendars` prints: the accounts in the order settings shows them, each with its
// calendars.
namespace plannery::cli::CalendarsOutput {

// Calendar identifier -> number of calendar objects (one per file in a folder, one per UID in a
// calendar kept in one file). Calendars not in the map show no count.
using SeriesCounts = std::map<std::string, int>;

// Source identifier -> the address found in that account's events as the user's.
using FoundAddresses = std::map<std::string, std::string>;

// Each account under its heading ("ann@example.com · Google"), the Google sync page under a
// Google account, the address found as the user's, then one line per calendar: title,
// identifier, type, colour, read-only flag and number of calendar objects.
void text(std::ostream& out, const std::vector<AccountGroup>& groups, const SeriesCounts& counts,
          const FoundAddresses& found = {});
// {"accounts":[{"id","name","title","kind","syncURL","foundAddress","calendars":[...]}]};
// kind, syncURL and foundAddress are null where the account has none.
void json(std::ostream& out, const std::vector<AccountGroup>& groups, const SeriesCounts& counts,
          const FoundAddresses& found = {});

} // namespace plannery::cli::CalendarsOutput
