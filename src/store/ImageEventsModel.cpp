#include "store/ImageEventsModel.h"

#include "store/BackgroundPool.h"
#include "store/CalendarStore.h"
#include "store/SharedPrefs.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QUrl>
#include <QtConcurrent>

namespace plannery {

namespace {

constexpr const char* kNoCalendar =
    "There's no calendar to add the event to. Show a calendar that takes new events in Settings.";

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n\v\f") == std::string::npos;
}

} // namespace

// What one run needs on the worker, copied there so that the model may go away meanwhile.
struct ImageEventsModel::Run {
    using Change = std::function<void(ImageEventsModel&)>;

    std::vector<ImageSource> sources;
    bool read = false;
    std::string text;
    std::shared_ptr<FinderEngine> engine;
    std::shared_ptr<TextRecognizer> recognizer;
    Instant now;
    Calendar calendar;
    std::stop_token stop;
    // Hands a change to the model on the main thread, where it is dropped when a newer run has
    // started or the model is gone.
    std::function<void(Change)> post;

    void fail(std::string message) const {
        post([message = std::move(message)](ImageEventsModel& model) {
            model.setPhase(Phase{.stage = Stage::failed, .message = message});
        });
    }

    // The pictures' texts, one blank line apart; none when the run ended.
    std::optional<std::string> readPictures() const {
        std::string joined;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            DecodedImage picture;
            if (const auto* decoded = std::get_if<DecodedImage>(&sources[i])) {
                picture = *decoded;
            } else {
                const ImageResult result =
                    std::holds_alternative<QString>(sources[i])
                        ? ImageFiles::decode(std::get<QString>(sources[i]))
                        : ImageFiles::decode(std::get<QByteArray>(sources[i]));
                if (!result.decoded) {
                    fail(result.problem);
                    return std::nullopt;
                }
                picture = *result.decoded;
                if (i == 0) {
                    post([shown = ImageFiles::upright(picture.image, picture.orientation)](
                             ImageEventsModel& model) { model.setImage(shown); });
                }
            }
            const RecognizedText recognized =
                recognizer->text(picture.image, picture.orientation, stop);
            if (recognized.cancelled || stop.stop_requested()) {
                return std::nullopt;
            }
            if (recognized.error) {
                fail(*recognized.error);
                return std::nullopt;
            }
            joined += (i == 0 ? "" : "\n\n") + recognized.text;
        }
        return joined;
    }

    void operator()() {
        if (read) {
            const auto pictures = readPictures();
            if (!pictures) {
                return;
            }
            text = *pictures;
            post([text = QString::fromStdString(text)](ImageEventsModel& model) {
                model.setText(text);
            });
            if (blank(text)) {
                fail(std::string(EventFinder::kNoTextInImage));
                return;
            }
            post([](ImageEventsModel& model) { model.setPhase(Phase{.stage = Stage::finding}); });
        }
        const FinderStatus status = engine->status();
        if (!status.available) {
            fail(status.message);
            return;
        }
        const EventFinder::Result found = engine->events(text, now, calendar, stop);
        if (found.cancelled || stop.stop_requested()) {
            return;
        }
        if (found.failure) {
            fail(found.failure->message);
            return;
        }
        auto suggestions = EventSuggestion::suggestions(found.drafts, now, calendar, text);
        if (stop.stop_requested()) {
            return;
        }
        post([suggestions = std::move(suggestions),
              source = engine->source()](ImageEventsModel& model) mutable {
            model.publish(std::move(suggestions), source);
        });
    }
};

ImageEventsModel::ImageEventsModel(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services)) {
    if (m_services.keychain) {
        m_calendarID =
            SharedPrefs(*m_services.keychain).string(SharedPrefs::imageEventsCalendar).value_or("");
    }
    if (m_calendarID.empty() && m_services.defaults) {
        m_calendarID = m_services.defaults->value(QStringLiteral("imageEventsCalendar"))
                           .toString()
                           .toStdString();
    }
}

ImageEventsModel::~ImageEventsModel() {
    // The work is abandoned: it stops at its next check and its results go nowhere.
    m_stop.request_stop();
}

// Inputs

void ImageEventsModel::use(std::vector<DecodedImage> images) {
    if (images.empty()) {
        return;
    }
    setImage(ImageFiles::upright(images.front().image, images.front().orientation));
    setText({});
    start(std::vector<ImageSource>(images.begin(), images.end()), true);
}

