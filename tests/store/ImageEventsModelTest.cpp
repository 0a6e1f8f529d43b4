#include "store/ImageEventsModel.h"

#include "TestSupport.h"
#include "store/BackgroundPool.h"
#include "store/SharedKeychain.h"
#include "store/SharedPrefs.h"
#include "store/VdirStoreFixture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QThreadPool>
#include <QUrl>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace plannery {
namespace {

using Stage = ImageEventsModel::Stage;

// Something a fake holds on to until the test lets it go (or its run is stopped).
class Gate {
  public:
    void close() {
        std::lock_guard lock(m_mutex);
        m_open = false;
    }
    void open() {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }
    // False when stopped before the gate opened.
    bool pass(std::stop_token stop) {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        return m_changed.wait(lock, stop, [this] { return m_open; });
    }
    int waiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    bool m_open = true;
    int m_waiting = 0;
};

// Reads a picture's text from its width: a 100-pixel picture says `wide`, others nothing.
class FakeRecognizer final : public TextRecognizer {
  public:
    Gate gate;
    std::atomic<int> calls = 0;
    std::optional<std::string> error;
    std::string wide = "Dentist\nWednesday 2026-12-09 at 3:30 pm";

    RecognizedText text(const QImage& image, int, std::stop_token stop) override {
        ++calls;
        if (!gate.pass(stop)) {
            return RecognizedText{.cancelled = true};
        }
        if (error) {
            return RecognizedText{.error = error};
        }
        return RecognizedText{.text = image.width() == 100 ? wide : ""};
    }
};

// An engine that finds one event per line that holds a date written as yyyy-mm-dd.
class FakeEngine final : public FinderEngine {
  public:
    FinderStatus state = FinderStatus::ready();
    std::optional<std::string> failure;
    std::atomic<int> runs = 0;

