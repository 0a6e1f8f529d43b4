#include "app/RootView.h"

#include "app/AccessView.h"
#include "app/TitlePopover.h"
#include "model/GoogleCalendarLink.h"
#include "store/CalendarStore.h"
#include "store/FinderSettings.h"
#include "views/AgendaListView.h"
#include "views/FourWeeksView.h"
#include "views/TimeGridBinding.h"
#include "views/TimeGridView.h"
#include "views/WidgetGalleryView.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace plannery {

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString modeName(ViewMode mode) {
    return text(ViewModes::rawValue(mode));
}

std::size_t slot(ViewMode mode) {
    return static_cast<std::size_t>(mode);
}

} // namespace

RootView::RootView(Setup setup, QWidget* parent)
    : QWidget(parent), m_setup(std::move(setup)), m_store(*m_setup.store) {
    setObjectName(QStringLiteral("rootView"));
    m_navigation = std::make_unique<NavigationState>(NavigationState::Setup{
        .calendar = m_store.calendar(),
        .defaults = m_setup.defaults,
        .launch = m_setup.launch,
        .clock = m_setup.clock,
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    layout->addWidget(m_toolBar);
    m_stack = new QStackedWidget(this);
    layout->addWidget(m_stack, 1);

    m_access = new AccessView(
        AccessView::Handlers{
            .allowAccess = [this] { m_store.requestAccess(); },
            .openSettings = m_setup.outside.openAccessSettings,
        },
        m_stack);
    m_stack->addWidget(m_access);
    buildToolBar();

    NavigationState& nav = *m_navigation;
    connect(&nav, &NavigationState::modeChanged, this, [this] {
        // Choosing a view leaves the gallery.
        m_showsGallery = false;
        m_toolBar->setVisible(true);
        showContent();
        updateModePickers();
        updateTitle();
        emit actionsChanged();
    });
    connect(&nav, &NavigationState::anchorChanged, this, [this] { anchorChanged(); });
    connect(&nav, &NavigationState::calendarChanged, this, [this] { updateTitle(); });
    connect(&nav, &NavigationState::showTitlePopoverChanged, this, [this] {
        if (m_navigation->showTitlePopover() != (m_popover && m_popover->isVisible())) {
            toggleTitlePopover();
        }
    });
    for (auto signal :
         {&NavigationState::selectedChanged, &NavigationState::showSettingsChanged,
          &NavigationState::newEventRangeChanged, &NavigationState::showImageEventsChanged}) {
        connect(&nav, signal, this, [this] { presentSheets(); });
    }
    connect(&m_store, &CalendarStore::statusChanged, this, [this] { showContent(); });
    // The user's zone or locale moved: the navigation counts days in the new calendar.
    connect(&m_store, &CalendarStore::revisionChanged, this, [this] {
        const Calendar& calendar = m_store.calendar();
        if (calendar.zoneId() != m_navigation->calendar().zoneId() ||
            calendar.localeId() != m_navigation->calendar().localeId()) {
            m_navigation->setCalendar(calendar);
        }
    });

    m_showsGallery = m_setup.launch.widgetGallery;
    m_toolBar->setVisible(!m_showsGallery);
    showContent();
    updateModePickers();
    updateTitle();
}

RootView::~RootView() = default;

CalendarActions RootView::actions() {
    NavigationState* nav = m_navigation.get();
    CalendarActions actions{
        .mode = nav->mode(),
        .setMode = [nav](ViewMode mode) { nav->setMode(mode); },
        .today = [nav] { nav->today(); },
        .page = [nav](int pages) { nav->page(pages); },
        .newEvent = {},
        .settings = {},
    };
    if (m_setup.sheets.newEvent) {
        actions.newEvent = [nav] { nav->newEvent(); };
    }
    if (m_setup.sheets.settings) {
        actions.settings = [nav] { nav->settings(); };
    }
    actions.widgetGallery = [this] { setShowsWidgetGallery(true); };
    if (m_setup.sheets.imageEvents) {
        actions.eventsFromImage = [nav] { nav->eventsFromImage(); };
    }
    return actions;
}

// The toolbar

void RootView::buildToolBar() {
    NavigationState& nav = *m_navigation;
    m_title = new QToolButton(m_toolBar);
    m_title->setObjectName(QStringLiteral("titleZoom"));
    m_title->setToolTip(tr("Shows a month and the views"));
    m_title->setAccessibleDescription(tr("Shows a month and the views"));
    m_title->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_title->setAutoRaise(true);
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    connect(m_title, &QToolButton::clicked, this,
            [this] { m_navigation->setShowTitlePopover(!m_navigation->showTitlePopover()); });
    m_toolBar->addWidget(m_title);

    auto* spacer = new QWidget(m_toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);

    QAction* today = m_toolBar->addAction(tr("Today"));
    today->setObjectName(QStringLiteral("todayButton"));
    connect(today, &QAction::triggered, &nav, &NavigationState::today);

    // The segmented picker of a wide window and the menu of a narrow one.
    m_modePicker = new QWidget(m_toolBar);
    m_modePicker->setObjectName(QStringLiteral("viewPicker"));
    m_modePicker->setAccessibleName(tr("View"));
    auto* segments = new QHBoxLayout(m_modePicker);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    m_modeButtons = new QButtonGroup(m_modePicker);
    m_modeButtons->setExclusive(true);
    m_modeMenu = new QToolButton(m_toolBar);
    m_modeMenu->setObjectName(QStringLiteral("viewMode"));
    m_modeMenu->setText(tr("View"));
    m_modeMenu->setPopupMode(QToolButton::InstantPopup);
    auto* modeMenu = new QMenu(m_modeMenu);
    m_modeMenuGroup = new QActionGroup(modeMenu);
    for (const ViewMode mode : ViewModes::all) {
        const QString title = QString::fromStdString(nav.modeTitle(mode));
        auto* segment = new QToolButton(m_modePicker);
        segment->setObjectName(QStringLiteral("viewPicker-") + modeName(mode));
        segment->setText(title);
        segment->setCheckable(true);
        segments->addWidget(segment);
        m_modeButtons->addButton(segment, static_cast<int>(mode));
        QAction* item = modeMenu->addAction(title);
        item->setObjectName(QStringLiteral("viewMode-") + modeName(mode));
        item->setCheckable(true);
        m_modeMenuGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, mode] { m_navigation->setMode(mode); });
    }
    connect(m_modeButtons, &QButtonGroup::idClicked, this, [this](int id) {
        m_navigation->setMode(ViewModes::all[static_cast<std::size_t>(id)]);
    });
    m_modeMenu->setMenu(modeMenu);
    m_toolBar->addWidget(m_modePicker);
    m_toolBar->addWidget(m_modeMenu)->setVisible(false);

    if (m_setup.sheets.newEvent || m_setup.sheets.imageEvents) {
        auto* add = new QToolButton(m_toolBar);
        add->setObjectName(QStringLiteral("addMenu"));
        add->setText(tr("Add"));
        add->setIcon(QIcon::fromTheme(QStringLiteral("list-add")));
        add->setPopupMode(QToolButton::InstantPopup);
        auto* addMenu = new QMenu(add);
        if (m_setup.sheets.newEvent) {
            QAction* newEvent = addMenu->addAction(
                QIcon::fromTheme(QStringLiteral("appointment-new")), tr("New Event"));
            connect(newEvent, &QAction::triggered, &nav, &NavigationState::newEvent);
        }
        if (m_setup.sheets.imageEvents) {
            QAction* fromImage = addMenu->addAction(
                QIcon::fromTheme(QStringLiteral("insert-image")), tr("Events from Image…"));
            fromImage->setObjectName(QStringLiteral("eventsFromImageItem"));
            connect(fromImage, &QAction::triggered, &nav, &NavigationState::eventsFromImage);
        }
        add->setMenu(addMenu);
        m_toolBar->addWidget(add);
    }

    auto* more = new QToolButton(m_toolBar);
    more->setObjectName(QStringLiteral("moreMenu"));
    more->setText(tr("More"));
    more->setIcon(QIcon::fromTheme(QStringLiteral("open-menu-symbolic"),
                                   QIcon::fromTheme(QStringLiteral("application-menu"))));
    more->setPopupMode(QToolButton::InstantPopup);
    auto* moreMenu = new QMenu(more);
    const QIcon outward = QIcon::fromTheme(QStringLiteral("window-new"));
    if (m_setup.outside.openSystemCalendar) {
        connect(moreMenu->addAction(outward, tr("Open System Calendar")), &QAction::triggered, this,
                [this] { m_setup.outside.openSystemCalendar(); });
    }
    if (m_setup.outside.openURL) {
        connect(moreMenu->addAction(outward, tr("Open Google Calendar")), &QAction::triggered, this,
                [this] {
                    m_setup.outside.openURL(GoogleCalendarLink::dayURL(m_navigation->dayOnScreen(),
                                                                       m_navigation->calendar()));
                });
    }
    if (m_setup.sheets.settings) {
        moreMenu->addSeparator();
        connect(moreMenu->addAction(QIcon::fromTheme(QStringLiteral("preferences-system")),
                                    tr("Settings")),
                &QAction::triggered, &nav, &NavigationState::settings);
    }
    more->setMenu(moreMenu);
    more->setEnabled(!moreMenu->isEmpty());
    m_toolBar->addWidget(more);
}

