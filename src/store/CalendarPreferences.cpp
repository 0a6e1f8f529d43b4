#include "store/CalendarPreferences.h"

#include "model/MailAddress.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace plannery::CalendarPreferences {

namespace {

const QString hiddenKey = QStringLiteral("hiddenCalendarIDs");
const QString showDeclinedKey = QStringLiteral("showDeclined");
const QString mirrorsKey = QStringLiteral("mirroredCalendars");
const QString ownAddressesKey = QStringLiteral("ownEmailAddresses");

// A list of strings as preferences hand it back: the INI format gives a one-element list as a
// plain string and a longer one as a list. Anything else (a hand-edited number, a rectangle, a
// list holding lists) is not a list of strings.
std::optional<std::vector<std::string>> stringsOf(const QVariant& value) {
    std::vector<std::string> strings;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        strings.push_back(value.toString().toStdString());
        return strings;
    case QMetaType::QStringList:
        for (const QString& s : value.toStringList()) {
            strings.push_back(s.toStdString());
        }
        return strings;
    case QMetaType::QVariantList:
        for (const QVariant& item : value.toList()) {
            if (item.metaType().id() != QMetaType::QString) {
                return std::nullopt;
            }
            strings.push_back(item.toString().toStdString());
        }
        return strings;
    default:
        return std::nullopt;
    }
}

std::set<std::string> readHidden(const QSettings* defaults) {
    if (defaults == nullptr) {
        return {};
    }
    auto strings = stringsOf(defaults->value(hiddenKey));
    if (!strings) {
        return {};
    }
    return std::set<std::string>(strings->begin(), strings->end());
}

// Text-based preferences hold "true" and "false"; QVariant would read any other non-empty text as
// true, so only the two words (and 1/0) count and everything else is the default.
bool readShowDeclined(const QSettings* defaults) {
    if (defaults == nullptr) {
        return false;
    }
    const QVariant value = defaults->value(showDeclinedKey);
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString: {
        const QString text = value.toString().trimmed().toLower();
        return text == QLatin1String("true") || text == QLatin1String("1");
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toLongLong() == 1;
    default:
        return false;
    }
}

// Mirror groups are kept only when the value is a list whose every item is a list of strings; a
// half-readable value is dropped whole rather than guessed at.
std::vector<std::vector<std::string>> readMirrorGroups(const QSettings* defaults) {
    if (defaults == nullptr) {
        return {};
    }
    const QVariant value = defaults->value(mirrorsKey);
    if (value.metaType().id() != QMetaType::QVariantList) {
        return {};
    }
    std::vector<std::vector<std::string>> groups;
    for (const QVariant& item : value.toList()) {
        const int type = item.metaType().id();
        if (type != QMetaType::QStringList && type != QMetaType::QVariantList) {
            return {};
        }
        auto group = stringsOf(item);
        if (!group) {
            return {};
        }
        groups.push_back(std::move(*group));
    }
    return groups;
}

std::vector<std::string> readOwnAddresses(const QSettings* defaults) {
    if (defaults == nullptr) {
        return {};
    }
    auto strings = stringsOf(defaults->value(ownAddressesKey)).value_or(std::vector<std::string>{});
    std::erase_if(strings, [](const std::string& s) { return !matchesEmailPattern(s); });
    return strings;
}

QStringList toQStringList(const std::vector<std::string>& strings) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(strings.size()));
    for (const std::string& s : strings) {
        list.push_back(QString::fromStdString(s));
    }
    return list;
}

} // namespace

Values read(const QSettings* defaults) {
    return Values{.hiddenCalendarIDs = readHidden(defaults),
                  .showDeclined = readShowDeclined(defaults),
                  .mirrorGroups = readMirrorGroups(defaults),
                  .ownAddresses = readOwnAddresses(defaults)};
}

void writeHidden(QSettings* defaults, const std::set<std::string>& ids) {
    if (defaults == nullptr) {
        return;
    }
    QStringList list;
    for (const std::string& id : ids) {
        list.push_back(QString::fromStdString(id));
    }
    defaults->setValue(hiddenKey, list);
}

void writeShowDeclined(QSettings* defaults, bool show) {
    if (defaults != nullptr) {
        defaults->setValue(showDeclinedKey, show);
    }
}

void writeMirrorGroups(QSettings* defaults, const std::vector<std::vector<std::string>>& groups) {
    if (defaults == nullptr) {
        return;
    }
    QVariantList list;
    for (const auto& group : groups) {
        list.push_back(toQStringList(group));
    }
    defaults->setValue(mirrorsKey, list);
}

void writeOwnAddresses(QSettings* defaults, const std::vector<std::string>& addresses) {
    if (defaults != nullptr) {
        defaults->setValue(ownAddressesKey, toQStringList(addresses));
    }
}

} // namespace plannery::CalendarPreferences
