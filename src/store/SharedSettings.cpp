#include "store/SharedSettings.h"

#include "store/SharedKeychain.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace plannery {

namespace {

constexpr std::string_view kAccount = "shared";
// JSON's short escapes for U+0008 to U+000D; U+000B has none.
constexpr std::string_view kShortEscapes = "btn fr";

// A JSON string literal. Text that is not valid UTF-8 has its bad sequences replaced, so the
// record always stays readable JSON.
void appendString(std::string& out, const std::string& text) {
    const QString unicode = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QString escaped;
    escaped.reserve(unicode.size() + 2);
    escaped += u'"';
    for (const QChar c : unicode) {
        const char16_t unit = c.unicode();
        if (unit == u'"' || unit == u'\\') {
            escaped += u'\\';
            escaped += c;
        } else if (unit >= 0x20) {
            escaped += c;
        } else if (unit >= 8 && unit <= 13 && kShortEscapes[unit - 8] != ' ') {
            escaped += u'\\';
            escaped += QLatin1Char(kShortEscapes[unit - 8]);
        } else {
            escaped += QStringLiteral("\\u%1").arg(unit, 4, 16, QLatin1Char('0'));
        }
    }
    escaped += u'"';
    out += escaped.toStdString();
}

void appendStrings(std::string& out, const std::vector<std::string>& strings) {
    out += '[';
    for (std::size_t i = 0; i < strings.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendString(out, strings[i]);
    }
    out += ']';
}

// A missing key and an explicit null both mean the default; a value of another type means the
// record is not one of ours.
bool isMissing(const QJsonValue& value) {
    return value.isUndefined() || value.isNull();
}

std::optional<std::vector<std::string>> readStrings(const QJsonValue& value) {
    if (!value.isArray()) {
        return std::nullopt;
    }
    std::vector<std::string> strings;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString()) {
            return std::nullopt;
        }
        strings.push_back(item.toString().toStdString());
    }
    return strings;
}

} // namespace

// The keys come in the record's own order, which a generic JSON writer would sort.
std::string SharedSettings::toJson() const {
    std::string out = "{\"hiddenCalendarIDs\":";
    appendStrings(out, hiddenCalendarIDs);
    out += ",\"showDeclined\":";
    out += showDeclined ? "true" : "false";
    out += ",\"mirroredCalendarIDs\":[";
    for (std::size_t i = 0; i < mirroredCalendarIDs.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendStrings(out, mirroredCalendarIDs[i]);
    }
    out += ']';
    if (!ownEmailAddresses.empty()) {
        out += ",\"ownEmailAddresses\":";
        appendStrings(out, ownEmailAddresses);
    }
    out += '}';
    return out;
}

std::optional<SharedSettings> SharedSettings::fromJson(std::string_view json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    SharedSettings settings;
    if (const QJsonValue hidden = object.value(QStringLiteral("hiddenCalendarIDs"));
        !isMissing(hidden)) {
        auto strings = readStrings(hidden);
        if (!strings) {
            return std::nullopt;
        }
        settings.hiddenCalendarIDs = std::move(*strings);
    }
    if (const QJsonValue declined = object.value(QStringLiteral("showDeclined"));
        !isMissing(declined)) {
        if (!declined.isBool()) {
            return std::nullopt;
        }
        settings.showDeclined = declined.toBool();
    }
    if (const QJsonValue mirrored = object.value(QStringLiteral("mirroredCalendarIDs"));
        !isMissing(mirrored)) {
        if (!mirrored.isArray()) {
            return std::nullopt;
        }
        for (const QJsonValue& group : mirrored.toArray()) {
            auto strings = readStrings(group);
            if (!strings) {
                return std::nullopt;
            }
            settings.mirroredCalendarIDs.push_back(std::move(*strings));
        }
    }
    if (const QJsonValue own = object.value(QStringLiteral("ownEmailAddresses")); !isMissing(own)) {
        auto strings = readStrings(own);
        if (!strings) {
            return std::nullopt;
        }
        settings.ownEmailAddresses = std::move(*strings);
    }
    return settings;
}

std::optional<SharedSettings> SharedSettings::load(SharedKeychain& keychain) {
    const auto bytes = keychain.data(SharedKeychain::settingsService(), kAccount);
    return bytes ? fromJson(*bytes) : std::nullopt;
}

bool SharedSettings::save(SharedKeychain& keychain) const {
    return keychain.set(toJson(), SharedKeychain::settingsService(), kAccount);
}

} // namespace plannery
