#include "views/WidgetGalleryView.h"

#include "store/CalendarStore.h"
#include "views/GridPalette.h"
#include "views/StoreDays.h"
#include "views/WidgetWallpaper.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <set>

namespace plannery {

namespace {

using Page = WidgetGallery::Page;

// The page picker's entries, in order.
struct PageEntry {
    Page page;
    const char* title;
};
constexpr PageEntry kPages[] = {
    {Page::overview, QT_TRANSLATE_NOOP("WidgetGalleryView", "Overview")},
    {Page::small, QT_TRANSLATE_NOOP("WidgetGalleryView", "Small")},
    {Page::medium, QT_TRANSLATE_NOOP("WidgetGalleryView", "Medium")},
    {Page::large, QT_TRANSLATE_NOOP("WidgetGalleryView", "Large")},
    {Page::lock, QT_TRANSLATE_NOOP("WidgetGalleryView", "Lock Screen")},
    {Page::states, QT_TRANSLATE_NOOP("WidgetGalleryView", "States")},
};

struct FamilyEntry {
    WidgetFamily family;
    const char* title;
};
constexpr FamilyEntry kFamilies[] = {
    {WidgetFamily::systemSmall, QT_TRANSLATE_NOOP("WidgetGalleryView", "Small")},
    {WidgetFamily::systemMedium, QT_TRANSLATE_NOOP("WidgetGalleryView", "Medium")},
    {WidgetFamily::systemLarge, QT_TRANSLATE_NOOP("WidgetGalleryView", "Large")},
    {WidgetFamily::systemExtraLarge, QT_TRANSLATE_NOOP("WidgetGalleryView", "Extra Large")},
    {WidgetFamily::accessoryRectangular, QT_TRANSLATE_NOOP("WidgetGalleryView", "Rectangular")},
    {WidgetFamily::accessoryInline, QT_TRANSLATE_NOOP("WidgetGalleryView", "Inline")},
};

constexpr int kGap = 16;
constexpr int kFetchDays = 15;

QString familyTitle(WidgetFamily family) {
    for (const FamilyEntry& entry : kFamilies) {
        if (entry.family == family) {
            return WidgetGalleryView::tr(entry.title);
        }
    }
    return {};
}

QSize pointSize(const WidgetSizes::Size& size) {
    return QSize(static_cast<int>(std::round(size.width)),
                 static_cast<int>(std::round(size.height)));
}

WidgetSizes screenSizes() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return WidgetSizes{};
    }
    const QSize size = screen->size();
    return WidgetSizes::forScreen(std::min(size.width(), size.height()),
                                  std::max(size.width(), size.height()));
}

} // namespace

WidgetGalleryView::WidgetGalleryView(Setup setup, QWidget* parent)
    : QWidget(parent), m_setup(std::move(setup)), m_page(WidgetGallery::page(m_setup.page)),
      m_sizes(screenSizes()) {
    setObjectName(QStringLiteral("widgetGallery"));
    setAccessibleName(tr("Widget Gallery"));
    const Instant real = m_setup.clock ? m_setup.clock() : Instant::now();
    m_frozen = WidgetGallery::parseNow(m_setup.frozenNow, real, m_setup.store->calendar());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildBar(layout);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("widgetGalleryScroll"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_scroll, 1);

    m_days = new StoreDays(*m_setup.store, this);
    // Queued: days can arrive while a reload asks for them.
    connect(m_days, &DaySource::arrived, this, &WidgetGalleryView::reload, Qt::QueuedConnection);
    connect(m_days, &DaySource::changed, this, &WidgetGalleryView::reload, Qt::QueuedConnection);
    connect(m_setup.store, &CalendarStore::statusChanged, this, &WidgetGalleryView::reload);
    m_minute.setSingleShot(true);
    connect(&m_minute, &QTimer::timeout, this, [this] {
        reload();
        armMinute();
    });
    if (!m_frozen) {
        armMinute();
    }
    reload();
}

