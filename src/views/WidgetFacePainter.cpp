#include "views/WidgetFacePainter.h"

#include "agenda/WidgetAgenda.h"
#include "model/DeepLink.h"
#include "views/WidgetAccessoryFace.h"
#include "views/WidgetHomeFace.h"
#include "views/WidgetNoAccessFace.h"
#include "views/WidgetTexts.h"

#include <QPainter>

namespace plannery {

WidgetFacePainter::WidgetFacePainter(WidgetFaceInput input)
    : m_input(std::move(input)),
      m_face(WidgetFamilies::face(m_input.family, m_input.hasAccess && !m_input.problem)),
      m_palette(WidgetPalette::of(m_input.appearance)) {
    const Instant today = m_input.calendar.startOfDay(m_input.now);
    if (m_face == WidgetFace::noAccess) {
        m_part = std::make_unique<WidgetNoAccessFace>(m_input.family, m_input.textSize, today,
                                                      m_input.problem);
        return;
    }
    // The agenda keeps the events; the input has no more use for them.
    m_agenda = std::make_unique<WidgetAgenda>(std::move(m_input.events), m_input.now,
                                              m_input.calendar, WidgetTexts::words());
    if (const auto layout = HomeFaceLayout::of(m_face)) {
        m_part = std::make_unique<WidgetHomeFace>(*m_agenda, *layout, m_input.textSize);
    } else {
        m_part = std::make_unique<WidgetAccessoryFace>(*m_agenda, m_face, m_input.textSize,
                                                       m_input.accessoryBackdrop);
    }
}

WidgetFacePainter::~WidgetFacePainter() = default;

void WidgetFacePainter::layout(const QSizeF& size) {
    if (size == m_size) {
        return;
    }
    m_size = size;
    m_part->layout(size);
}

void WidgetFacePainter::paint(QPainter& painter) const {
    const bool accessory =
        m_face == WidgetFace::rectangular || m_face == WidgetFace::inlineText ||
        (m_face == WidgetFace::noAccess && (m_input.family == WidgetFamily::accessoryRectangular ||
                                            m_input.family == WidgetFamily::accessoryInline));
    if (!accessory || m_input.accessoryBackdrop) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_palette.background);
        painter.drawRoundedRect(QRectF(QPointF(0, 0), m_size), m_input.cornerRadius,
                                m_input.cornerRadius);
        painter.restore();
    }
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), m_size), Qt::IntersectClip);
    m_part->paint(painter, m_palette);
    painter.restore();
}

std::vector<WidgetTarget> WidgetFacePainter::targets() const {
    return m_part->targets();
}

QString WidgetFacePainter::accessibleName() const {
    return m_part->accessibleName();
}

Instant WidgetFacePainter::tapDay() const {
    return m_part->tapDay();
}

double WidgetFacePainter::cornerRadiusFor(WidgetFamily family) {
    const bool panel =
        family == WidgetFamily::accessoryRectangular || family == WidgetFamily::accessoryInline;
    return panel ? 10 : 20;
}

std::string WidgetFacePainter::link(Instant day) const {
    return DeepLink::day(day, m_input.calendar);
}

} // namespace plannery
