#pragma once

#include "app/DetailHeader.h"
#include "detail/EventDetailInfo.h"

#include <QWidget>

#include <optional>
#include <string>

namespace plannery {

// One person of the event: an avatar with initials (a building for a room) and, for attendees,
// a badge with their reply; the name and a line with the caption or the reply, "optional" and
// the address. A person with an address offers "Copy Email" and "Send Email" on right click.
class PersonRow final : public QWidget {
    Q_OBJECT

  public:
    enum class Badge { none, reply };

    PersonRow(const EventDetailInfo::Person& person, std::optional<std::string> caption,
              Badge badge, OpenURL openURL, QWidget* parent = nullptr);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::optional<std::string> m_email;
    OpenURL m_openURL;
};

} // namespace plannery
