#pragma once

#include "detail/EventEditActions.h"
#include "finder/EventFinder.h"
#include "finder/EventSuggestion.h"
#include "finder/FinderEngine.h"
#include "platform/ImageFiles.h"
#include "platform/TextRecognizer.h"
#include "store/ImageEventsSaving.h"

#include <QFuture>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

class QMimeData;
class QSettings;

namespace plannery {

class CalendarStore;
class SharedKeychain;

// The state behind the "Events from Image" sheet. It takes pictures or text, reads the text of
// the pictures, has the chosen finder engine list the events in it, and publishes the dated
// suggestions; then it adds the ones the user picks to a calendar, and can take them out again.
//
// One piece of work runs at a time, on a worker thread: a new input stops the one before, whose
// results are then dropped (its phase changes up to then stay). Nothing is written to a calendar
// until the user adds a suggestion. Every value is announced by its signal, only when it really
// changed. Main thread only.
class ImageEventsModel final : public QObject {
    Q_OBJECT

  public:
    enum class Stage { failed, choose, reading, finding, done };
    struct Phase {
        Stage stage = Stage::choose;
        std::string message{}; // why it failed

        friend bool operator==(const Phase&, const Phase&) = default;
    };

    struct Services {
        CalendarStore* store = nullptr;     // where events are added; must outlive the model
        SharedKeychain* keychain = nullptr; // the chosen calendar ("imageEventsCalendar")
        QSettings* defaults = nullptr;      // an older choice of calendar, when shared has none
        // The engine the user chose, asked again for every run.
        std::function<std::shared_ptr<FinderEngine>()> engine;
        std::shared_ptr<TextRecognizer> recognizer;
        std::function<Instant()> clock{}; // the system clock when empty
    };

    explicit ImageEventsModel(Services services, QObject* parent = nullptr);
    ~ImageEventsModel() override;

    const Phase& phase() const { return m_phase; }
    // The first picture of the input, upright; null for text.
    const QImage& image() const { return m_image; }
    // The text of the pictures, or the pasted or dropped text.
    const QString& text() const { return m_text; }
    const std::vector<EventSuggestion>& suggestions() const { return m_suggestions; }
    // The engine that found the suggestions; none until a run finished.
    std::optional<EventFinder::Source> source() const { return m_source; }
    // For each suggestion in a calendar, the identifier of the event saved for it.
    const std::map<std::string, std::string>& added() const { return m_added; }
    // The work running now (finished when none), for tests.
    QFuture<void> work() const { return m_work; }

    // Inputs. Each starts a new run unless it is empty.
    void use(std::vector<DecodedImage> images);
    void use(const QString& text);
    // Picture files, decoded on the worker (a file that is no picture fails with a sentence).
    void open(const QStringList& files);
    // What the clipboard or a drop holds: picture data first, then the first local picture file
    // (a dropped file that is no picture says so), then text.
    void load(const QMimeData& data);
    // The last input again: the finding alone when its text is known, else the reading too.
    void retry();
    // Lets the engine get ready on a worker (the local model's server loads its model).
    void prewarm();

    // Saving.
    std::vector<CalendarChoice> writableCalendars() const;
    // The calendar that takes added events; none without a writable calendar.
    CalendarHandle calendar() const;
    const std::string& calendarID() const { return m_calendarID; }
    // Kept in the shared preferences (removed there when empty).
    void setCalendarID(const std::string& id);
    // The sentence of the last failed save; cleared by the user.
    const std::optional<std::string>& saveError() const { return m_saveError; }
    void clearSaveError();

    // Saves the suggestion in calendar() (see CalendarStore::write); adding one twice, even
    // before the first is written, saves one event.
    void add(const EventSuggestion& suggestion);
    // Removes the event saved for the suggestion, which can then be added again.
    void remove(const std::string& suggestionID);
    std::vector<EventSuggestion> pending() const;
    // The earliest start among the added suggestions, reported when the sheet closes.
    std::optional<Instant> earliestAdded() const;

    // The editor's side: the event saved for a suggestion (when it still exists; handed to
    // `done` as CalendarStore::write hands results), a new unsaved event made from one, and how
    // the editor ended for a suggestion.
    void savedEvent(const std::string& suggestionID,
                    std::function<void(std::optional<StoreEvent>)> done);
    StoreEvent newEvent(const EventSuggestion& suggestion) const;
    void editorFinished(const std::string& suggestionID, EditorResult result,
                        const StoreEvent& event);

  signals:
    void phaseChanged();
    void imageChanged();
    void textChanged();
    void suggestionsChanged();
    void sourceChanged();
    void addedChanged();
    void calendarIDChanged();
    void saveErrorChanged();

  private:
    // A picture as the input gave it: decoded, a file, or the bytes of one.
    using ImageSource = std::variant<DecodedImage, QString, QByteArray>;
    struct Run;

    void start(std::vector<ImageSource> sources, bool read);
    void setPhase(Phase phase);
    void setImage(const QImage& image);
    void setText(const QString& text);
    void setAdded(std::map<std::string, std::string> added);
    void saved(const std::string& suggestionID, WriteResult result);
    void publish(std::vector<EventSuggestion> suggestions, EventFinder::Source source);

    Services m_services;
    Phase m_phase{};
    QImage m_image;
    QString m_text;
    std::vector<EventSuggestion> m_suggestions;
    std::optional<EventFinder::Source> m_source;
    std::map<std::string, std::string> m_added;
    std::set<std::string> m_adding; // suggestions being written
    std::string m_calendarID;
    std::optional<std::string> m_saveError;

    // The last input, for retry.
    std::vector<ImageSource> m_sources;
    // The running work: stopping it, and the number that tells its results from a newer run's.
    std::stop_source m_stop;
    quint64 m_generation = 0;
    QFuture<void> m_work;
};

} // namespace plannery
