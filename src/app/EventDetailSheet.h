#pragma once

#include "app/DetailHeader.h"
#include "app/EventKitPresenter.h"
#include "model/CalEvent.h"
#include "store/EventDetailModel.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace plannery {

class CalendarStore;
class EventDetailList;
class EditButton;

// The sheet of a selected event: Done, Share and Edit above the grouped list of everything the
// event's copies say. Replies and edits go through the event viewer and editor for the copy the
// user picked; the sheet follows every change of the store, shows "Event Not Available" when the
// event is gone, and closes itself once an event deleted from its own editor has no copy left.
class EventDetailSheet final : public QDialog {
    Q_OBJECT

  public:
    // Asks where to save the calendar file, starting from the suggested path; none when the user
    // cancels.
    using SaveDialog =
        std::function<std::optional<QString>(QWidget* parent, const QString& suggested)>;

    EventDetailSheet(
        CalEvent event, CalendarStore& store, QWidget* parent = nullptr,
        std::filesystem::path temporaryFolder = EventDetailModel::defaultTemporaryFolder());
    ~EventDetailSheet() override;

    // The sheet for the event the user selected, not yet shown.
    static QDialog* make(QWidget* parent, const CalEvent& event, CalendarStore& store);

    void setSaveDialog(SaveDialog dialog);
    // What opens the links the sheet lets through (LinkOpener); the desktop by default.
    void setOpenURL(OpenURL openURL);

    const EventDetailModel& model() const { return *m_model; }

    // Answering the invitation of a copy, and editing a copy; nothing for a copy that is gone.
    void reply(int copy);
    void edit(int copy);
    // Reads copy `copy` as the store has it now, then opens it with `open`.
    void openCopy(int copy, std::function<void(const StoreEvent&)> open);
    void openInGoogle();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void finished(const StoreEvent& event, bool deleted);
    void closeIfDeleted();
    void showContent();
    void updateToolbar();
    void updateTitle();
    void share();

    CalEvent m_event;
    CalendarStore& m_store;
    std::unique_ptr<EventDetailModel> m_model;
    EventKitPresenter* m_presenter = nullptr;
    bool m_deletedHere = false;
    bool m_openingCopy = false; // a copy is being read to open it
    SaveDialog m_saveDialog;
    OpenURL m_openURL;

    QLabel* m_title = nullptr;
    QPushButton* m_share = nullptr;
    EditButton* m_edit = nullptr;
    QWidget* m_toolbar = nullptr;
    QLabel* m_shareError = nullptr;
    QStackedWidget* m_stack = nullptr;
    QWidget* m_loading = nullptr;
    QWidget* m_unavailable = nullptr;
    QLabel* m_unavailableText = nullptr;
    EventDetailList* m_list = nullptr;
};

} // namespace plannery
