#include "FakeEventStore.h"
#include "TestSupport.h"

#include "store/CalendarStore.h"
#include "store/SharedKeychain.h"
#include "views/CalendarToggle.h"
#include "views/SettingsSection.h"
#include "views/SettingsView.h"
#include "views/TimeGridBinding.h"

#include <gtest/gtest.h>

#include <map>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace plannery {
namespace {

using Groups = std::vector<std::vector<std::string>>;

// A settings sheet on a calendar store over an in-memory event store with an iCloud, a Google and
// an Exchange account, an account without calendars and a birthday calendar of no account.
struct Sheet {
    test::TempDir dir;
    Calendar cal = test::berlin();
    QSettings settings{QString::fromStdString((dir.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    SharedKeychain keychain{std::nullopt, dir.path(), settings};
    test::FakeEventStore* fake = nullptr;
    SourceHandle icloud;
    std::unique_ptr<CalendarStore> store;
    std::unique_ptr<SettingsView> view;
    std::map<std::string, std::string> found; // what the event store found, by source

    explicit Sheet(AuthorizationStatus status = AuthorizationStatus::fullAccess) {
        auto own = std::make_unique<test::FakeEventStore>();
        own->setAuthorizationStatus(status);
        icloud = own->addSource("icloud", SourceType::iCloud, "iCloud");
        const auto google = own->addSource("google", SourceType::calDAV, "ann@gmail.com");
        const auto exchange = own->addSource("exchange", SourceType::exchange, "Exchange");
        own->addSource("empty", SourceType::calDAV, "Empty");
        own->addCalendar({.id = "home", .title = "Home", .source = icloud});
        own->addCalendar({.id = "work-i", .title = "Work", .source = icloud});
        own->addCalendar({.id = "family", .title = "Family", .source = google});
        own->addCalendar({.id = "work-x", .title = "Work", .source = exchange});
        own->addCalendar({.id = "birthdays", .title = "Birthdays", .type = CalendarType::birthday});
        fake = own.get();
        store = std::make_unique<CalendarStore>(CalendarStore::Services{
            .eventStore = std::move(own),
            .scanHandle = [] { return std::unique_ptr<EventStore>(); },
            .calendar = [this] { return cal; },
            .now = [this] { return test::at(cal, 2026, 3, 11, 10); },
            .defaults = &settings,
            .keychain = &keychain,
            .foundAddresses = [this] { return found; },
        });
        store->setMirrors(CalendarMirrors(Groups{{"work-x", "work-i"}}));
        open();
    }

    // Opens the sheet (again), as the window does each time.
    void open() {
        view = std::make_unique<SettingsView>(*store, settings);
        view->resize(500, 900);
        view->show();
        QCoreApplication::processEvents();
    }

    QStringList headers() const {
        QStringList texts;
        for (const QLabel* header : view->findChildren<QLabel*>(QStringLiteral("accountHeader"))) {
            texts.push_back(header->text());
        }
        return texts;
    }

    // The calendars' switches with this title, in the order the sheet lists them.
    QList<CalendarToggle*> toggles(const QString& title) const {
        return view->findChildren<CalendarToggle*>(QStringLiteral("calendarToggle-") + title);
    }

    static void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    static void click(CalendarToggle* toggle) { click(toggle->findChild<QCheckBox*>()); }

    template <typename T> T* child(const char* name) const {
        return view->findChild<T*>(QString::fromLatin1(name));
    }
};

// Picks an item of a combo box the way a user does: open the list, point at the item, click.
void choose(QComboBox* box, const QString& text) {
    const int row = box->findText(text);
    ASSERT_GE(row, 0) << text.toStdString();
    box->showPopup();
    QAbstractItemView* list = box->view();
    const QModelIndex index = box->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint point = list->visualRect(index).center();
    QTest::mouseMove(list->viewport(), point);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }, 2000));
}

QStringList items(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) {
        texts.push_back(box->itemText(i));
    }
    return texts;
}