void RootView::updateModePickers() {
    const ViewMode mode = m_navigation->mode();
    if (QAbstractButton* segment = m_modeButtons->button(static_cast<int>(mode))) {
        segment->setChecked(true);
    }
    m_modeMenuGroup->actions().at(static_cast<qsizetype>(slot(mode)))->setChecked(true);
}

void RootView::updateTitle() {
    const QString chevron =
        m_navigation->showTitlePopover() ? QStringLiteral(" \u25B4") : QStringLiteral(" \u25BE");
    m_title->setText(QString::fromStdString(m_navigation->title()) + chevron);
    window()->setWindowTitle(QString::fromStdString(m_navigation->title()) +
                             QStringLiteral(" \u2013 Plannery"));
}

QString RootView::titleText() const {
    return QString::fromStdString(m_navigation->title());
}

void RootView::setCompact(bool compact) {
    if (compact == m_compact) {
        return;
    }
    m_compact = compact;
    for (QAction* action : m_toolBar->actions()) {
        QWidget* widget = m_toolBar->widgetForAction(action);
        if (widget == m_modePicker) {
            action->setVisible(!compact);
        } else if (widget == m_modeMenu) {
            action->setVisible(compact);
        }
    }
}

void RootView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setCompact(width() < compactWidth);
}