void WidgetGalleryView::buildBar(QVBoxLayout* layout) {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 8, 12, 8);
    auto* title = new QLabel(tr("Widget Gallery"), bar);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    title->setFont(titleFont);
    row->addWidget(title);
    row->addStretch(1);

    m_pages = new QComboBox(bar);
    m_pages->setObjectName(QStringLiteral("widgetGalleryPage"));
    m_pages->setAccessibleName(tr("Page"));
    for (const PageEntry& entry : kPages) {
        m_pages->addItem(tr(entry.title), static_cast<int>(entry.page));
    }
    m_pages->setCurrentIndex(m_pages->findData(static_cast<int>(m_page)));
    connect(m_pages, &QComboBox::activated, this,
            [this](int index) { setPage(static_cast<Page>(m_pages->itemData(index).toInt())); });
    row->addWidget(m_pages);

    if (m_setup.placeOnDesktop) {
        auto* place = new QToolButton(bar);
        place->setObjectName(QStringLiteral("placeOnDesktop"));
        place->setText(tr("Place on Desktop"));
        place->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(place);
        for (const FamilyEntry& entry : kFamilies) {
            const WidgetFamily family = entry.family;
            menu->addAction(tr(entry.title), this,
                            [this, family] { m_setup.placeOnDesktop(family); });
        }
        place->setMenu(menu);
        row->addWidget(place);
    }
    if (m_setup.autostart && m_setup.setAutostart) {
        auto* login = new QToolButton(bar);
        login->setObjectName(QStringLiteral("startAtLogin"));
        login->setText(tr("Start at Login"));
        login->setPopupMode(QToolButton::InstantPopup);
        m_autostart = new QMenu(login);
        fillAutostartMenu();
        login->setMenu(m_autostart);
        row->addWidget(login);
    }
    if (m_setup.done) {
        auto* done = new QPushButton(tr("Done"), bar);
        done->setObjectName(QStringLiteral("widgetGalleryDone"));
        connect(done, &QPushButton::clicked, this, [this] { m_setup.done(); });
        row->addWidget(done);
    }
    layout->addWidget(bar);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("widgetGalleryStatus"));
    m_status->setWordWrap(true);
    m_status->setContentsMargins(12, 0, 12, 8);
    m_status->hide();
    layout->addWidget(m_status);
}

void WidgetGalleryView::fillAutostartMenu() {
    const auto current = m_setup.autostart();
    for (const FamilyEntry& entry : kFamilies) {
        QAction* action = m_autostart->addAction(tr(entry.title));
        action->setCheckable(true);
        action->setData(static_cast<int>(entry.family));
        action->setChecked(current && std::find(current->begin(), current->end(), entry.family) !=
                                          current->end());
        connect(action, &QAction::toggled, this, &WidgetGalleryView::autostartChanged);
    }
}

void WidgetGalleryView::autostartChanged() {
    std::vector<WidgetFamily> chosen;
    for (const QAction* action : m_autostart->actions()) {
        if (action->isChecked()) {
            chosen.push_back(static_cast<WidgetFamily>(action->data().toInt()));
        }
    }
    const auto problem = m_setup.setAutostart(chosen);
    m_status->setText(problem ? QString::fromStdString(*problem) : QString());
    m_status->setVisible(problem.has_value());
}

QString WidgetGalleryView::status() const {
    return m_status->text();
}

Instant WidgetGalleryView::now() const {
    if (m_frozen) {
        return *m_frozen;
    }
    return m_setup.clock ? m_setup.clock() : Instant::now();
}

void WidgetGalleryView::setPage(Page page) {
    if (page == m_page) {
        return;
    }
    m_page = page;
    m_pages->setCurrentIndex(m_pages->findData(static_cast<int>(page)));
    reload();
}

void WidgetGalleryView::armMinute() {
    const double seconds = now().seconds;
    const double next = (std::floor(seconds / 60.0) + 1.0) * 60.0;
    m_minute.start(static_cast<int>(std::ceil((next - seconds) * 1000.0)) + 20);
}

void WidgetGalleryView::addTile(QVBoxLayout* column, WidgetFamily family, Instant at,
                                const QString& caption, const std::vector<CalEvent>& events,
                                bool hasAccess) {
    auto* label = new QLabel(caption, column->parentWidget());
    label->setObjectName(QStringLiteral("widgetGalleryCaption"));
    column->addWidget(label);
    auto* face = new WidgetFaceView(column->parentWidget());
    face->setFixedSize(pointSize(m_sizes.of(family)));
    face->setInput(WidgetFaceInput{
        .calendar = m_setup.store->calendar(),
        .family = family,
        .now = at,
        .events = events,
        .hasAccess = hasAccess,
        .problem = std::nullopt,
        .appearance = GridPalette::from(palette()).appearance,
        .textSize = TextSize::large,
        .accessoryBackdrop = true,
        .cornerRadius = m_sizes.cornerRadius,
    });
    column->addWidget(face);
    m_faces.push_back(face);
    m_captions.push_back(caption);
}

