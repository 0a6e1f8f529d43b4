#pragma once

#include "agenda/WidgetFamily.h"
#include "app/CalendarActions.h"
#include "app/NavigationState.h"
#include "grid/ViewMode.h"
#include "views/ViewBinding.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QActionGroup;
class QButtonGroup;
class QDialog;
class QSettings;
class QStackedWidget;
class QToolBar;
class QToolButton;

namespace plannery {

class AccessView;
class AgendaListView;
class CalendarStore;
class FourWeeksView;
class TimeGridView;
class TitlePopover;
class WidgetGalleryView;

// The window's content: the navigation state, the toolbar with the title, the view of the
// current mode (or the access view while the calendars may not be read), and the sheets the
// navigation state opens. Views are made when first needed and kept, so switching modes only
// brings one forward.
class RootView final : public QWidget {
    Q_OBJECT

  public:
    // What opens a sheet: each makes a dialog for the state given, parented to the window; the
    // root view shows it and clears the state when it closes. A sheet without a maker is not
    // offered.
    struct Sheets {
        std::function<QDialog*(QWidget* parent, const CalEvent&)> detail;
        std::function<QDialog*(QWidget* parent, const NewEventRange&)> newEvent;
        std::function<QDialog*(QWidget* parent)> settings;
        // Reports, as it closes, the earliest start of the events it added.
        std::function<QDialog*(QWidget* parent, std::function<void(std::optional<Instant>)>)>
            imageEvents{};
    };
    // What leaves the app: opening a web page, the desktop's calendar program and the place
    // where access is granted. Empty ones hide their item.
    struct Outside {
        std::function<void(const std::string& url)> openURL;
        std::function<void()> openSystemCalendar;
        std::function<void()> openAccessSettings;
        // The widget gallery's: starting the widget program with a face, and which faces it
        // starts at login (read, and set with a sentence when that failed).
        std::function<void(WidgetFamily)> placeWidget{};
        std::function<std::optional<std::vector<WidgetFamily>>()> widgetAutostart{};
        std::function<std::optional<std::string>(const std::vector<WidgetFamily>&)>
            setWidgetAutostart{};
    };
    struct Setup {
        CalendarStore* store = nullptr;
        QSettings* defaults = nullptr;
        LaunchOptions launch{};
        std::function<Instant()> clock{};
        Sheets sheets{};
        Outside outside{};
    };

    explicit RootView(Setup setup, QWidget* parent = nullptr);
    ~RootView() override;

    NavigationState& navigation() { return *m_navigation; }
    // The commands the menu bar calls while this window is active.
    CalendarActions actions();

    // The widget gallery in place of the calendars (and the toolbar), or the calendars again.
    void setShowsWidgetGallery(bool shown);
    bool showsWidgetGallery() const { return m_showsGallery; }

    // The grid preferences changed (in the settings): the time grids read them again.
    void reloadTimeGridPreferences();

    // What the user sees, for tests and pictures.
    QWidget* currentView() const;
    QString titleText() const;
    bool isCompact() const { return m_compact; }
    QDialog* openSheet() const { return m_sheet; }

    // Narrower than this, the mode picker folds into a menu.
    static constexpr int compactWidth = 720;

  signals:
    // The mode changed, so the menu toggles read again.
    void actionsChanged();
    // A view has painted for the first time.
    void firstPaint();

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildToolBar();
    void showContent();
    QWidget* viewFor(ViewMode mode);
    TimeGridView* gridView(ViewMode mode);
    FourWeeksView* fourWeeksView();
    AgendaListView* agendaView();
    WidgetGalleryView* galleryView();
    // The navigation's anchor, as each view's binding reads and writes it.
    ViewBinding::Anchor anchor() const;
    void anchorChanged();
    void updateTitle();
    void updateModePickers();
    void toggleTitlePopover();
    void presentSheets();
    void present(QDialog* dialog, std::function<void()> dismissed);
    void setCompact(bool compact);

    Setup m_setup;
    CalendarStore& m_store;
    std::unique_ptr<NavigationState> m_navigation;

    QToolBar* m_toolBar = nullptr;
    QToolButton* m_title = nullptr;
    QWidget* m_modePicker = nullptr;
    QButtonGroup* m_modeButtons = nullptr;
    QToolButton* m_modeMenu = nullptr;
    QActionGroup* m_modeMenuGroup = nullptr;
    TitlePopover* m_popover = nullptr;
    QStackedWidget* m_stack = nullptr;
    AccessView* m_access = nullptr;

    // The four time grids (day, three days, work week, week) by mode, made on first use.
    std::array<TimeGridView*, ViewModes::all.size()> m_grids{};
    FourWeeksView* m_fourWeeks = nullptr;
    AgendaListView* m_agenda = nullptr;
    WidgetGalleryView* m_gallery = nullptr;
    bool m_showsGallery = false;
    // Each view's binding to the store and the navigation's anchor, by mode.
    std::array<std::unique_ptr<ViewBinding>, ViewModes::all.size()> m_bindings{};

    QDialog* m_sheet = nullptr;
    bool m_compact = false;
    bool m_askedAccess = false;
    bool m_painted = false;
};

} // namespace plannery
