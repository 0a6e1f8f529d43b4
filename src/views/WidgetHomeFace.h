#pragma once

#include "agenda/WidgetFaceText.h"
#include "agenda/WidgetFamily.h"
#include "views/AgendaFlowList.h"
#include "views/WidgetFacePart.h"

#include <QFont>

#include <array>
#include <memory>

namespace plannery {

// The small, medium and large tiles: a date heading over the agenda list of today and the days
// ahead, in one or two columns.
class WidgetHomeFace final : public WidgetFacePart {
  public:
    WidgetHomeFace(const WidgetAgenda& agenda, const HomeFaceLayout& layout, TextSize textSize);

    void layout(const QSizeF& size) override;
    void paint(QPainter& painter, const WidgetPalette& palette) const override;
    std::vector<WidgetTarget> targets() const override;
    QString accessibleName() const override;
    Instant tapDay() const override;

    const AgendaFlowList& list() const { return *m_list; }

  private:
    double headingHeight(double width) const;
    void paintHeading(QPainter& painter, const QRectF& frame, const WidgetPalette& palette) const;
    // The longest heading that fits the width (the large face has only one).
    const WidgetFaceText::Heading& headingFor(double width) const;

    const WidgetAgenda& m_agenda;
    HomeFaceLayout m_layout;
    QFont m_headingFont;
    double m_headingGap;
    std::vector<WidgetFaceText::Heading> m_headings;
    std::unique_ptr<AgendaFlowList> m_list;
    QSizeF m_size;
    QRectF m_content;
};

} // namespace plannery