TEST(SettingsView, AccountsInTheirSectionsWithMirrorNotes) {
    Sheet sheet;
    // The account without calendars has no section; the calendars of no account come last.
    EXPECT_EQ(sheet.headers(),
              (QStringList{"iCloud", "ann@gmail.com \u00B7 Google", "Exchange", "Other"}));

    const QList<CalendarToggle*> work = sheet.toggles("Work");
    ASSERT_EQ(work.size(), 2);
    EXPECT_EQ(work[0]->findChild<QLabel*>("mirrorNote")->text(),
              "Same as \u201CWork\u201D in Exchange, shown once");
    EXPECT_EQ(work[1]->findChild<QLabel*>("mirrorNote")->text(),
              "Same as \u201CWork\u201D in iCloud, shown once");
    EXPECT_EQ(sheet.toggles("Home").at(0)->findChild<QLabel*>("mirrorNote"), nullptr);

    // Only the Google account's section links to its sync page.
    const QList<QLabel*> syncLinks = sheet.view->findChildren<QLabel*>("googleSyncLink");
    ASSERT_EQ(syncLinks.size(), 1);
    EXPECT_TRUE(syncLinks[0]->text().contains("calendar.google.com/calendar/syncselect"));
    QWidget* familySection = sheet.toggles("Family").at(0);
    while (familySection != nullptr && dynamic_cast<SettingsSection*>(familySection) == nullptr) {
        familySection = familySection->parentWidget();
    }
    ASSERT_NE(familySection, nullptr);
    EXPECT_TRUE(familySection->isAncestorOf(syncLinks[0]));

    // New calendars and new mirror groups reach the open sheet.
    sheet.fake->addCalendar({.id = "team", .title = "Team", .source = sheet.icloud});
    sheet.store->eventStoreChanged();
    sheet.store->setMirrors(CalendarMirrors(Groups{{"home", "team"}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet.toggles("Team").isEmpty(); }, 2000));
    EXPECT_EQ(sheet.toggles("Team").at(0)->findChild<QLabel*>("mirrorNote")->text(),
              "Same as \u201CHome\u201D, shown once");
    EXPECT_EQ(sheet.toggles("Work").at(0)->findChild<QLabel*>("mirrorNote"), nullptr);
}

TEST(SettingsView, SwitchingACalendarHidesItWithItsMirrors) {
    Sheet sheet;
    const QList<CalendarToggle*> work = sheet.toggles("Work");
    ASSERT_EQ(work.size(), 2);
    CalendarToggle* home = sheet.toggles("Home").at(0);
    EXPECT_TRUE(work[0]->isOn());
    EXPECT_TRUE(work[1]->isOn());

    Sheet::click(work[0]);
    EXPECT_EQ(sheet.store->hiddenCalendarIDs(), (std::set<std::string>{"work-i", "work-x"}));
    EXPECT_FALSE(work[0]->isOn());
    EXPECT_FALSE(work[1]->isOn());
    EXPECT_TRUE(home->isOn());
    EXPECT_EQ(sheet.settings.value("hiddenCalendarIDs").toStringList(),
              (QStringList{"work-i", "work-x"}));

    // Either row brings both back; the rows stay the same widgets throughout.
    Sheet::click(work[1]);
    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet.store->hiddenCalendarIDs().empty());
    EXPECT_EQ(sheet.toggles("Work"), work);
    EXPECT_TRUE(work[0]->isOn());
    EXPECT_TRUE(work[1]->isOn());

    // A change made elsewhere shows at once.
    sheet.store->setVisible("home", false);
    EXPECT_FALSE(home->isOn());
}

TEST(SettingsView, WithoutAccessOnlyTheAccountsAreMissing) {
    Sheet sheet(AuthorizationStatus::notDetermined);
    EXPECT_TRUE(sheet.headers().isEmpty());
    EXPECT_NE(sheet.child<QCheckBox>("showDeclined"), nullptr);
    EXPECT_NE(sheet.child<QCheckBox>("fitHours"), nullptr);
    EXPECT_NE(sheet.child<QLabel>("privacyPolicyLink"), nullptr);
    EXPECT_NE(sheet.child<QLabel>("supportLink"), nullptr);
    EXPECT_TRUE(sheet.child<QLabel>("buildKind")->text().startsWith("Release"));

    sheet.fake->setAuthorizationStatus(AuthorizationStatus::fullAccess);
    sheet.store->refreshStatus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet.headers().size() == 4; }, 2000));
}

