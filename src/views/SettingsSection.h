#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace plannery {

// One group of the settings form: an optional heading, the rows on a framed panel, and an
// optional footer below it in a smaller, secondary text.
class SettingsSection : public QWidget {
  public:
    // No heading when `header` is empty.
    explicit SettingsSection(const QString& header = {}, QWidget* parent = nullptr);

    // The heading's label, null without one.
    QLabel* header() const { return m_header; }
    void addRow(QWidget* row);
    // A footer of any widget, or a label of plain text (returned, so that its text can change);
    // either replaces an earlier footer.
    void setFooter(QWidget* footer);
    QLabel* setFooterText(const QString& text);

    // Footnote text: smaller and in the secondary text colour.
    static void makeSecondary(QWidget& widget);

  private:
    QLabel* m_header = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QVBoxLayout* m_outer = nullptr;
    QWidget* m_footer = nullptr;
};

} // namespace plannery
