#pragma once

#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetFamily.h"
#include "grid/TimeGridColors.h"
#include "model/Instant.h"

#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>

class QSettings;

namespace plannery {

class WidgetCalendars;
class WidgetFaceView;

// One face in a small frameless window of its own, on the desktop layer where the window system
// allows. It stays where the user drags it (kept across runs), follows the desktop's light or
// dark look, and opens the app on a day when a row or the face is clicked.
class WidgetWindow final : public QWidget {
    Q_OBJECT

  public:
    struct Setup {
        WidgetFamily family = WidgetFamily::systemMedium;
        WidgetCalendars* calendars = nullptr;
        std::function<Instant()> now{};
        QSize size{};
        std::optional<Appearance> appearance{}; // none: the desktop's
        TextSize textSize = TextSize::large;
        QSettings* positions = nullptr; // where the window's place is kept; may be null
        std::function<void(const QString& url)> openLink{};
        bool desktopLayer = true;
        int index = 0; // its place among the windows of this run, for a first position
    };

    explicit WidgetWindow(Setup setup, QWidget* parent = nullptr);

    // Draws the face again for the clock's time and the calendars' content.
    void redraw();
    WidgetFaceView& face() { return *m_face; }
    WidgetFamily family() const { return m_setup.family; }
    Appearance appearance() const;

  protected:
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QString positionKey() const;
    void restorePosition();
    void keepPosition();

    Setup m_setup;
    WidgetFaceView* m_face = nullptr;
};

} // namespace plannery
