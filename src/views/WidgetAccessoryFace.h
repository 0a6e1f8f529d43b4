#pragma once

#include "agenda/WidgetFamily.h"
#include "views/WidgetFacePart.h"

#include <QFont>

namespace plannery {

// The compact faces for panels: the rectangular one (the next events, as many of the first four
// as fit) and the inline one (one line: the next event).
class WidgetAccessoryFace final : public WidgetFacePart {
  public:
    // `face` is rectangular or inlineText. With a backdrop the face keeps off the tile's edges.
    WidgetAccessoryFace(const WidgetAgenda& agenda, WidgetFace face, TextSize textSize,
                        bool backdrop);

    void layout(const QSizeF& size) override;
    void paint(QPainter& painter, const WidgetPalette& palette) const override;
    std::vector<WidgetTarget> targets() const override;
    QString accessibleName() const override;
    Instant tapDay() const override;

    // How many events the rectangular face shows at its size.
    std::size_t shownEvents() const { return m_shownEvents; }

  private:
    struct Line {
        QString text{};
        const QFont* font = nullptr;
        bool secondary = false;
        QString time{}; // a further event's time, before its title
        QRectF frame{};
        QString name{}; // what a screen reader says for the line
    };

    std::vector<Line> rectangularLines(std::size_t events) const;
    double height(const std::vector<Line>& lines) const;

    const WidgetAgenda& m_agenda;
    WidgetFace m_face;
    bool m_backdrop;
    QFont m_title;
    QFont m_detail;
    QFont m_time;
    QFont m_further;
    QFont m_inline;
    std::vector<Line> m_lines;
    std::size_t m_shownEvents = 0;
    QSizeF m_size;
};

} // namespace plannery