void ImageEventsModel::use(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    setImage({});
    setText(text);
    start({}, false);
}

void ImageEventsModel::open(const QStringList& files) {
    if (files.isEmpty()) {
        return;
    }
    setImage({});
    setText({});
    start(std::vector<ImageSource>(files.begin(), files.end()), true);
}

void ImageEventsModel::load(const QMimeData& data) {
    if (data.hasImage()) {
        const QImage image = qvariant_cast<QImage>(data.imageData());
        if (!image.isNull()) {
            use({DecodedImage{.image = image, .orientation = 1}});
            return;
        }
    }
    for (const QString& format : data.formats()) {
        if (format.startsWith(QLatin1String("image/")) && !data.data(format).isEmpty()) {
            setImage({});
            setText({});
            start({ImageSource(data.data(format))}, true);
            return;
        }
    }
    QStringList files;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            files << url.toLocalFile();
        }
    }
    for (const QString& file : files) {
        if (ImageFiles::isImage(file)) {
            open({file});
            return;
        }
    }
    if (!files.isEmpty()) {
        open({files.front()});
        return;
    }
    if (data.hasText()) {
        use(data.text());
    }
}

void ImageEventsModel::retry() {
    const bool read = m_text.isEmpty();
    if (read && m_sources.empty()) {
        return;
    }
    start(read ? m_sources : std::vector<ImageSource>{}, read);
}

void ImageEventsModel::prewarm() {
    if (!m_services.engine || !m_services.store) {
        return;
    }
    std::shared_ptr<FinderEngine> engine = m_services.engine();
    if (!engine) {
        return;
    }
    (void)QtConcurrent::run(&backgroundPool(),
                            [engine, now = Instant::now(), calendar = m_services.store->calendar(),
                             stop = m_stop.get_token()] { engine->prewarm(now, calendar, stop); });
}

void ImageEventsModel::start(std::vector<ImageSource> sources, bool read) {
    m_stop.request_stop();
    m_stop = std::stop_source();
    const quint64 generation = ++m_generation;
    if (read) {
        m_sources = sources;
    }
    if (!m_suggestions.empty()) {
        m_suggestions.clear();
        emit suggestionsChanged();
    }
    setAdded({});
    if (m_source) {
        m_source.reset();
        emit sourceChanged();
    }
    setPhase(Phase{.stage = read ? Stage::reading : Stage::finding});

    std::shared_ptr<FinderEngine> engine = m_services.engine ? m_services.engine() : nullptr;
    if (!engine || (read && !m_services.recognizer)) {
        setPhase(Phase{.stage = Stage::failed,
                       .message = "Plannery can't look for events on this computer."});
        return;
    }
    QPointer<ImageEventsModel> self(this);
    Run run{.sources = std::move(sources),
            .read = read,
            .text = m_text.toStdString(),
            .engine = std::move(engine),
            .recognizer = m_services.recognizer,
            .now = m_services.clock ? m_services.clock() : Instant::now(),
            .calendar = m_services.store->calendar(),
            .stop = m_stop.get_token(),
            .post = [self, generation](Run::Change change) {
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [self, generation, change = std::move(change)] {
                        if (self && self->m_generation == generation) {
                            change(*self);
                        }
                    },
                    Qt::QueuedConnection);
            }};
    m_work = QtConcurrent::run(&backgroundPool(), std::move(run));
}

// State

void ImageEventsModel::setPhase(Phase phase) {
    if (phase == m_phase) {
        return;
    }
    m_phase = std::move(phase);
    emit phaseChanged();
}

void ImageEventsModel::setImage(const QImage& image) {
    if (image.isNull() && m_image.isNull()) {
        return;
    }
    m_image = image;
    emit imageChanged();
}

void ImageEventsModel::setText(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    emit textChanged();
}

void ImageEventsModel::setAdded(std::map<std::string, std::string> added) {
    if (added == m_added) {
        return;
    }
    m_added = std::move(added);
    emit addedChanged();
}

void ImageEventsModel::publish(std::vector<EventSuggestion> suggestions,
                               EventFinder::Source source) {
    if (suggestions != m_suggestions) {
        m_suggestions = std::move(suggestions);
        emit suggestionsChanged();
    }
    if (m_source != source) {
        m_source = source;
        emit sourceChanged();
    }
    setPhase(Phase{.stage = Stage::done});
}

