#pragma once

#include "finder/EventFinder.h"
#include "finder/FinderEngine.h"
#include "platform/LocalModel.h"

#include <memory>

class QSettings;

namespace plannery {

class SharedKeychain;

// The event finder as the user set it up: which engine runs (the shared preference
// "eventFinderEngine", which the widget process may read too) and where the local model's server
// is (the app's preferences "localModelURL" and "localModelAllowsOtherHost"). Both stores must
// outlive it; either may be null, which reads as the defaults and keeps nothing.
class FinderSettings {
  public:
    static constexpr const char* kURLKey = "localModelURL";
    static constexpr const char* kAllowOtherHostKey = "localModelAllowsOtherHost";

    FinderSettings(SharedKeychain* keychain, QSettings* defaults);

    // The Built-in Reader unless the local model is chosen.
    EventFinder::Source engine() const;
    void setEngine(EventFinder::Source source);
    // Writes the engine choice as it reads now, so that a missing or unknown value becomes the
    // Built-in Reader's key; the window does this once when it first shows.
    void share();

    LocalModelSettings localModel() const;
    void setLocalModel(const LocalModelSettings& settings);

    // A new engine of the kind chosen, for one run.
    std::shared_ptr<FinderEngine> makeEngine() const;
    static std::shared_ptr<FinderEngine> makeEngine(EventFinder::Source source,
                                                    const LocalModelSettings& settings);

  private:
    SharedKeychain* m_keychain = nullptr;
    QSettings* m_defaults = nullptr;
};

} // namespace plannery
