#include "model/AccountKind.h"

#include <array>
#include <utility>

namespace plannery {

namespace {

struct KindNames {
    AccountKind kind;
    std::string_view raw;
    std::string_view display;
};

// Raw values are stored in preferences and must never change; display names are what settings
// shows as account headings.
constexpr std::array<KindNames, 8> kKinds{{
    {AccountKind::iCloud, "iCloud", "iCloud"},
    {AccountKind::google, "google", "Google"},
    {AccountKind::exchange, "exchange", "Exchange"},
    {AccountKind::calDAV, "calDAV", "CalDAV"},
    {AccountKind::subscribed, "subscribed", "Subscribed"},
    {AccountKind::birthdays, "birthdays", "Birthdays"},
    {AccountKind::local, "local", "On This Computer"},
    {AccountKind::other, "other", "Other"},
}};

const KindNames& namesOf(AccountKind kind) {
    for (const KindNames& names : kKinds) {
        if (names.kind == kind) {
            return names;
        }
    }
    return kKinds.back();
}

} // namespace

std::string_view rawValue(AccountKind kind) {
    return namesOf(kind).raw;
}

std::optional<AccountKind> accountKindFromRawValue(std::string_view raw) {
    for (const KindNames& names : kKinds) {
        if (names.raw == raw) {
            return names.kind;
        }
    }
    return std::nullopt;
}

std::string_view displayName(AccountKind kind) {
    return namesOf(kind).display;
}

} // namespace plannery
