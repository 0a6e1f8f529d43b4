#include "app/DetailEditButton.h"

#include "app/DetailStyle.h"
#include "detail/DetailSheetSections.h"

#include <QMenu>

namespace plannery {

EditButton::EditButton(OnEdit onEdit, QWidget* parent)
    : QPushButton(tr("Edit"), parent), m_onEdit(std::move(onEdit)) {
    setObjectName(QStringLiteral("detailEdit"));
}

EditButton* EditButton::make(const EventDetailInfo& info, OnEdit onEdit, QWidget* parent) {
    const DetailSheet::EditChoice choice = DetailSheet::editChoice(info);
    if (choice.targets.empty()) {
        return nullptr;
    }
    auto* button = new EditButton(std::move(onEdit), parent);
    if (!choice.isMenu) {
        const int copy = choice.targets.front().copy;
        connect(button, &QPushButton::clicked, button, [button, copy] { button->m_onEdit(copy); });
        return button;
    }
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("detailEditMenu"));
    menu->addSection(DetailStyle::text(DetailSheet::kEditCopyOn));
    for (const DetailSheet::EditTarget& target : choice.targets) {
        const int copy = target.copy;
        menu->addAction(QString::fromStdString(target.label), button,
                        [button, copy] { button->m_onEdit(copy); });
    }
    button->setMenu(menu);
    return button;
}

} // namespace plannery
