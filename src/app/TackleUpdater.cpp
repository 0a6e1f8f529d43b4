#include "app/TackleUpdater.h"

#include "platform/BuildInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

namespace plannery {

namespace {

bool isSet(const TackleUpdater::InfoLookup& info, std::string_view key) {
    const auto value = info ? info(key) : std::nullopt;
    return value && !value->empty();
}

} // namespace

TackleUpdater::TackleUpdater(const InfoLookup& info, const QString& pluginFolder) {
    if (!isSet(info, "SUFeedURL") || !isSet(info, "SUPublicEDKey")) {
        return;
    }
    const QDir folder(pluginFolder);
    if (pluginFolder.isEmpty() || !folder.exists()) {
        return;
    }
    QPluginLoader loader(folder.filePath(QStringLiteral("TackleSparkle")));
    QObject* instance = loader.instance();
    if (instance && instance->metaObject()->indexOfMethod("checkForUpdates()") >= 0) {
        m_sparkle = instance;
    }
}

TackleUpdater& TackleUpdater::shared() {
    static TackleUpdater updater(
        [](std::string_view key) { return BuildInfo::value(key); },
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("plugins")));
    return updater;
}

void TackleUpdater::checkForUpdates() {
    if (m_sparkle) {
        QMetaObject::invokeMethod(m_sparkle, "checkForUpdates");
    }
}

} // namespace plannery
