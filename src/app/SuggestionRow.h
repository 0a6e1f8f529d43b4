#pragma once

#include "finder/EventSuggestion.h"
#include "model/Calendar.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace plannery {

// One found event in the "Events from Image" sheet: its title, day and time (and the time on the
// clocks of its own zone when that differs), place and notes on a button that opens the editor;
// beside it "Add", or once added a check mark and "Remove".
class SuggestionRow final : public QWidget {
    Q_OBJECT

  public:
    SuggestionRow(const EventSuggestion& suggestion, const Calendar& calendar,
                  QWidget* parent = nullptr);

    const std::string& suggestionID() const { return m_id; }
    void setAdded(bool added);
    bool isAdded() const { return m_added; }

  signals:
    void addClicked();
    void editClicked();
    void removeClicked();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::string m_id;
    bool m_added = false;
    QPushButton* m_edit = nullptr;
    QPushButton* m_add = nullptr;
    QLabel* m_check = nullptr;
    QToolButton* m_remove = nullptr;
};

} // namespace plannery
