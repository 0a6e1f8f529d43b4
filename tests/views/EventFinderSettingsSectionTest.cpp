#include "views/EventFinderSettingsSection.h"

#include "FakeEventStore.h"
#include "ScriptedServer.h"
#include "TestSupport.h"
#include "store/CalendarStore.h"
#include "store/SharedKeychain.h"
#include "store/SharedPrefs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::ScriptedServer;

class EventFinderSettingsSectionTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    Calendar cal = test::berlin();
    QSettings settings{QString::fromStdString((dir.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    SharedKeychain keychain{std::nullopt, dir.path(), settings};
    std::unique_ptr<CalendarStore> store = std::make_unique<CalendarStore>(CalendarStore::Services{
        .eventStore = std::make_unique<test::FakeEventStore>(),
        .scanHandle = {},
        .calendar = [this] { return cal; },
        .now = [this] { return test::at(cal, 2026, 3, 11, 10); },
        .defaults = &settings,
        .keychain = &keychain,
    });
    std::unique_ptr<EventFinderSettingsSection> section;

    void open() {
        section = std::make_unique<EventFinderSettingsSection>(*store, settings);
        section->show();
    }
    template <typename T> T* find(const char* name) {
        return section->findChild<T*>(QString::fromLatin1(name));
    }
    // The status once the server (if any) answered.
    QString status() {
        QSignalSpy shown(section.get(), &EventFinderSettingsSection::statusShown);
        if (find<QLabel>("eventFinderStatus")->text() == "Checking…") {
            EXPECT_TRUE(shown.wait(10000));
        }
        return find<QLabel>("eventFinderStatus")->text();
    }
    void choose(const QString& url) {
        auto* edit = find<QLineEdit>("localModelURL");
        edit->setText(url);
        emit edit->editingFinished();
    }
};

TEST_F(EventFinderSettingsSectionTest, TheBuiltInReaderIsTheDefaultAndAlwaysAvailable) {
    open();
    auto* engine = find<QComboBox>("eventFinderEngine");
    EXPECT_EQ(engine->currentText(), "Built-in Reader");
    EXPECT_EQ(engine->accessibleName(), "Event Finder");
    EXPECT_EQ(status(), "Available");
    EXPECT_FALSE(find<QLineEdit>("localModelURL")->isVisible());
    EXPECT_EQ(find<QLabel>("eventFinderFooter")->text(),
              "The text in an image is read on this computer, and the Built-in Reader finds the "
              "events on this computer too. Nothing is sent anywhere.");
}

TEST_F(EventFinderSettingsSectionTest, TheLocalModelsStatusComesFromItsServer) {
    open();
    find<QComboBox>("eventFinderEngine")->setCurrentIndex(1);
    EXPECT_EQ(SharedPrefs(keychain).string(SharedPrefs::eventFinderEngine), "local-model");
    EXPECT_TRUE(find<QLineEdit>("localModelURL")->isVisible());
    EXPECT_EQ(find<QLineEdit>("localModelURL")->text(), "http://127.0.0.1:8080");

    choose(QStringLiteral("http://127.0.0.1:%1").arg(ScriptedServer::closedPort()));
    EXPECT_EQ(status(), "Turned off");

    ScriptedServer loading([](const ScriptedServer::Request&) {
        return ScriptedServer::Reply{.status = 503, .body = R"({"error":"Loading model"})"};
    });
    choose(QString::fromUtf8(loading.url()));
    EXPECT_EQ(status(), "Getting ready");

    ScriptedServer ready([](const ScriptedServer::Request&) {
        return ScriptedServer::Reply{.status = 200, .body = R"({"data":[]})"};
    });
    choose(QString::fromUtf8(ready.url()) + "/v1");
    EXPECT_EQ(status(), "Available");

    choose(QString());
    EXPECT_EQ(status(), "Not on this device");

    // Another computer only when allowed (not asked here: nothing is sent to it).
    choose(QStringLiteral("http://192.0.2.7:8080"));
    EXPECT_EQ(status(), "Unavailable");
    EXPECT_EQ(find<QLabel>("eventFinderFooter")->text(),
              "The text in an image is read on this computer, and the local model finds the "
              "events on this computer too. Nothing is sent anywhere.");
    choose(QString::fromUtf8(ready.url()));
    find<QCheckBox>("localModelOtherHost")->setChecked(true);
    EXPECT_EQ(settings.value("localModelAllowsOtherHost").toBool(), true);
    EXPECT_EQ(status(), "Available");
    const auto local = EventFinder::Source::localModel;
    EXPECT_EQ(EventFinderSettingsSection::footer(
                  local, {.url = "http://192.0.2.7:8080", .allowOtherHost = true}),
              "The text in an image is read on this computer, then sent to the local model's "
              "server at 192.0.2.7.");
    find<QCheckBox>("localModelOtherHost")->setChecked(false);

    // The choices are there the next time.
    choose(QString::fromUtf8(ready.url()));
    open();
    EXPECT_EQ(find<QComboBox>("eventFinderEngine")->currentText(), "Local Model");
    EXPECT_EQ(find<QLineEdit>("localModelURL")->text(), QString::fromUtf8(ready.url()));
    EXPECT_EQ(status(), "Available");
}

} // namespace
} // namespace plannery
