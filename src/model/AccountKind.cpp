#include "model/AccountKind.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
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

constexpr std::string_view kGoogleSyncPage = "https://calendar.google.com/calendar/syncselect";
// Calendars of a Google account are titled by the owner's address; a shared or secondary one
// by an address on the web host (xyz@group.calendar.google.com).
constexpr std::array<std::string_view, 3> kGoogleTitleSuffixes{"@gmail.com", "@googlemail.com",
                                                               "calendar.google.com"};

std::string lowerCased(std::string_view text) {
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
    unicode.toLower(icu::Locale::getRoot());
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The lower-cased words of a name, split at every character that is neither a letter nor a
// digit (marks stay with their letter).
std::vector<std::string> wordsOf(std::string_view name) {
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), name.size()));
    unicode.toLower(icu::Locale::getRoot());
    std::vector<std::string> words;
    icu::UnicodeString word;
    const auto flush = [&] {
        if (!word.isEmpty()) {
            std::string text;
            word.toUTF8String(text);
            words.push_back(std::move(text));
            word.remove();
        }
    };
    for (int32_t i = 0; i < unicode.length();) {
        const UChar32 c = unicode.char32At(i);
        const int32_t category = U_GET_GC_MASK(c);
        if ((category & (U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK)) != 0) {
            word.append(c);
        } else {
            flush();
        }
        i = unicode.moveIndex32(i, 1);
    }
    flush();
    return words;
}

// Words that already name a kind of account: a heading that contains one needs no suffix.
std::vector<std::string> genericWords(AccountKind kind) {
    switch (kind) {
    case AccountKind::iCloud:
        return {"icloud"};
    case AccountKind::google:
        return {"google", "gmail", "googlemail"};
    case AccountKind::exchange:
        return {"exchange"};
    case AccountKind::calDAV:
        return {"caldav"};
    case AccountKind::subscribed:
    case AccountKind::birthdays:
    case AccountKind::local:
    case AccountKind::other:
        break;
    }
    return {lowerCased(displayName(kind))};
}

// Percent-encodes what may not stand in a URL query value as it is.
std::string queryValue(std::string_view text) {
    static constexpr std::string_view kAllowed = "-._~!$'()*+,;:@/?";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') ||
                           kAllowed.find(c) != std::string_view::npos;
        if (plain) {
            out += c;
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
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

AccountKind accountKindOf(const Source& source, const std::vector<std::string>& calendarTitles,
                          bool sniffedGoogle) {
    switch (source.sourceType) {
    case SourceType::local:
        return AccountKind::local;
    case SourceType::exchange:
        return AccountKind::exchange;
    case SourceType::iCloud:
        return AccountKind::iCloud;
    case SourceType::subscribed:
        return AccountKind::subscribed;
    case SourceType::birthdays:
        return AccountKind::birthdays;
    case SourceType::calDAV:
        break;
    default:
        return AccountKind::other;
    }
    // A CalDAV source may be any server; its title, the Google check and its calendars' titles
    // tell the big providers apart.
    const std::string title = lowerCased(source.title);
    if (title.find("icloud") != std::string::npos) {
        return AccountKind::iCloud;
    }
    if (title.find("gmail") != std::string::npos || title.find("google") != std::string::npos) {
        return AccountKind::google;
    }
    if (sniffedGoogle) {
        return AccountKind::google;
    }
    for (const std::string& calendarTitle : calendarTitles) {
        const std::string lower = lowerCased(calendarTitle);
        for (const std::string_view suffix : kGoogleTitleSuffixes) {
            if (endsWith(lower, suffix)) {
                return AccountKind::google;
            }
        }
    }
    return AccountKind::calDAV;
}

std::string sectionTitle(std::string_view name, std::optional<AccountKind> kind) {
    if (!kind || *kind == AccountKind::other) {
        return std::string(name);
    }
    const std::string_view display = displayName(*kind);
    if (name.empty()) {
        return std::string(display);
    }
    if (name == display) {
        return std::string(name);
    }
    if (!isEmailAddress(name)) {
        const std::vector<std::string> generic = genericWords(*kind);
        for (const std::string& word : wordsOf(name)) {
            if (std::find(generic.begin(), generic.end(), word) != generic.end()) {
                return std::string(name);
            }
        }
    }
    return std::string(name) + " \xC2\xB7 " + std::string(display);
}

bool isEmailAddress(std::string_view text) {
    if (text.find(' ') != std::string_view::npos) {
        return false;
    }
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        const std::size_t at = std::min(text.find('@', begin), text.size());
        if (at > begin) {
            pieces.push_back(text.substr(begin, at - begin));
        }
        begin = at + 1;
    }
    return pieces.size() == 2 && pieces[1].find('.') != std::string_view::npos;
}

std::string googleSyncURL(std::optional<std::string_view> account) {
    std::string url(kGoogleSyncPage);
    if (!account) {
        return url;
    }
    std::string_view trimmed = *account;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!trimmed.empty() && blank(trimmed.front())) {
        trimmed.remove_prefix(1);
    }
    while (!trimmed.empty() && blank(trimmed.back())) {
        trimmed.remove_suffix(1);
    }
    if (isEmailAddress(trimmed)) {
        url += "?authuser=" + queryValue(trimmed);
    }
    return url;
}

int groupOrder(std::optional<AccountKind> kind) {
    if (!kind) {
        return 99;
    }
    switch (*kind) {
    case AccountKind::iCloud:
        return 0;
    case AccountKind::google:
        return 1;
    case AccountKind::exchange:
        return 2;
    case AccountKind::calDAV:
        return 3;
    case AccountKind::other:
        return 4;
    case AccountKind::local:
        return 5;
    case AccountKind::subscribed:
        return 6;
    case AccountKind::birthdays:
        return 7;
    }
    return 99;
}

} // namespace plannery