    EventFinder::Source source() const override { return EventFinder::Source::localModel; }
    FinderStatus status() override { return state; }
    void prewarm(Instant, const Calendar&, std::stop_token) override {}
    EventFinder::Result events(std::string_view text, Instant, const Calendar&,
                               std::stop_token stop) override {
        ++runs;
        if (stop.stop_requested()) {
            return EventFinder::Result{.cancelled = true};
        }
        if (failure) {
            return EventFinder::Result{.failure = EventFinder::Failure{*failure}};
        }
        EventFinder::Result result;
        std::string_view rest = text;
        while (!rest.empty()) {
            const auto end = rest.find('\n');
            const std::string_view line = rest.substr(0, end);
            if (const auto at = line.find("2026-"); at != std::string_view::npos) {
                result.drafts.push_back(EventDraft{.title = std::string(line.substr(0, at)),
                                                   .startDate = std::string(line.substr(at, 10)),
                                                   .startTime = "15:30"});
            }
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        }
        return result;
    }
};

QImage picture(int width) {
    QImage image(width, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QByteArray png(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return data;
}

class ImageEventsModelTest : public ::testing::Test {
  protected:
    test::TempDir root;
    test::TempDir home;
    const Calendar calendar = test::berlin();
    const Instant now = test::at(calendar, 2026, 12, 3, 10);
    QSettings defaults{QString::fromStdString((home.path() / "prefs.ini").string()),
                       QSettings::IniFormat};
    SharedKeychain keychain{std::nullopt, home.path(), defaults};
    std::shared_ptr<FakeRecognizer> recognizer = std::make_shared<FakeRecognizer>();
    std::shared_ptr<FakeEngine> engine = std::make_shared<FakeEngine>();
    VdirEventStore* vdir = nullptr;
    std::unique_ptr<CalendarStore> store;
    std::unique_ptr<ImageEventsModel> model;

    void SetUp() override {
        root.write("acct/home/displayname", "Home\n");
        root.write("acct/home/color", "#3366CC\n");
        root.write("acct/work/displayname", "Work\n");
        root.write("acct/feed/calendar.ini", "read-only = true\n");
        open();
    }

    void open() {
        auto fixture = test::vdirStore(root.path(), calendar, now);
        vdir = fixture.vdir;
        store = std::move(fixture.store);
        const Instant fixed = now;
        model = std::make_unique<ImageEventsModel>(
            ImageEventsModel::Services{.store = store.get(),
                                       .keychain = &keychain,
                                       .defaults = &defaults,
                                       .engine = [engine = engine] { return engine; },
                                       .recognizer = recognizer,
                                       .clock = [fixed] { return fixed; }});
    }

    // Waits for the run's results to reach the model.
    void settle() {
        model->work().waitForFinished();
        QCoreApplication::processEvents();
    }

    std::string calendarOf(const std::string& eventID) {
        const auto event = vdir->event(eventID);
        return event ? event->calendar()->title : "(gone)";
    }
};

TEST_F(ImageEventsModelTest, PastedTextIsSearchedAndNothingIsWrittenUntilAdded) {
    QSignalSpy phases(model.get(), &ImageEventsModel::phaseChanged);
    model->use(QStringLiteral("Dentist 2026-12-09\nYOGA CLASS 2026-12-10\nno date here"));
    EXPECT_EQ(model->phase().stage, Stage::finding);
    EXPECT_EQ(model->text(),
              QStringLiteral("Dentist 2026-12-09\nYOGA CLASS 2026-12-10\nno date here"));
    settle();
    EXPECT_EQ(model->phase().stage, Stage::done);
    EXPECT_EQ(phases.count(), 2); // finding, done
    ASSERT_EQ(model->suggestions().size(), 2u);
    EXPECT_EQ(model->suggestions()[1].title, "Yoga Class");
    EXPECT_EQ(model->source(), EventFinder::Source::localModel);
    EXPECT_TRUE(model->image().isNull());
    EXPECT_EQ(recognizer->calls, 0);
    EXPECT_TRUE(vdir->events(now, now.plus(30 * 86400)).empty());

    // An empty text is no input.
    model->use(QString());
    EXPECT_EQ(model->phase().stage, Stage::done);
}

TEST_F(ImageEventsModelTest, PicturesAreReadThenSearched) {
    model->use({DecodedImage{.image = picture(100)}, DecodedImage{.image = picture(100)}});
    EXPECT_EQ(model->phase().stage, Stage::reading);
    EXPECT_EQ(model->image().width(), 100);
    settle();
    EXPECT_EQ(model->phase().stage, Stage::done);
    EXPECT_EQ(model->text().toStdString(), recognizer->wide + "\n\n" + recognizer->wide);
    // The same event twice is one suggestion.
    ASSERT_EQ(model->suggestions().size(), 1u);
    EXPECT_EQ(model->suggestions()[0].title, "Wednesday");

    model->use({DecodedImage{.image = picture(60)}});
    settle();
    EXPECT_EQ(model->phase(), (ImageEventsModel::Phase{
                                  .stage = Stage::failed,
                                  .message = "Plannery couldn't find any text in this image."}));
    EXPECT_TRUE(model->suggestions().empty());
}

TEST_F(ImageEventsModelTest, ANewInputDropsTheRunningOne) {
    recognizer->gate.close();
    model->use({DecodedImage{.image = picture(100)}});
    // The first run is still reading when text is pasted.
    model->use(QStringLiteral("Lunch 2026-12-11"));
    settle();
    EXPECT_EQ(model->phase().stage, Stage::done);
    ASSERT_EQ(model->suggestions().size(), 1u);
    EXPECT_EQ(model->suggestions()[0].title, "Lunch");
    recognizer->gate.open();
    backgroundPool().waitForDone();
    QCoreApplication::processEvents();
    // Nothing of the picture's run ever shows.
    EXPECT_EQ(model->suggestions()[0].title, "Lunch");
    EXPECT_EQ(model->text(), QStringLiteral("Lunch 2026-12-11"));
    EXPECT_EQ(engine->runs, 1);
}

TEST_F(ImageEventsModelTest, FailuresAreSentencesAndRetryRunsTheLastInputAgain) {
    engine->state = localModelStatus(ServerAnswer::notAnswering);
    model->use(QStringLiteral("Dentist 2026-12-09"));
    settle();
    EXPECT_EQ(model->phase().stage, Stage::failed);
    EXPECT_EQ(model->phase().message, engine->state.message);

    engine->state = FinderStatus::ready();
    engine->failure = "The local model is busy. Try again in a moment.";
    model->retry();
    settle();
    EXPECT_EQ(model->phase().message, "The local model is busy. Try again in a moment.");

    // Retrying pasted text only searches it again.
    engine->failure.reset();
    model->retry();
    settle();
    EXPECT_EQ(model->phase().stage, Stage::done);
    EXPECT_EQ(recognizer->calls, 0);
    EXPECT_EQ(engine->runs, 2);

    // Retrying after the reading failed reads the picture again.
    recognizer->error = "Tesseract couldn't read this picture.";
    model->use({DecodedImage{.image = picture(100)}});
    settle();
    EXPECT_EQ(model->phase().message, "Tesseract couldn't read this picture.");
    recognizer->error.reset();
    model->retry();
    settle();
    EXPECT_EQ(model->phase().stage, Stage::done);
    EXPECT_EQ(recognizer->calls, 2);
}

TEST_F(ImageEventsModelTest, TheClipboardOffersPicturesFirstThenFilesThenText) {
    QMimeData both;
    both.setImageData(picture(100));
    both.setText(QStringLiteral("Lunch 2026-12-11"));
    model->load(both);
    settle();
    EXPECT_EQ(model->image().width(), 100);
    EXPECT_EQ(model->suggestions().at(0).title, "Wednesday");

    const auto shot = root.write("shot.png", png(picture(100)).toStdString());
    const auto notes = root.write("notes.txt", "Lunch 2026-12-11\n");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(notes.string())),
                   QUrl::fromLocalFile(QString::fromStdString(shot.string()))});
    model->load(files);
    EXPECT_EQ(model->phase().stage, Stage::reading);
    settle();
    EXPECT_EQ(model->phase().stage, Stage::done);
    EXPECT_EQ(model->image().width(), 100);

