#include "store/SharedKeychain.h"

#include "platform/BuildInfo.h"
#include "platform/SharedStore.h"
#include "platform/XdgPaths.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <charconv>
#include <cstdio>

namespace plannery {

namespace {

QString defaultsKey(std::string_view service, std::string_view account) {
    std::string key = "SharedKeychain.";
    key.append(service).append(".").append(account);
    return QString::fromStdString(key);
}

std::uint64_t parseCount(const std::string& bytes) {
    std::uint64_t value = 0;
    const char* end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, value);
    return error == std::errc{} && stop == end ? value : 0;
}

// The group names one folder under the data home; anything else would put the store elsewhere.
bool isFolderName(const std::string& group) {
    return group != "." && group != ".." && group.find('/') == std::string::npos &&
           group.find('\0') == std::string::npos;
}

} // namespace

std::optional<std::string>
SharedKeychain::accessGroupFrom(const std::optional<std::string>& value) {
    // A build that never expanded the setting leaves its "$(NAME)" reference in place.
    if (!value || value->empty() || value->starts_with("$(")) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> SharedKeychain::accessGroup() {
    return accessGroupFrom(BuildInfo::value("PlanneryKeychainGroup"));
}

std::optional<std::filesystem::path>
SharedKeychain::storeFile(const std::optional<std::string>& accessGroup,
                          const std::filesystem::path& dataHome) {
    if (!accessGroup || !isFolderName(*accessGroup)) {
        return std::nullopt;
    }
    return dataHome / *accessGroup / "shared.sqlite";
}

SharedKeychain& SharedKeychain::standard() {
    static QSettings defaults(QStringLiteral("Plannery"), QStringLiteral("Plannery"));
    static SharedKeychain keychain(accessGroup(), xdg::dataHome(), defaults);
    return keychain;
}

SharedKeychain::SharedKeychain(std::optional<std::string> accessGroup,
                               std::filesystem::path dataHome, QSettings& defaults)
    : m_accessGroup(std::move(accessGroup)), m_dataHome(std::move(dataHome)), m_defaults(defaults) {
}

SharedKeychain::~SharedKeychain() = default;

// Opened once: when it cannot be, every call fails softly rather than repeating the complaint.
SharedStore* SharedKeychain::store() {
    if (!m_storeOpened) {
        m_storeOpened = true;
        if (const auto file = storeFile(m_accessGroup, m_dataHome)) {
            m_store = SharedStore::open(*file);
        } else {
            std::fprintf(stderr, "The shared settings group \"%s\" is not a folder name.\n",
                         m_accessGroup->c_str());
        }
    }
    return m_store.get();
}

std::optional<std::string> SharedKeychain::data(std::string_view service,
                                                std::string_view account) {
    if (m_accessGroup) {
        SharedStore* shared = store();
        return shared != nullptr ? shared->data(service, account) : std::nullopt;
    }
    const QVariant value = m_defaults.value(defaultsKey(service, account));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value.toByteArray().toStdString();
}

bool SharedKeychain::set(const std::optional<std::string>& bytes, std::string_view service,
                         std::string_view account) {
    if (m_accessGroup) {
        SharedStore* shared = store();
        return shared != nullptr && shared->set(bytes, service, account);
    }
    const QString key = defaultsKey(service, account);
    if (bytes) {
        m_defaults.setValue(key, QByteArray::fromStdString(*bytes));
    } else {
        m_defaults.remove(key);
    }
    return true;
}

std::optional<std::uint64_t> SharedKeychain::increment(std::string_view service,
                                                       std::string_view account) {
    if (m_accessGroup) {
        SharedStore* shared = store();
        return shared != nullptr ? shared->increment(service, account) : std::nullopt;
    }
    // Only this process reads the app's own preferences, so there is nobody to race with.
    const std::uint64_t next = parseCount(data(service, account).value_or("")) + 1;
    set(std::to_string(next), service, account);
    return next;
}

std::string SharedKeychain::settingsService() {
    return BuildInfo::bundleIdentifier() + ".settings";
}

std::string SharedKeychain::prefsService() {
    return BuildInfo::bundleIdentifier() + ".prefs";
}

std::string SharedKeychain::widgetsService() {
    return BuildInfo::bundleIdentifier() + ".widgets";
}

} // namespace plannery
