#include "widget/WidgetWindow.h"

#include "views/GridPalette.h"
#include "views/WidgetFaceView.h"
#include "widget/DesktopLayer.h"
#include "widget/WidgetCalendars.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

namespace plannery {

namespace {

constexpr int kMargin = 24;
constexpr int kStep = 200;

} // namespace

WidgetWindow::WidgetWindow(Setup setup, QWidget* parent)
    : QWidget(parent), m_setup(std::move(setup)) {
    const std::string_view family = WidgetFamilies::name(m_setup.family);
    const QString name = QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size()));
    setObjectName(QStringLiteral("widgetWindow-") + name);
    setWindowTitle(tr("Plannery Widget"));
    setAccessibleName(tr("Plannery widget, %1").arg(name));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_face = new WidgetFaceView(this);
    m_face->setMovesWindow(true);
    layout->addWidget(m_face);
    setFixedSize(m_setup.size);
    connect(m_face, &WidgetFaceView::moved, this, &WidgetWindow::keepPosition);
    connect(m_face, &WidgetFaceView::linkActivated, this, [this](const QString& url) {
        if (m_setup.openLink) {
            m_setup.openLink(url);
        }
    });
    if (m_setup.desktopLayer) {
        DesktopLayer::apply(*this);
    }
    restorePosition();
    redraw();
}

Appearance WidgetWindow::appearance() const {
    return m_setup.appearance.value_or(GridPalette::from(palette()).appearance);
}

void WidgetWindow::redraw() {
    if (m_setup.calendars == nullptr) {
        return;
    }
    const Instant now = m_setup.now ? m_setup.now() : Instant::now();
    const WidgetCalendars::Content& content = m_setup.calendars->content(now);
    m_face->setInput(WidgetFaceInput{
        .calendar = m_setup.calendars->calendar(),
        .family = m_setup.family,
        .now = now,
        .events = content.events,
        .hasAccess = content.hasAccess,
        .problem = content.problem,
        .appearance = appearance(),
        .textSize = m_setup.textSize,
        .accessoryBackdrop = true,
        .cornerRadius = WidgetFacePainter::cornerRadiusFor(m_setup.family),
    });
}

void WidgetWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_setup.appearance) {
        redraw();
    }
}

void WidgetWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(tr("Open Plannery"), this, [this] { m_face->activate(std::nullopt); });
    menu.addSeparator();
    menu.addAction(tr("Close Widget"), this, &QWidget::close);
    menu.exec(event->globalPos());
}

QString WidgetWindow::positionKey() const {
    const std::string_view name = WidgetFamilies::name(m_setup.family);
    return QStringLiteral("positions/") +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

void WidgetWindow::restorePosition() {
    const QVariant kept =
        m_setup.positions != nullptr ? m_setup.positions->value(positionKey()) : QVariant();
    if (kept.canConvert<QPoint>()) {
        const QPoint point = kept.toPoint();
        // A place on a screen that is gone is not kept.
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(QRect(point, size()))) {
                move(point);
                return;
            }
        }
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    // A first run stacks its windows down the right edge of the screen.
    move(area.right() - width() - kMargin, area.top() + kMargin + m_setup.index * kStep);
}

void WidgetWindow::keepPosition() {
    if (m_setup.positions != nullptr) {
        m_setup.positions->setValue(positionKey(), pos());
        m_setup.positions->sync();
    }
}

} // namespace plannery
