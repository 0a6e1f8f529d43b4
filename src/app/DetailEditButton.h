#pragma once

#include "detail/EventDetailInfo.h"

#include <QPushButton>

#include <functional>

namespace plannery {

// "Edit" in the sheet's toolbar: a button for the one calendar that takes changes, or a menu of
// them when there are several. Made only when there is something to edit (`make`).
class EditButton final : public QPushButton {
    Q_OBJECT

  public:
    using OnEdit = std::function<void(int copy)>;

    // Null when no copy of the event may be edited.
    static EditButton* make(const EventDetailInfo& info, OnEdit onEdit, QWidget* parent);

  private:
    EditButton(OnEdit onEdit, QWidget* parent);

    OnEdit m_onEdit;
};

} // namespace plannery
