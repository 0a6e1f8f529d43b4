#pragma once

#include "platform/VdirScan.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

class IndexCache;

// Who the user is on accounts that do not say. A plain vdirsyncer account has no account.ini,
// so nothing names the user's address; but the user takes part in nearly every event of their
// own account that has attendees, and other people in far fewer.
namespace vdir {

// The lower-case addresses of the people of one event with attendees (organizer and attendees;
// rooms and resources left out), each once.
using Participants = std::vector<std::string>;

inline constexpr double kMinUserShare = 0.6;
inline constexpr std::size_t kMinUserEvents = 5;

// The address that takes part in the most events, when that is at least kMinUserShare of them
// and at least kMinUserEvents; nothing when two addresses take part equally often (a team whose
// every meeting has the same organiser cannot tell who is who).
std::optional<std::string> mostFrequentParticipant(const std::vector<Participants>& events);

// The address found in the events of every account whose folder names none of the user's
// (neither `emails` in an account.ini nor an address as its title), by source identifier.
// Kept in the cache under the stamps of the account's files, so that an account is read again
// only when one of its files changed.
std::map<std::string, std::string> findUserAddresses(const Scan& scan, IndexCache* cache);

// Each calendar's userAddresses: its account's addresses, its title when that is an address, the
// user's own addresses (`own`) and the address found for its account.
void setUserAddresses(Scan& scan, const std::vector<std::string>& own,
                      const std::map<std::string, std::string>& found);

} // namespace vdir

} // namespace plannery
