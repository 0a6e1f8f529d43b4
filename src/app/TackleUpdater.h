#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace plannery {

// The optional software updater: a Qt plug-in named "TackleSparkle" in the application's
// plug-in folder, loaded only when the build set both an update feed and its key. Any failure
// leaves no updater and reports nothing; without one the menu offers no update item.
class TackleUpdater final {
  public:
    using InfoLookup = std::function<std::optional<std::string>(std::string_view key)>;

    // `info` reads the build information; `pluginFolder` is where the plug-in would be.
    TackleUpdater(const InfoLookup& info, const QString& pluginFolder);

    // The one updater of the app, made on first use from the build information.
    static TackleUpdater& shared();

    bool available() const { return !m_sparkle.isNull(); }
    // Asks the plug-in to look for an update (its slot "checkForUpdates").
    void checkForUpdates();

  private:
    QPointer<QObject> m_sparkle;
};

} // namespace plannery