// The title popover

void RootView::toggleTitlePopover() {
    if (!m_popover) {
        m_popover =
            new TitlePopover(m_navigation->calendar(), m_navigation->workDaysPerWeek(),
                             TitlePopover::Handlers{
                                 .onDay = [this](Instant day) { m_navigation->show(day); },
                                 .onMode = [this](ViewMode mode) { m_navigation->setMode(mode); },
                                 .onClose = [this] { m_navigation->setShowTitlePopover(false); },
                             },
                             this);
    }
    if (m_navigation->showTitlePopover()) {
        const Instant now = m_setup.clock ? m_setup.clock() : Instant::now();
        m_popover->present(m_navigation->mode(), m_navigation->dayOnScreen(), now);
        m_popover->adjustSize();
        m_popover->move(m_title->mapToGlobal(QPoint(0, m_title->height())));
        m_popover->show();
    } else {
        m_popover->hide();
    }
    updateTitle();
}

// The views

void RootView::setShowsWidgetGallery(bool shown) {
    if (shown == m_showsGallery) {
        return;
    }
    m_showsGallery = shown;
    m_toolBar->setVisible(!shown);
    showContent();
    if (shown) {
        m_gallery->setFocus();
    }
}

WidgetGalleryView* RootView::galleryView() {
    if (m_gallery) {
        return m_gallery;
    }
    const Outside& outside = m_setup.outside;
    m_gallery = new WidgetGalleryView(
        WidgetGalleryView::Setup{
            .store = &m_store,
            .page = m_setup.launch.widgetGalleryPage,
            .frozenNow = m_setup.launch.widgetGalleryNow,
            .clock = m_setup.clock,
            .placeOnDesktop = outside.placeWidget,
            .autostart = outside.widgetAutostart,
            .setAutostart = outside.setWidgetAutostart,
            .done = [this] { setShowsWidgetGallery(false); },
        },
        m_stack);
    m_stack->addWidget(m_gallery);
    return m_gallery;
}

