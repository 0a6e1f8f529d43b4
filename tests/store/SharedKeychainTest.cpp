#include "store/SharedKeychain.h"

#include "TestSupport.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

QString iniIn(const test::TempDir& dir) {
    return QString::fromStdString((dir.path() / "defaults.ini").string());
}

TEST(SharedKeychain, AccessGroupCountsOnlyWhenSetAndExpanded) {
    EXPECT_EQ(SharedKeychain::accessGroupFrom(std::nullopt), std::nullopt);
    EXPECT_EQ(SharedKeychain::accessGroupFrom(""), std::nullopt);
    EXPECT_EQ(SharedKeychain::accessGroupFrom("$(AppIdentifierPrefix)org.plannery.shared"),
              std::nullopt);
    EXPECT_EQ(SharedKeychain::accessGroupFrom("$("), std::nullopt);
    EXPECT_EQ(SharedKeychain::accessGroupFrom("org.plannery.shared"), "org.plannery.shared");
    EXPECT_EQ(SharedKeychain::accessGroupFrom("group$(X)"), "group$(X)");
    EXPECT_EQ(SharedKeychain::accessGroupFrom(" "), " ");
}

TEST(SharedKeychain, WithoutAGroupItemsLiveInThePreferencesOnly) {
    for (const char* group : {"", "$(PLANNERY_KEYCHAIN_GROUP)"}) {
        SCOPED_TRACE(group);
        test::TempDir dir;
        const fs::path dataHome = dir.path() / "data";
        QSettings defaults(iniIn(dir), QSettings::IniFormat);
        SharedKeychain keychain(SharedKeychain::accessGroupFrom(group), dataHome, defaults);

        const std::string bytes("raw\0\xff bytes", 11);
        EXPECT_TRUE(keychain.set(bytes, "org.example.settings", "shared"));
        EXPECT_EQ(defaults.value("SharedKeychain.org.example.settings.shared").toByteArray(),
                  QByteArray::fromStdString(bytes));
        EXPECT_EQ(keychain.data("org.example.settings", "shared"), bytes);
        EXPECT_EQ(keychain.data("org.example.settings", "other"), std::nullopt);

        EXPECT_TRUE(keychain.set(std::nullopt, "org.example.settings", "shared"));
        EXPECT_FALSE(defaults.contains("SharedKeychain.org.example.settings.shared"));
        EXPECT_EQ(keychain.data("org.example.settings", "shared"), std::nullopt);
        EXPECT_TRUE(keychain.set(std::nullopt, "org.example.prefs", "never-stored"));

        EXPECT_EQ(keychain.increment("org.example.widgets", "reload"), 1u);
        EXPECT_EQ(keychain.increment("org.example.widgets", "reload"), 2u);
        EXPECT_EQ(keychain.data("org.example.widgets", "reload"), "2");

        // A value written by hand as text still reads as its bytes.
        defaults.setValue("SharedKeychain.org.example.prefs.engine", QStringLiteral("builtin"));
        EXPECT_EQ(keychain.data("org.example.prefs", "engine"), "builtin");
        EXPECT_FALSE(fs::exists(dataHome));
    }
}

TEST(SharedKeychain, WithAGroupItemsLiveInTheSharedFileOnly) {
    test::TempDir dir;
    const fs::path dataHome = dir.path() / "data";
    QSettings defaults(iniIn(dir), QSettings::IniFormat);
    SharedKeychain app(std::string("org.example.group"), dataHome, defaults);

    EXPECT_EQ(app.data("svc", "acct"), std::nullopt);
    EXPECT_TRUE(app.set("one", "svc", "acct"));
    EXPECT_TRUE(fs::exists(dataHome / "org.example.group" / "shared.sqlite"));
    EXPECT_TRUE(defaults.allKeys().isEmpty());

    // A second process's keychain sees the same item and its changes.
    QSettings otherDefaults(QString::fromStdString((dir.path() / "widget.ini").string()),
                            QSettings::IniFormat);
    SharedKeychain widget(std::string("org.example.group"), dataHome, otherDefaults);
    EXPECT_EQ(widget.data("svc", "acct"), "one");
    EXPECT_TRUE(app.set("two", "svc", "acct"));
    EXPECT_EQ(widget.data("svc", "acct"), "two");
    EXPECT_TRUE(widget.set(std::nullopt, "svc", "acct"));
    EXPECT_EQ(app.data("svc", "acct"), std::nullopt);
    EXPECT_TRUE(app.set(std::nullopt, "svc", "never-stored"));
}

TEST(SharedKeychain, AStoreThatCannotOpenFailsEveryCallSoftly) {
    test::TempDir dir;
    QSettings defaults(iniIn(dir), QSettings::IniFormat);
    const fs::path notAFolder = dir.write("data", "a file where the data folder should be");
    // A group that is not one folder name would put the file outside the data home.
    const fs::path home = dir.path() / "home";
    for (const std::string group : {"org.example.group", "..", "a/b"}) {
        SCOPED_TRACE(group);
        SharedKeychain keychain(group, group == "org.example.group" ? notAFolder : home, defaults);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(keychain.set("bytes", "svc", "acct"));
        EXPECT_EQ(keychain.data("svc", "acct"), std::nullopt);
        EXPECT_EQ(keychain.increment("svc", "count"), std::nullopt);
        const std::string said = testing::internal::GetCapturedStderr();
        // One complaint, not one per call.
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        // Never a fallback to the preferences: the widget would not see them.
        EXPECT_TRUE(defaults.allKeys().isEmpty());
    }
    EXPECT_FALSE(fs::exists(dir.path() / "shared.sqlite"));
    EXPECT_FALSE(fs::exists(home));
}

} // namespace
} // namespace plannery
