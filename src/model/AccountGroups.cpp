#include "model/AccountGroups.h"

#include <algorithm>
#include <map>
#include <string>

namespace plannery {

namespace {

// Sixty days either way of now: recent enough to reflect how the account is used today.
constexpr double kSniffWindowSeconds = 5'184'000;
constexpr std::size_t kSniffedEvents = 200;
constexpr std::size_t kMinimumGoogleEvents = 3;
// What Google appends to the identifiers of the events it creates.
constexpr std::string_view kGoogleEventSuffix = "@google.com";

bool belongsTo(const StoreCalendar& calendar, const Source& source) {
    return calendar.source && calendar.source->sourceIdentifier == source.sourceIdentifier;
}

bool hasGoogleEventIdentifier(const StoreEvent& event) {
    const auto& external = event.calendarItemExternalIdentifier();
    if (!external || external->size() < kGoogleEventSuffix.size()) {
        return false;
    }
    const std::string_view tail =
        std::string_view(*external).substr(external->size() - kGoogleEventSuffix.size());
    return std::equal(tail.begin(), tail.end(), kGoogleEventSuffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

enum class GroupKey { subscribed, other, source };

GroupKey groupKeyOf(const StoreCalendar& calendar) {
    const SourceType* sourceType = calendar.source ? &calendar.source->sourceType : nullptr;
    if (calendar.type == CalendarType::subscription ||
        (sourceType && *sourceType == SourceType::subscribed)) {
        return GroupKey::subscribed;
    }
    if (calendar.type == CalendarType::birthday || !sourceType ||
        *sourceType == SourceType::birthdays) {
        return GroupKey::other;
    }
    return GroupKey::source;
}

} // namespace

bool looksLikeGoogle(const EventStore& store, const Source& source, Instant now) {
    if (source.sourceType != SourceType::calDAV ||
        store.authorizationStatus() != AuthorizationStatus::fullAccess) {
        return false;
    }
    std::vector<CalendarHandle> calendars;
    for (const CalendarHandle& calendar : store.calendars()) {
        if (calendar && calendar->type == CalendarType::calDAV && belongsTo(*calendar, source)) {
            calendars.push_back(calendar);
        }
    }
    if (calendars.empty()) {
        return false;
    }
    const std::vector<StoreEvent> events =
        store.events(now.plus(-kSniffWindowSeconds), now.plus(kSniffWindowSeconds), calendars);
    const std::size_t kept = std::min(events.size(), kSniffedEvents);
    const auto google = static_cast<std::size_t>(
        std::count_if(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(kept),
                      hasGoogleEventIdentifier));
    return google >= kMinimumGoogleEvents && kept <= 2 * google;
}

AccountKind accountKind(const EventStore& store, const Source& source,
                        const GoogleCheck& looksLikeGoogle) {
    std::vector<std::string> titles;
    for (const CalendarHandle& calendar : store.calendars()) {
        if (calendar && belongsTo(*calendar, source)) {
            titles.push_back(calendar->title);
        }
    }
    // The Google check reads events, so it is asked only when the answer can change the kind:
    // a CalDAV source that neither its title nor its calendars already place.
    const AccountKind plain = accountKindOf(source, titles, false);
    if (plain == AccountKind::calDAV && looksLikeGoogle && looksLikeGoogle(source)) {
        return AccountKind::google;
    }
    return plain;
}

std::vector<AccountGroup> accountGroups(const EventStore& store, const GoogleCheck& looksLikeGoogle,
                                        const Calendar& calendar) {
    if (store.authorizationStatus() != AuthorizationStatus::fullAccess) {
        return {};
    }
    std::vector<AccountGroup> groups;
    std::vector<SourceHandle> sourceOfGroup;
    std::map<std::string, std::size_t> indexOf;
    for (const CalendarHandle& storeCalendar : store.calendars()) {
        if (!storeCalendar) {
            continue;
        }
        const GroupKey key = groupKeyOf(*storeCalendar);
        const std::string id = key == GroupKey::subscribed ? "subscribed"
                               : key == GroupKey::other
                                   ? "other"
                                   : "source:" + storeCalendar->source->sourceIdentifier;
        auto [entry, added] = indexOf.emplace(id, groups.size());
        if (added) {
            groups.push_back(AccountGroup{.id = id,
                                          .name = {},
                                          .kind = std::nullopt,
                                          .calendars = {},
                                          .googleSyncURL = std::nullopt});
            sourceOfGroup.push_back(key == GroupKey::source ? storeCalendar->source : nullptr);
        }
        groups[entry->second].calendars.push_back(storeCalendar);
    }

    for (std::size_t i = 0; i < groups.size(); ++i) {
        AccountGroup& group = groups[i];
        std::stable_sort(group.calendars.begin(), group.calendars.end(),
                         [&](const CalendarHandle& a, const CalendarHandle& b) {
                             return calendar.compareLocalized(a->title, b->title) < 0;
                         });
        if (group.id == "subscribed") {
            group.name = std::string(displayName(AccountKind::subscribed));
            group.kind = AccountKind::subscribed;
        } else if (group.id == "other") {
            group.name = std::string(displayName(AccountKind::other));
        } else {
            const Source& source = *sourceOfGroup[i];
            const AccountKind kind = accountKind(store, source, looksLikeGoogle);
            group.kind = kind;
            group.name = kind == AccountKind::local ? std::string(displayName(kind)) : source.title;
            if (kind == AccountKind::google) {
                group.googleSyncURL = googleSyncURL(source.title);
            }
        }
    }

    std::stable_sort(groups.begin(), groups.end(),
                     [&](const AccountGroup& a, const AccountGroup& b) {
                         const int orderA = groupOrder(a.kind);
                         const int orderB = groupOrder(b.kind);
                         if (orderA != orderB) {
                             return orderA < orderB;
                         }
                         return calendar.compareLocalized(a.name, b.name) < 0;
                     });
    return groups;
}

} // namespace plannery