    QMimeData notPicture;
    notPicture.setUrls({QUrl::fromLocalFile(QString::fromStdString(notes.string()))});
    model->load(notPicture);
    settle();
    EXPECT_EQ(model->phase().message, "This file isn't a picture.");
    // Reading it again says the same.
    model->retry();
    settle();
    EXPECT_EQ(model->phase().message, "This file isn't a picture.");

    QMimeData text;
    text.setText(QStringLiteral("Lunch 2026-12-11"));
    model->load(text);
    settle();
    EXPECT_EQ(model->suggestions().at(0).title, "Lunch");

    // An empty clipboard changes nothing.
    model->load(QMimeData());
    EXPECT_EQ(model->phase().stage, Stage::done);
}

TEST_F(ImageEventsModelTest, AddingSavesOnceInTheChosenCalendarAndRemovingUndoesIt) {
    model->use(QStringLiteral("Dentist 2026-12-09\nCheckup 2026-12-05"));
    settle();
    const EventSuggestion dentist = model->suggestions().at(0);
    const EventSuggestion checkup = model->suggestions().at(1);

    // Read-only calendars are not offered.
    std::vector<std::string> offered;
    for (const CalendarChoice& choice : model->writableCalendars()) {
        offered.push_back(choice.calendar->title);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"Home", "Work"}));

    const std::string work = model->writableCalendars()[1].calendar->calendarIdentifier;
    model->setCalendarID(work);
    EXPECT_EQ(SharedPrefs(keychain).string(SharedPrefs::imageEventsCalendar), work);
    model->add(dentist);
    model->add(dentist);
    ASSERT_EQ(model->added().size(), 1u);
    const std::string saved = model->added().at(dentist.id);
    EXPECT_EQ(calendarOf(saved), "Work");
    EXPECT_EQ(vdir->events(now, now.plus(30 * 86400)).size(), 1u);
    EXPECT_EQ(model->pending().size(), 1u);
    std::optional<StoreEvent> read;
    model->savedEvent(dentist.id,
                      [&](std::optional<StoreEvent> event) { read = std::move(event); });
    ASSERT_TRUE(read);
    EXPECT_EQ(read->title(), "Dentist");

    model->add(checkup);
    EXPECT_EQ(model->earliestAdded(), checkup.start);

    model->remove(dentist.id);
    EXPECT_FALSE(model->added().contains(dentist.id));
    EXPECT_EQ(calendarOf(saved), "(gone)");
    model->add(dentist);
    EXPECT_TRUE(model->added().contains(dentist.id));

    // A new input forgets what was added (the events stay).
    model->use(QStringLiteral("Lunch 2026-12-11"));
    EXPECT_TRUE(model->added().empty());
    settle();
    EXPECT_EQ(vdir->events(now, now.plus(30 * 86400)).size(), 2u);
    EXPECT_EQ(model->earliestAdded(), std::nullopt);
}