void RootView::showContent() {
    // The gallery, when asked for, takes the place of everything else, with or without access.
    QWidget* next = m_showsGallery        ? galleryView()
                    : m_store.hasAccess() ? viewFor(m_navigation->mode())
                                          : static_cast<QWidget*>(m_access);
    m_access->setStatus(m_store.status());
    if (m_stack->currentWidget() != next) {
        m_stack->setCurrentWidget(next);
        next->installEventFilter(this);
    }
    anchorChanged();
}

QWidget* RootView::currentView() const {
    return m_stack->currentWidget();
}

QWidget* RootView::viewFor(ViewMode mode) {
    switch (mode) {
    case ViewMode::agenda:
        return agendaView();
    case ViewMode::fourWeeks:
        return fourWeeksView();
    case ViewMode::day:
    case ViewMode::threeDay:
    case ViewMode::workWeek:
    case ViewMode::week:
        return gridView(mode);
    }
    return gridView(ViewModes::defaultMode);
}

TimeGridView* RootView::gridView(ViewMode mode) {
    const TimeGridSpan span = ViewModes::gridSpan(mode).value();
    const std::size_t index = slot(mode);
    if (m_grids[index]) {
        return m_grids[index];
    }
    auto* view = new TimeGridView(span, m_store.calendar(), m_stack);
    view->setObjectName(QStringLiteral("timeGrid-") + modeName(ViewModes::all[index]));
    m_stack->addWidget(view);
    if (m_setup.clock) {
        view->setClock(m_setup.clock);
    }
    NavigationState* nav = m_navigation.get();
    m_bindings[index] = std::make_unique<TimeGridBinding>(
        *view, m_store, *m_setup.defaults, anchor(),
        TimeGridView::Handlers{
            .onSelect = [nav](const CalEvent& event) { nav->setSelected(event); },
            .onCreate =
                [nav](Instant start, Instant end) {
                    nav->setNewEventRange(NewEventRange{.start = start, .end = end});
                },
            .onSelectDay = [nav](Instant day) { nav->zoomTo(day); },
            .onHourHeightChange = {},
        });
    m_grids[index] = view;
    return view;
}

FourWeeksView* RootView::fourWeeksView() {
    if (m_fourWeeks) {
        return m_fourWeeks;
    }
    m_fourWeeks = new FourWeeksView(m_store.calendar(), m_stack);
    m_stack->addWidget(m_fourWeeks);
    NavigationState* nav = m_navigation.get();
    if (m_setup.clock) {
        m_fourWeeks->setClock(m_setup.clock);
    }
    m_fourWeeks->setOnSelectDay([nav](Instant day) { nav->zoomTo(day); });
    m_bindings[slot(ViewMode::fourWeeks)] =
        std::make_unique<ViewBinding>(*m_fourWeeks, m_store, anchor());
    return m_fourWeeks;
}

