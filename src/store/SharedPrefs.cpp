#include "store/SharedPrefs.h"

#include "store/SharedKeychain.h"

#include <QByteArray>
#include <QString>

namespace plannery {

std::optional<std::string> SharedPrefs::string(std::string_view key) const {
    const auto bytes = m_keychain.data(SharedKeychain::prefsService(), key);
    if (!bytes) {
        return std::nullopt;
    }
    // The round trip through UTF-16 replaces invalid sequences with U+FFFD.
    return QString::fromUtf8(bytes->data(), static_cast<qsizetype>(bytes->size())).toStdString();
}

void SharedPrefs::set(const std::optional<std::string>& value, std::string_view key) {
    // The widget process may be reading: a write that changes nothing is not worth its lock.
    if (string(key) == value) {
        return;
    }
    m_keychain.set(value, SharedKeychain::prefsService(), key);
}

} // namespace plannery