void WidgetGalleryView::addLockFaces(QVBoxLayout* column, Instant at,
                                     const std::vector<CalEvent>& events, bool hasAccess) {
    auto* label = new QLabel(tr("Lock Screen"), column->parentWidget());
    column->addWidget(label);
    auto* wallpaper = new WidgetWallpaper(column->parentWidget());
    auto* faces = new QVBoxLayout(wallpaper);
    faces->setContentsMargins(kGap, kGap * 2, kGap, kGap * 2);
    faces->setSpacing(kGap);
    for (const WidgetFamily family :
         {WidgetFamily::accessoryInline, WidgetFamily::accessoryRectangular}) {
        auto* face = new WidgetFaceView(wallpaper);
        face->setFixedSize(pointSize(m_sizes.of(family)));
        face->setInput(WidgetFaceInput{
            .calendar = m_setup.store->calendar(),
            .family = family,
            .now = at,
            .events = events,
            .hasAccess = hasAccess,
            .problem = std::nullopt,
            .appearance = Appearance::dark,
            .textSize = TextSize::large,
            .accessoryBackdrop = false,
            .cornerRadius = 0,
        });
        faces->addWidget(face, 0, Qt::AlignHCenter);
        m_faces.push_back(face);
        m_captions.push_back(familyTitle(family));
    }
    wallpaper->setFixedWidth(pointSize(m_sizes.medium()).width());
    column->addWidget(wallpaper);
}

void WidgetGalleryView::reload() {
    m_faces.clear();
    m_captions.clear();
    const Instant at = now();
    CalendarStore& store = *m_setup.store;
    const Calendar calendar = store.calendar();
    // The user's own calendars when they may be read, else the sample events.
    const bool hasAccess = store.hasAccess();
    std::vector<CalEvent> events;
    if (hasAccess) {
        const Instant start = calendar.startOfDay(at);
        const Instant end = calendar.addDays(start, kFetchDays).value_or(start);
        m_days->request(start, end);
        // An event on several days is in each of their lists; the faces take it once.
        std::set<std::string> taken;
        for (int i = 0; i < kFetchDays; ++i) {
            const std::optional<Instant> day = calendar.addDays(start, i);
            const DaySource::EventList list = day ? m_days->events(*day) : nullptr;
            if (!list) {
                continue;
            }
            for (const CalEvent& event : *list) {
                if (taken.insert(event.id).second) {
                    events.push_back(event);
                }
            }
        }
    } else {
        events = WidgetGallery::sampleEvents(at, calendar);
    }

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(kGap, kGap, kGap, kGap);
    column->setSpacing(6);
    const auto caption = [&](Instant t) {
        return QString::fromStdString(WidgetGallery::caption(t, calendar));
    };
    const auto eachTime = [&](WidgetFamily family) {
        for (const Instant t : WidgetGallery::tileTimes(at, calendar)) {
            addTile(column, family, t, caption(t), events, hasAccess);
            column->addSpacing(kGap);
        }
    };
    switch (m_page) {
    case Page::small:
        eachTime(WidgetFamily::systemSmall);
        break;
    case Page::medium:
        eachTime(WidgetFamily::systemMedium);
        break;
    case Page::large:
        eachTime(WidgetFamily::systemLarge);
        break;
    case Page::lock:
        addLockFaces(column, at, events, hasAccess);
        break;
    case Page::states: {
        const std::vector<CalEvent> samples = WidgetGallery::sampleEvents(at, calendar);
        for (const FamilyEntry& entry : kFamilies) {
            addTile(column, entry.family, at,
                    tr("No access") + QStringLiteral(" \u2013 ") + tr(entry.title), {}, false);
            addTile(column, entry.family, at,
                    tr("Sample (preview)") + QStringLiteral(" \u2013 ") + tr(entry.title), samples,
                    true);
            column->addSpacing(kGap);
        }
        break;
    }
    case Page::overview:
        addTile(column, WidgetFamily::systemMedium, at, caption(at), events, hasAccess);
        column->addSpacing(kGap);
        addTile(column, WidgetFamily::systemLarge, at, caption(at), events, hasAccess);
        column->addSpacing(kGap);
        addLockFaces(column, at, events, hasAccess);
        break;
    }
    column->addStretch(1);
    m_scroll->setWidget(content);
}

void WidgetGalleryView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        reload();
    }
}

void WidgetGalleryView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_setup.done) {
        m_setup.done();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace plannery
