#pragma once

#include "app/EventKitPresenter.h"
#include "finder/FinderEngine.h"
#include "platform/DocumentScanner.h"
#include "platform/TextRecognizer.h"
#include "store/ImageEventsModel.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QSettings;
class QStackedWidget;

namespace plannery {

class CalendarStore;
class ImageEventsResults;
class SharedKeychain;

// The "Events from Image" sheet: paste, drop, choose or scan a picture (or paste or drop text),
// watch it being read, check the events found, change them in the editor, and add them to a
// calendar. It owns its model and closes with the earliest start of what it added, so the window
// can show that day.
class ImageEventsSheet final : public QDialog {
    Q_OBJECT

  public:
    using Closed = std::function<void(std::optional<Instant> earliestAdded)>;

    struct Setup {
        CalendarStore* store = nullptr;     // must outlive the sheet
        QSettings* defaults = nullptr;      // the local model's settings, an old calendar choice
        SharedKeychain* keychain = nullptr; // the engine and calendar choices
        std::shared_ptr<TextRecognizer> recognizer;
        // None: there is no scanning, and no button for it.
        std::shared_ptr<DocumentScanner> scanner;
        // The engine for each run; the one Settings names when empty.
        std::function<std::shared_ptr<FinderEngine>()> engine{};
        std::function<Instant()> clock{};
        Closed onClose{};
    };

    explicit ImageEventsSheet(Setup setup, QWidget* parent = nullptr);
    ~ImageEventsSheet() override;

    // The sheet as the app opens it: Tesseract in the user's language, SANE for scanning.
    static ImageEventsSheet* make(QWidget* parent, CalendarStore& store, QSettings& defaults,
                                  Closed onClose);

    ImageEventsModel& model() { return *m_model; }
    // What the clipboard holds goes to the model.
    void paste();
    // The earliest added start is reported as the sheet closes (Cancel, Done, Escape).
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QWidget* buildChooser();
    QWidget* buildProgress();
    QWidget* buildFailure();
    void showPhase();
    void updateToolbar();
    void updateTitle();
    void updatePaste();
    void choosePhoto();
    void scan();
    void edit(const EventSuggestion& suggestion);
    void showSaveError();

    Setup m_setup;
    std::unique_ptr<ImageEventsModel> m_model;
    EventKitPresenter* m_presenter = nullptr;
    bool m_reported = false;
    bool m_shown = false;
    std::stop_source m_scanStop;

    QPushButton* m_cancel = nullptr;
    QPushButton* m_addAll = nullptr;
    QLabel* m_title = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_chooser = nullptr;
    QPushButton* m_paste = nullptr;
    QLabel* m_pasteHint = nullptr;
    QPushButton* m_scan = nullptr;
    QWidget* m_progress = nullptr;
    QLabel* m_progressPicture = nullptr;
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_busy = nullptr;
    ImageEventsResults* m_results = nullptr;
    QWidget* m_resultsPage = nullptr;
    QWidget* m_failure = nullptr;
    QLabel* m_failureText = nullptr;
    QWidget* m_failureTextSection = nullptr;
};

} // namespace plannery