// Saving

std::vector<CalendarChoice> ImageEventsModel::writableCalendars() const {
    CalendarStore& store = *m_services.store;
    return ImageEventsSaving::writableCalendars(store.accounts().groups(), store.mirrors(),
                                                store.hiddenCalendarIDs());
}

CalendarHandle ImageEventsModel::calendar() const {
    return ImageEventsSaving::chosen(writableCalendars(), m_calendarID,
                                     m_services.store->eventStore().defaultCalendarForNewEvents());
}

void ImageEventsModel::setCalendarID(const std::string& id) {
    if (id == m_calendarID) {
        return;
    }
    m_calendarID = id;
    if (m_services.keychain) {
        SharedPrefs(*m_services.keychain)
            .set(id.empty() ? std::nullopt : std::optional(id), SharedPrefs::imageEventsCalendar);
    }
    emit calendarIDChanged();
}

void ImageEventsModel::clearSaveError() {
    if (m_saveError) {
        m_saveError.reset();
        emit saveErrorChanged();
    }
}

void ImageEventsModel::add(const EventSuggestion& suggestion) {
    if (m_added.contains(suggestion.id) || m_adding.contains(suggestion.id)) {
        return;
    }
    if (!calendar()) {
        saved(suggestion.id, WriteResult{.error = kNoCalendar});
        return;
    }
    m_adding.insert(suggestion.id);
    m_services.store->write(
        this,
        [event = newEvent(suggestion)](EventStore& store) {
            return store.save(event, Span::thisEvent);
        },
        [this, id = suggestion.id](WriteResult result) { saved(id, std::move(result)); });
}

void ImageEventsModel::saved(const std::string& suggestionID, WriteResult result) {
    m_adding.erase(suggestionID);
    if (!result.ok()) {
        m_saveError = result.error;
        emit saveErrorChanged();
        return;
    }
    if (!result.eventIdentifier.empty()) {
        auto added = m_added;
        added[suggestionID] = result.eventIdentifier;
        setAdded(std::move(added));
    }
}

void ImageEventsModel::remove(const std::string& suggestionID) {
    const auto found = m_added.find(suggestionID);
    if (found == m_added.end()) {
        return;
    }
    // A failed removal leaves the event; the suggestion counts as not added all the same.
    m_services.store->write(
        this,
        [identifier = found->second](EventStore& store) {
            const auto event = store.event(identifier);
            return event && store.remove(*event, Span::thisEvent).ok();
        },
        [](bool) {});
    auto added = m_added;
    added.erase(suggestionID);
    setAdded(std::move(added));
}

std::vector<EventSuggestion> ImageEventsModel::pending() const {
    return ImageEventsSaving::pending(m_suggestions, m_added);
}

std::optional<Instant> ImageEventsModel::earliestAdded() const {
    return ImageEventsSaving::earliestAdded(m_suggestions, m_added);
}

void ImageEventsModel::savedEvent(const std::string& suggestionID,
                                  std::function<void(std::optional<StoreEvent>)> done) {
    const auto found = m_added.find(suggestionID);
    if (found == m_added.end()) {
        done(std::nullopt);
        return;
    }
    // Read where the writes run, after the one that saved it.
    m_services.store->write(
        this, [identifier = found->second](EventStore& store) { return store.event(identifier); },
        std::move(done));
}

StoreEvent ImageEventsModel::newEvent(const EventSuggestion& suggestion) const {
    return ImageEventsSaving::event(suggestion, calendar(), m_services.store->calendar().zoneId());
}

void ImageEventsModel::editorFinished(const std::string& suggestionID, EditorResult result,
                                      const StoreEvent& event) {
    auto added = m_added;
    if (result == EditorResult::deleted) {
        added.erase(suggestionID);
    } else if (result == EditorResult::saved && !event.eventIdentifier().empty()) {
        added[suggestionID] = event.eventIdentifier();
    }
    setAdded(std::move(added));
}

} // namespace plannery

// Its meta-object code in its own object file, not in the library's shared one: the command line
// links classes of this library, and this one would bring Qt's image readers and Tesseract along.
#include "moc_ImageEventsModel.cpp"
