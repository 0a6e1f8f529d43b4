#include "store/CalendarAccounts.h"

#include "model/GoogleCalendarLink.h"

namespace plannery {

CalendarAccounts::CalendarAccounts(const EventStore& store, const Calendar& calendar,
                                   std::function<Instant()> now, std::function<bool()> hasAccess)
    : m_store(store), m_calendar(calendar), m_now(std::move(now)),
      m_hasAccess(std::move(hasAccess)) {}

std::vector<AccountGroup> CalendarAccounts::groups() {
    if (!m_hasAccess()) {
        return {};
    }
    return accountGroups(
        m_store, [this](const Source& source) { return looksLikeGoogle(source); }, m_calendar);
}

AccountKind CalendarAccounts::kind(const Source& source) {
    return accountKind(m_store, source, [this](const Source& s) { return looksLikeGoogle(s); });
}

bool CalendarAccounts::looksLikeGoogle(const Source& source) {
    // Not remembered without access, so that the answer is right once access comes.
    if (source.sourceType != SourceType::calDAV || !m_hasAccess()) {
        return false;
    }
    if (const auto known = m_looksLikeGoogle.find(source.sourceIdentifier);
        known != m_looksLikeGoogle.end()) {
        return known->second;
    }
    const bool answer = plannery::looksLikeGoogle(m_store, source, m_now());
    m_looksLikeGoogle.emplace(source.sourceIdentifier, answer);
    return answer;
}

std::optional<std::string>
CalendarAccounts::googleCalendarURL(const std::vector<StoreEvent>& copies) {
    return GoogleCalendarLink::eventURL(
        copies, [this](const Source& source) { return looksLikeGoogle(source); }, m_calendar);
}

void CalendarAccounts::forget() {
    m_looksLikeGoogle.clear();
}

} // namespace plannery
