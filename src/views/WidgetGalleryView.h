#pragma once

#include "agenda/WidgetFamily.h"
#include "agenda/WidgetGallery.h"
#include "agenda/WidgetSizes.h"
#include "model/CalEvent.h"
#include "views/WidgetFaceView.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QVBoxLayout;

namespace plannery {

class CalendarStore;

// The widget faces inside the app, at the sizes they have on this screen and on the user's own
// calendars (sample events while the calendars may not be read): tiles at several times of day,
// the panel faces on a wallpaper, and the faces without access. The page and a frozen clock can
// be chosen at launch, so that pictures repeat. From here the faces are placed on the desktop,
// now or at every login.
class StoreDays;

class WidgetGalleryView final : public QWidget {
    Q_OBJECT

  public:
    struct Setup {
        CalendarStore* store = nullptr;
        std::string page{};      // "widgetGalleryPage"
        std::string frozenNow{}; // "widgetGalleryNow", as written
        std::function<Instant()> clock{};
        // What leaves the app; empty ones hide their control.
        std::function<void(WidgetFamily)> placeOnDesktop{};
        std::function<std::optional<std::vector<WidgetFamily>>()> autostart{};
        std::function<std::optional<std::string>(const std::vector<WidgetFamily>&)> setAutostart{};
        std::function<void()> done{};
    };

    explicit WidgetGalleryView(Setup setup, QWidget* parent = nullptr);

    WidgetGallery::Page page() const { return m_page; }
    void setPage(WidgetGallery::Page page);
    // The frozen instant, or the clock's.
    Instant now() const;
    const WidgetSizes& sizes() const { return m_sizes; }

    // Builds the tiles again: the calendars, the clock or the look changed.
    void reload();
    // What the page shows, for tests and pictures: each face with its caption.
    std::vector<WidgetFaceView*> faces() const { return m_faces; }
    const std::vector<QString>& captions() const { return m_captions; }
    // The last sentence about placing widgets, empty when all went well.
    QString status() const;

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildBar(QVBoxLayout* layout);
    void fillAutostartMenu();
    void autostartChanged();
    void addTile(QVBoxLayout* column, WidgetFamily family, Instant at, const QString& caption,
                 const std::vector<CalEvent>& events, bool hasAccess);
    void addLockFaces(QVBoxLayout* column, Instant at, const std::vector<CalEvent>& events,
                      bool hasAccess);
    void armMinute();

    Setup m_setup;
    // The days the faces show, as the store has them loaded: the gallery reads no calendar file
    // itself, and draws again when days it asked for arrive.
    StoreDays* m_days = nullptr;
    std::optional<Instant> m_frozen;
    WidgetGallery::Page m_page;
    WidgetSizes m_sizes;
    QComboBox* m_pages = nullptr;
    QMenu* m_autostart = nullptr;
    QLabel* m_status = nullptr;
    QScrollArea* m_scroll = nullptr;
    std::vector<WidgetFaceView*> m_faces;
    std::vector<QString> m_captions;
    QTimer m_minute;
};

} // namespace plannery
