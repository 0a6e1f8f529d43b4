#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace plannery {

// One section of the sheet's inset grouped list: an optional header above, the rows on a rounded
// card with lines between them, and an optional footer below.
class DetailSection final : public QWidget {
    Q_OBJECT

  public:
    // `header` may be null for a section without a title.
    explicit DetailSection(QWidget* header, QWidget* parent = nullptr);
    // A section titled with plain text.
    static DetailSection* titled(const QString& title, QWidget* parent);

    void addRow(QWidget* row);
    void setFooter(const QString& text);

    // The header widget; null without one.
    QWidget* header() const { return m_header; }

  private:
    QWidget* m_header = nullptr;
    QWidget* m_card = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QVBoxLayout* m_layout = nullptr;
};

} // namespace plannery
