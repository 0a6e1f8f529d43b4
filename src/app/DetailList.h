#pragma once

#include "app/DetailHeader.h"
#include "detail/EventDetailInfo.h"

#include <QScrollArea>

#include <cstddef>
#include <functional>
#include <optional>

class QVBoxLayout;

namespace plannery {

// The sheet's grouped list: the header, the calendars, the user's response, the people, the
// link, the alerts and the notes, each section only when it has something to show. A long list
// of people folds until the user asks for all of them; once the header has scrolled away,
// `headerHidden` turns true and the sheet shows the title in its bar.
class EventDetailList final : public QScrollArea {
    Q_OBJECT

  public:
    struct Actions {
        std::function<void(int copy)> onReply;
        std::function<void()> onOpenInGoogle;
        OpenURL openURL;
    };

    EventDetailList(Actions actions, std::size_t collapseOver, std::size_t collapsedCount,
                    QWidget* parent = nullptr);

    // Shows the information, keeping whether all people are shown and where the list is; the
    // same information again changes nothing.
    void setInfo(const EventDetailInfo& info);
    bool headerHidden() const { return m_headerHidden; }

    // How far the header may scroll before the title moves to the bar, in points.
    static constexpr int headerScrollLimit = 60;

  signals:
    void headerHiddenChanged(bool hidden);

  private:
    void rebuild();
    void addCalendars(QVBoxLayout* sections, QWidget* content);
    void addResponses(QVBoxLayout* sections, QWidget* content);
    void addPeople(QVBoxLayout* sections, QWidget* content);
    void addLinkAlertsAndNotes(QVBoxLayout* sections, QWidget* content);
    void scrolled(int offset);

    Actions m_actions;
    std::size_t m_collapseOver;
    std::size_t m_collapsedCount;
    std::optional<EventDetailInfo> m_info;
    bool m_showAllPeople = false;
    bool m_headerHidden = false;
};

} // namespace plannery
