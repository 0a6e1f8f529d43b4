#pragma once

#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetFamily.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "views/AgendaFlowList.h"
#include "views/WidgetPalette.h"

#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace plannery {

class WidgetAgenda;
class WidgetFacePart;

// Everything a face is drawn from.
struct WidgetFaceInput {
    Calendar calendar;
    WidgetFamily family = WidgetFamily::systemSmall;
    Instant now{};
    // Merged and filtered, today and the next two weeks; handed on to the face's agenda.
    std::vector<CalEvent> events{};
    bool hasAccess = true;
    // A sentence that takes the agenda's place when the calendars cannot be read as they should
    // (the face that asks for access, with this sentence).
    std::optional<QString> problem{};
    Appearance appearance = Appearance::light;
    TextSize textSize = TextSize::large;
    // The panel faces are drawn on the tile colour; without it, straight on what lies below
    // (a wallpaper).
    bool accessoryBackdrop = true;
    double cornerRadius = 0;
};

// One widget face for a family: builds the agenda and the face that suits the family (or the one
// that asks for access), lays it out in a size and paints it, with the items a click or a screen
// reader reaches and the deep link of each.
class WidgetFacePainter {
  public:
    explicit WidgetFacePainter(WidgetFaceInput input);
    ~WidgetFacePainter();
    WidgetFacePainter(const WidgetFacePainter&) = delete;
    WidgetFacePainter& operator=(const WidgetFacePainter&) = delete;

    const WidgetFaceInput& input() const { return m_input; }
    WidgetFace face() const { return m_face; }
    // None without calendar access or with a problem.
    const WidgetAgenda* agenda() const { return m_agenda.get(); }

    void layout(const QSizeF& size);
    const QSizeF& size() const { return m_size; }
    // The background (a rounded tile, for the tiles and backdropped panel faces) and the face,
    // in (0, 0, width, height).
    void paint(QPainter& painter) const;

    std::vector<WidgetTarget> targets() const;
    QString accessibleName() const;
    Instant tapDay() const;
    // "plannery://day/2026-03-09" for a day.
    std::string link(Instant day) const;

    // The rounding of a face's corners on the desktop: tiles are rounder than panel faces.
    static double cornerRadiusFor(WidgetFamily family);

  private:
    WidgetFaceInput m_input;
    WidgetFace m_face;
    WidgetPalette m_palette;
    std::unique_ptr<WidgetAgenda> m_agenda;
    std::unique_ptr<WidgetFacePart> m_part;
    QSizeF m_size{-1, -1};
};

} // namespace plannery
