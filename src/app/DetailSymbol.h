#pragma once

#include "detail/DetailSheetReply.h"

#include <QColor>
#include <QIcon>
#include <QWidget>

class QPainter;
class QRectF;

namespace plannery {

// Paints one of the sheet's symbols as a simple shape filling `rect` in `color`; `bold` thickens
// its lines.
void paintSymbol(QPainter& painter, const QRectF& rect, SheetSymbol symbol, const QColor& color,
                 bool bold = false);
// The symbol as an icon for buttons and labels.
QIcon symbolIcon(SheetSymbol symbol, const QColor& color, int size = 16);

// A symbol on its own, a square of the given side.
class SymbolView final : public QWidget {
    Q_OBJECT

  public:
    SymbolView(SheetSymbol symbol, QColor color, int side, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SheetSymbol m_symbol;
    QColor m_color;
};

} // namespace plannery
