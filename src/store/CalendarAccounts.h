#pragma once

#include "model/AccountGroups.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace plannery {

// The accounts the calendars belong to, as the settings and the detail sheet show them: their
// groups and kinds, and whether a CalDAV account is Google's (judged from its events, once per
// account until the calendars change). Without access there are none.
class CalendarAccounts {
  public:
    // `calendar` is the user's calendar as the store keeps it (it must outlive this object);
    // `hasAccess` tells whether the calendars may be read now.
    CalendarAccounts(const EventStore& store, const Calendar& calendar,
                     std::function<Instant()> now, std::function<bool()> hasAccess);

    std::vector<AccountGroup> groups();
    AccountKind kind(const Source& source);
    bool looksLikeGoogle(const Source& source);
    // The address of the event in Google Calendar when one of its copies is in a Google account.
    std::optional<std::string> googleCalendarURL(const std::vector<StoreEvent>& copies);
    // The calendars changed: accounts are judged again.
    void forget();

  private:
    const EventStore& m_store;
    const Calendar& m_calendar;
    std::function<Instant()> m_now;
    std::function<bool()> m_hasAccess;
    std::unordered_map<std::string, bool> m_looksLikeGoogle; // by source identifier
};

} // namespace plannery
