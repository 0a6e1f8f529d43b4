#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace plannery {

class SharedStore;

// Small items, by (service, account), that the app and the widget process both read: in the
// shared store ($XDG_DATA_HOME/<access group>/shared.sqlite) when the build names an access
// group, else in the app's own preferences under "SharedKeychain." + service + "." + account
// (development builds, where only the app itself reads them).
class SharedKeychain {
  public:
    // The access group the build names under "PlanneryKeychainGroup"; absent when it is missing,
    // empty or an unexpanded build setting (starting with "$(").
    static std::optional<std::string> accessGroup();
    static std::optional<std::string> accessGroupFrom(const std::optional<std::string>& value);

    // The shared store's file for an access group under a data home: "<group>/shared.sqlite".
    // None without a group, or for a group that is not a folder name.
    static std::optional<std::filesystem::path>
    storeFile(const std::optional<std::string>& accessGroup, const std::filesystem::path& dataHome);

    // The one the app and the widget process use: the build's access group under
    // $XDG_DATA_HOME, preferences in the app's QSettings.
    static SharedKeychain& standard();

    // `defaults` must outlive the keychain.
    SharedKeychain(std::optional<std::string> accessGroup, std::filesystem::path dataHome,
                   QSettings& defaults);
    ~SharedKeychain();
    SharedKeychain(const SharedKeychain&) = delete;
    SharedKeychain& operator=(const SharedKeychain&) = delete;

    std::optional<std::string> data(std::string_view service, std::string_view account);
    // Stores the bytes, or deletes the item when absent; false when the store failed.
    bool set(const std::optional<std::string>& bytes, std::string_view service,
             std::string_view account);
    // Adds one to the decimal counter the item holds (absent counts as 0), in one step that
    // another process's increment cannot interleave with; the new value, or absent when the
    // store failed.
    std::optional<std::uint64_t> increment(std::string_view service, std::string_view account);

    // The services the program uses: the bundle identifier followed by ".settings", ".prefs"
    // and ".widgets".
    static std::string settingsService();
    static std::string prefsService();
    static std::string widgetsService();

  private:
    SharedStore* store();

    std::optional<std::string> m_accessGroup;
    std::filesystem::path m_dataHome;
    QSettings& m_defaults;
    std::unique_ptr<SharedStore> m_store; // opened on first use
    bool m_storeOpened = false;
};

} // namespace plannery
