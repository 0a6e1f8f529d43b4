#pragma once

#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetFamily.h"
#include "views/WidgetFacePart.h"

#include <QFont>

#include <optional>

namespace plannery {

// The face shown while the calendars may not be read: it asks the user to open Plannery and
// allow access, or says what else keeps the calendars from it. A click opens the app on today.
class WidgetNoAccessFace final : public WidgetFacePart {
  public:
    WidgetNoAccessFace(WidgetFamily family, TextSize textSize, Instant today,
                       std::optional<QString> problem);

    void layout(const QSizeF& size) override;
    void paint(QPainter& painter, const WidgetPalette& palette) const override;
    std::vector<WidgetTarget> targets() const override;
    QString accessibleName() const override;
    Instant tapDay() const override { return m_today; }

    // The sentence the face shows.
    const QString& message() const { return m_message; }

    // The calendar with an exclamation mark, drawn in `color` into a square of side `size`.
    static void paintSymbol(QPainter& painter, const QRectF& square, const QColor& color);

  private:
    WidgetFamily m_family;
    Instant m_today;
    QString m_title; // the rectangular face's first line
    QString m_message;
    QFont m_titleFont;
    QFont m_messageFont;
    double m_symbolSize = 0;
    QSizeF m_size;
    QRectF m_symbol;
    QRectF m_text;
};

} // namespace plannery
