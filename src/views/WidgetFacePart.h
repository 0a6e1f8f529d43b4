#pragma once

#include "model/Instant.h"
#include "views/AgendaFlowList.h"
#include "views/WidgetPalette.h"

#include <QSizeF>
#include <QString>

#include <vector>

class QPainter;

namespace plannery {

// One kind of face inside a widget's frame: it lays itself out in the size it is given, paints,
// and names the items a user can reach.
class WidgetFacePart {
  public:
    virtual ~WidgetFacePart() = default;

    virtual void layout(const QSizeF& size) = 0;
    virtual void paint(QPainter& painter, const WidgetPalette& palette) const = 0;
    virtual std::vector<WidgetTarget> targets() const = 0;
    virtual QString accessibleName() const = 0;
    // The day a click anywhere else on the face opens.
    virtual Instant tapDay() const = 0;
};

} // namespace plannery