TEST(SettingsView, DeclinedEventsSwitch) {
    Sheet sheet;
    auto* declined = sheet.child<QCheckBox>("showDeclined");
    EXPECT_EQ(declined->text(), "Show Declined Events");
    EXPECT_FALSE(declined->isChecked());
    Sheet::click(declined);
    EXPECT_TRUE(sheet.store->showDeclined());
    EXPECT_TRUE(sheet.settings.value("showDeclined").toBool());
    sheet.store->setShowDeclined(false);
    EXPECT_FALSE(declined->isChecked());
}

TEST(SettingsView, FitHoursPickers) {
    Sheet sheet;
    QSignalSpy changes(sheet.view.get(), &SettingsView::timeGridPreferencesChanged);
    auto* start = sheet.child<QComboBox>("fitStartHour");
    auto* end = sheet.child<QComboBox>("fitEndHour");
    EXPECT_TRUE(sheet.child<QCheckBox>("fitHours")->isChecked());
    EXPECT_EQ(sheet.child<QLabel>("timeGridFooter")->text(),
              "Shows the hours from start to end without scrolling, extended to include every "
              "event on screen.");
    EXPECT_EQ(start->currentText(), "8\u202FAM");
    EXPECT_EQ(end->currentText(), "8\u202FPM");
    EXPECT_EQ(items(end).front(), "9\u202FAM");
    EXPECT_EQ(items(end).back(), "Midnight");

    // A start at the end moves the end past it; the end then offers only later hours.
    choose(start, "8\u202FPM");
    EXPECT_EQ(readTimeGridPreferences(sheet.settings).gridFitStartHour, 20);
    EXPECT_EQ(readTimeGridPreferences(sheet.settings).gridFitEndHour, 21);
    EXPECT_EQ(end->currentText(), "9\u202FPM");
    EXPECT_EQ(items(end), (QStringList{"9\u202FPM", "10\u202FPM", "11\u202FPM", "Midnight"}));

    choose(end, "11\u202FPM");
    EXPECT_EQ(readTimeGridPreferences(sheet.settings).gridFitEndHour, 23);
    choose(start, "11\u202FPM");
    EXPECT_EQ(end->currentText(), "Midnight");
    EXPECT_EQ(readTimeGridPreferences(sheet.settings).gridFitEndHour, 24);
    EXPECT_EQ(changes.count(), 3);
}

