#include "store/WidgetCenter.h"

#include "store/SharedKeychain.h"
#include "store/SharedPrefs.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QString>

#include <charconv>
#include <string>

namespace plannery::WidgetCenter {

void reloadAllTimelines(SharedKeychain& keychain) {
    // A failed increment only means the widget redraws at its next minute boundary instead.
    keychain.increment(SharedKeychain::widgetsService(), reloadAccount);
}

std::uint64_t countFrom(std::string_view bytes) {
    std::uint64_t count = 0;
    const char* end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, count);
    return error == std::errc{} && stop == end ? count : 0;
}

std::uint64_t reloadCount(SharedKeychain& keychain) {
    return countFrom(keychain.data(SharedKeychain::widgetsService(), reloadAccount).value_or("0"));
}

std::string rootsToJson(const std::vector<std::filesystem::path>& roots) {
    QJsonArray array;
    for (const auto& root : roots) {
        array.append(QString::fromStdString(root.string()));
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact).toStdString();
}

std::vector<std::filesystem::path> rootsFromJson(std::string_view json) {
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())));
    std::vector<std::filesystem::path> roots;
    for (const QJsonValue& value : document.array()) {
        if (value.isString() && !value.toString().isEmpty()) {
            roots.emplace_back(value.toString().toStdString());
        }
    }
    return roots;
}

void shareRoots(SharedKeychain& keychain, const std::vector<std::filesystem::path>& roots) {
    SharedPrefs(keychain).set(rootsToJson(roots), rootsKey);
}

} // namespace plannery::WidgetCenter