TEST_F(ImageEventsModelTest, EventsAreMadeAsTheSuggestionsSay) {
    const EventSuggestion allDay{.id = "a",
                                 .title = "Fair",
                                 .start = test::at(calendar, 2026, 12, 5),
                                 .end = test::at(calendar, 2026, 12, 8),
                                 .isAllDay = true,
                                 .location = "Hall"};
    const StoreEvent fair = model->newEvent(allDay);
    EXPECT_TRUE(fair.isAllDay());
    EXPECT_EQ(fair.startDate, test::at(calendar, 2026, 12, 5));
    EXPECT_EQ(*fair.endDate, test::at(calendar, 2026, 12, 7, 23, 59).plus(59));
    EXPECT_EQ(fair.location(), "Hall");
    EXPECT_EQ(fair.timeZone(), std::nullopt);

    const EventSuggestion timed{.id = "t",
                                .title = "Call",
                                .start = test::at(calendar, 2026, 12, 9, 15),
                                .end = test::at(calendar, 2026, 12, 9, 16)};
    EXPECT_EQ(model->newEvent(timed).timeZone(), "Europe/Berlin");
    EventSuggestion zoned = timed;
    zoned.timeZone = "America/Los_Angeles";
    EXPECT_EQ(model->newEvent(zoned).timeZone(), "America/Los_Angeles");
}

TEST_F(ImageEventsModelTest, AHiddenOrMissingChoiceFallsBackAndNoCalendarIsASaveError) {
    model->setCalendarID("no/such/calendar");
    ASSERT_TRUE(model->calendar());
    // The default calendar for new events.
    EXPECT_EQ(model->calendar()->calendarIdentifier,
              vdir->defaultCalendarForNewEvents()->calendarIdentifier);

    std::set<std::string> hidden;
    for (const CalendarChoice& choice : model->writableCalendars()) {
        hidden.insert(choice.calendar->calendarIdentifier);
    }
    store->setHiddenCalendarIDs(hidden);
    EXPECT_FALSE(model->calendar());
    model->use(QStringLiteral("Dentist 2026-12-09"));
    settle();
    QSignalSpy errors(model.get(), &ImageEventsModel::saveErrorChanged);
    model->add(model->suggestions().at(0));
    EXPECT_EQ(errors.count(), 1);
    ASSERT_TRUE(model->saveError());
    EXPECT_TRUE(model->added().empty());
    EXPECT_TRUE(vdir->events(now, now.plus(30 * 86400)).empty());
    model->clearSaveError();
    EXPECT_FALSE(model->saveError());

    // Empty removes the shared choice.
    model->setCalendarID("");
    EXPECT_EQ(SharedPrefs(keychain).string(SharedPrefs::imageEventsCalendar), std::nullopt);
}

TEST_F(ImageEventsModelTest, TheEditorsResultsKeepTheMapRight) {
    model->use(QStringLiteral("Dentist 2026-12-09"));
    settle();
    const EventSuggestion dentist = model->suggestions().at(0);
    StoreEvent made = model->newEvent(dentist);
    const WriteResult saved = vdir->save(made, Span::thisEvent);
    ASSERT_TRUE(saved.ok());
    made = *vdir->event(saved.eventIdentifier);

    model->editorFinished(dentist.id, EditorResult::cancelled, made);
    EXPECT_TRUE(model->added().empty());
    model->editorFinished(dentist.id, EditorResult::saved, made);
    EXPECT_EQ(model->added().at(dentist.id), saved.eventIdentifier);
    model->editorFinished(dentist.id, EditorResult::deleted, made);
    EXPECT_TRUE(model->added().empty());
}

TEST_F(ImageEventsModelTest, TheCalendarChoiceStartsFromTheSharedPreference) {
    SharedPrefs(keychain).set("shared-choice", SharedPrefs::imageEventsCalendar);
    defaults.setValue("imageEventsCalendar", "old-choice");
    open();
    EXPECT_EQ(model->calendarID(), "shared-choice");
    SharedPrefs(keychain).set(std::nullopt, SharedPrefs::imageEventsCalendar);
    open();
    EXPECT_EQ(model->calendarID(), "old-choice");
}

} // namespace
} // namespace plannery