TEST(SettingsView, AllHoursAtAChosenHeight) {
    Sheet sheet;
    QSignalSpy changes(sheet.view.get(), &SettingsView::timeGridPreferencesChanged);
    auto* fit = sheet.child<QCheckBox>("fitHours");
    auto* start = sheet.child<QComboBox>("fitStartHour");
    auto* end = sheet.child<QComboBox>("fitEndHour");
    auto* height = sheet.child<QSpinBox>("hourHeight");
    const auto stored = [&] { return readTimeGridPreferences(sheet.settings); };
    EXPECT_TRUE(start->isVisibleTo(sheet.view.get()));
    EXPECT_FALSE(height->isVisibleTo(sheet.view.get()));

    // Off: the pickers give way to the hour height, and the band stays stored for later.
    Sheet::click(fit);
    EXPECT_FALSE(stored().gridFitHours);
    EXPECT_FALSE(start->isVisibleTo(sheet.view.get()));
    EXPECT_FALSE(end->isVisibleTo(sheet.view.get()));
    EXPECT_TRUE(height->isVisibleTo(sheet.view.get()));
    EXPECT_EQ(sheet.child<QLabel>("timeGridFooter")->text(),
              "Shows all 24 hours. Scroll to move through the day; pinch to zoom.");
    EXPECT_EQ(stored().gridFitStartHour, 8);
    EXPECT_EQ(stored().gridFitEndHour, 20);

    // No height chosen yet; typing one stores it once it is entered.
    EXPECT_EQ(height->text(), "Automatic");
    height->setFocus();
    height->selectAll();
    QTest::keyClicks(height, "72");
    EXPECT_EQ(stored().gridHourHeight, 0);
    QTest::keyClick(height, Qt::Key_Return);
    EXPECT_EQ(stored().gridHourHeight, 72);
    // Below the smallest height is none chosen again.
    height->selectAll();
    QTest::keyClicks(height, "16");
    QTest::keyClick(height, Qt::Key_Return);
    QTest::keyClick(height, Qt::Key_Down);
    EXPECT_EQ(height->text(), "Automatic");
    EXPECT_EQ(stored().preferredHourHeight(), std::nullopt);

    // On again: the band comes back as it was.
    Sheet::click(fit);
    EXPECT_TRUE(stored().gridFitHours);
    EXPECT_TRUE(start->isVisibleTo(sheet.view.get()));
    EXPECT_EQ(start->currentText(), "8\u202FAM");
    EXPECT_EQ(end->currentText(), "8\u202FPM");
    EXPECT_EQ(changes.count(), 5);

    // A band stored badly elsewhere shows as the grid shows it.
    sheet.settings.setValue("gridFitStartHour", 23);
    sheet.settings.setValue("gridFitEndHour", 5);
    sheet.open();
    EXPECT_EQ(sheet.child<QComboBox>("fitStartHour")->currentText(), "11\u202FPM");
    EXPECT_EQ(sheet.child<QComboBox>("fitEndHour")->currentText(), "Midnight");
}

TEST(SettingsView, DoneAndEscapeFinish) {
    Sheet sheet;
    QSignalSpy done(sheet.view.get(), &SettingsView::done);
    EXPECT_EQ(sheet.view->windowTitle(), "Settings");
    Sheet::click(sheet.child<QPushButton>("done"));
    EXPECT_EQ(done.count(), 1);
    QTest::keyClick(sheet.view.get(), Qt::Key_Escape);
    EXPECT_EQ(done.count(), 2);
}

TEST(SettingsView, YourAddressesAreTypedCheckedAndWhatWasFoundIsShown) {
    Sheet sheet;
    sheet.found = {{"icloud", "ann@icloud.com"}};
    sheet.open();
    auto* field = sheet.child<QLineEdit>("ownAddresses");
    auto* note = sheet.child<QLabel>("ownAddressesNote");
    ASSERT_NE(field, nullptr);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(field->accessibleName(), "Your e-mail addresses");
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(note->text(), "Found in your invitations: ann@icloud.com (iCloud). If that is not "
                            "you, type your own addresses here.");

    // Something that is not an address gets a sentence and is not kept.
    field->setFocus();
    QTest::keyClicks(field, "ann@icloud.com, ann");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(note->text(), "\u201Cann\u201D is not an e-mail address. Write addresses such as "
                            "ann@example.com, separated by commas.");
    EXPECT_TRUE(sheet.store->ownAddresses().empty());

    field->selectAll();
    QTest::keyClicks(field, "ann@example.org;  Bob@Work.example ann@EXAMPLE.org");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(sheet.store->ownAddresses(),
              (std::vector<std::string>{"ann@example.org", "Bob@Work.example"}));
    EXPECT_EQ(field->text(), "ann@example.org, Bob@Work.example");
    EXPECT_EQ(sheet.settings.value("ownEmailAddresses").toStringList(),
              (QStringList{"ann@example.org", "Bob@Work.example"}));
    sheet.found.clear(); // the store finds nothing while the user's addresses are set
    sheet.store->invalidate();
    EXPECT_EQ(note->text(), "Invitations to these addresses are yours: events you declined can be "
                            "hidden, and ones you have not answered show as such.");

    // A change made elsewhere shows, and a sheet opened again shows what is stored.
    sheet.store->setOwnAddresses({"x@y.org"});
    EXPECT_EQ(field->text(), "x@y.org");
    sheet.open();
    EXPECT_EQ(sheet.child<QLineEdit>("ownAddresses")->text(), "x@y.org");
}

} // namespace
} // namespace plannery