AgendaListView* RootView::agendaView() {
    if (m_agenda) {
        return m_agenda;
    }
    m_agenda = new AgendaListView(m_store.calendar(), m_stack);
    m_agenda->setObjectName(QStringLiteral("agendaList"));
    m_stack->addWidget(m_agenda);
    NavigationState* nav = m_navigation.get();
    if (m_setup.clock) {
        m_agenda->setClock(m_setup.clock);
    }
    m_agenda->setOnSelect([nav](const CalEvent& event) { nav->setSelected(event); });
    m_bindings[slot(ViewMode::agenda)] =
        std::make_unique<ViewBinding>(*m_agenda, m_store, anchor());
    return m_agenda;
}

ViewBinding::Anchor RootView::anchor() const {
    NavigationState* nav = m_navigation.get();
    return ViewBinding::Anchor{.get = [nav] { return nav->anchor(); },
                               .set = [nav](Instant day) { nav->setAnchor(day); }};
}

void RootView::reloadTimeGridPreferences() {
    for (const auto& binding : m_bindings) {
        if (auto* grid = qobject_cast<TimeGridBinding*>(binding.get())) {
            grid->preferencesChanged();
        }
    }
}

void RootView::anchorChanged() {
    // Only the view on screen follows at once; the others catch up when they come forward.
    if (m_stack->currentWidget() != m_access) {
        if (const auto& binding = m_bindings[slot(m_navigation->mode())]) {
            binding->anchorChanged();
        }
    }
    updateTitle();
}

// Sheets

void RootView::presentSheets() {
    if (m_sheet) {
        return;
    }
    NavigationState& nav = *m_navigation;
    const Sheets& sheets = m_setup.sheets;
    if (nav.selected()) {
        if (!sheets.detail) {
            nav.setSelected(std::nullopt);
            return;
        }
        present(sheets.detail(this, *nav.selected()),
                [this] { m_navigation->setSelected(std::nullopt); });
    } else if (nav.newEventRange()) {
        if (!sheets.newEvent) {
            nav.setNewEventRange(std::nullopt);
            return;
        }
        present(sheets.newEvent(this, *nav.newEventRange()),
                [this] { m_navigation->setNewEventRange(std::nullopt); });
    } else if (nav.showSettings()) {
        if (!sheets.settings) {
            nav.setShowSettings(false);
            return;
        }
        present(sheets.settings(this), [this] { m_navigation->setShowSettings(false); });
    } else if (nav.showImageEvents()) {
        if (!sheets.imageEvents) {
            nav.setShowImageEvents(false);
            return;
        }
        present(sheets.imageEvents(this,
                                   [this](std::optional<Instant> added) {
                                       m_navigation->imageEventsClosed(added);
                                   }),
                [this] { m_navigation->setShowImageEvents(false); });
    }
}

void RootView::present(QDialog* dialog, std::function<void()> dismissed) {
    if (!dialog) {
        dismissed();
        return;
    }
    m_sheet = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::finished, this, [this, dialog, dismissed = std::move(dismissed)] {
        if (m_sheet == dialog) {
            m_sheet = nullptr;
        }
        dismissed();
        // Another sheet may have been asked for while this one was open.
        QTimer::singleShot(0, this, [this] { presentSheets(); });
    });
    dialog->open();
}

// The window

void RootView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_askedAccess) {
        m_askedAccess = true;
        // The engine choice is recorded where the widget process can read it, before access is
        // asked for.
        FinderSettings(m_store.keychain(), m_setup.defaults).share();
        m_store.requestAccess();
    }
    presentSheets();
    if (m_navigation->showTitlePopover()) {
        QTimer::singleShot(0, this, [this] { toggleTitlePopover(); });
    }
}

void RootView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Access may have been given elsewhere meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_store.refreshStatus();
    }
}

bool RootView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !m_painted && watched == m_stack->currentWidget()) {
        m_painted = true;
        // After this paint has reached the screen.
        QTimer::singleShot(0, this, [this] { emit firstPaint(); });
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace plannery
