#include "store/FinderSettings.h"

#include "finder/BuiltinReader.h"
#include "store/SharedPrefs.h"

#include <QSettings>

namespace plannery {

FinderSettings::FinderSettings(SharedKeychain* keychain, QSettings* defaults)
    : m_keychain(keychain), m_defaults(defaults) {}

EventFinder::Source FinderSettings::engine() const {
    if (!m_keychain) {
        return EventFinder::chosenEngine(std::nullopt);
    }
    return EventFinder::chosenEngine(
        SharedPrefs(*m_keychain).string(SharedPrefs::eventFinderEngine));
}

void FinderSettings::setEngine(EventFinder::Source source) {
    if (m_keychain) {
        SharedPrefs(*m_keychain)
            .set(std::string(EventFinder::engineKey(source)), SharedPrefs::eventFinderEngine);
    }
}

void FinderSettings::share() {
    setEngine(engine());
}

LocalModelSettings FinderSettings::localModel() const {
    LocalModelSettings settings;
    if (m_defaults) {
        settings.url = m_defaults
                           ->value(QLatin1String(kURLKey),
                                   QString::fromUtf8(LocalModelSettings::kDefaultURL.data(),
                                                     LocalModelSettings::kDefaultURL.size()))
                           .toString()
                           .trimmed()
                           .toStdString();
        settings.allowOtherHost =
            m_defaults->value(QLatin1String(kAllowOtherHostKey), false).toBool();
    }
    return settings;
}

void FinderSettings::setLocalModel(const LocalModelSettings& settings) {
    if (m_defaults) {
        m_defaults->setValue(QLatin1String(kURLKey),
                             QString::fromStdString(settings.url).trimmed());
        m_defaults->setValue(QLatin1String(kAllowOtherHostKey), settings.allowOtherHost);
    }
}

std::shared_ptr<FinderEngine> FinderSettings::makeEngine() const {
    return makeEngine(engine(), localModel());
}

std::shared_ptr<FinderEngine> FinderSettings::makeEngine(EventFinder::Source source,
                                                         const LocalModelSettings& settings) {
    if (source == EventFinder::Source::localModel) {
        return std::make_shared<LocalModel>(settings);
    }
    return std::make_shared<BuiltinReader>();
}

} // namespace plannery
