#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QTextLayout>

#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

class QPainter;

namespace plannery {

// A tile's title broken into lines at a width, as the text engine lays it out (no padding). Each
// line can be drawn on its own at any top, so the tile can skip the parts other tiles hide.
//
// Only the first `mostLines` lines are laid out, where a tile has room for no more than
// `mostLines - 1`: the last of them only tells that the title goes on past what is shown. A long
// title in a narrow column breaks into many lines, and laying them all out cost more than drawing
// the tile.
class TimeGridTitleLines {
  public:
    struct Line {
        int start = 0;  // first character (UTF-16 index into the title)
        int length = 0; // characters
        double top = 0; // top of the line rectangle in the layout
    };

    TimeGridTitleLines(const QString& title, const QFont& font, double width, double lineHeight,
                       std::size_t mostLines = std::numeric_limits<std::size_t>::max());

    std::size_t lineCount() const { return m_lines.size(); }
    const std::vector<Line>& lines() const { return m_lines; }
    double lineHeight() const { return m_lineHeight; }

    // Draws line `index` as laid out with its top at `topLeft`.
    void drawLine(QPainter& painter, std::size_t index, QPointF topLeft) const;
    // Draws the rest of the title from line `index` on as one line, for the last line that found
    // room when later ones did not: the line itself when it is the title's last, otherwise as
    // much of it as leaves room for an ellipsis, then the ellipsis.
    void drawRest(QPainter& painter, std::size_t index, QPointF topLeft) const;

  private:
    QString m_title;
    QFont m_font;
    double m_width = 0;
    double m_lineHeight = 0;
    std::unique_ptr<QTextLayout> m_layout;
    std::vector<Line> m_lines;
};

} // namespace plannery
