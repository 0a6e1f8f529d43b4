#pragma once

#include "detail/EventDetailInfo.h"

#include <QWidget>

#include <functional>
#include <string>

namespace plannery {

// Opens a link (a web page, a map search, "mailto:"); the sheet passes the desktop's opener.
using OpenURL = std::function<void(const std::string& url)>;

// The top of the sheet: the calendars' colour stripe beside the title (struck through when
// canceled), the date and time lines, the place as a button that opens it, the repetition and the
// time in the event's own zone.
class DetailHeader final : public QWidget {
    Q_OBJECT

  public:
    DetailHeader(const EventDetailInfo& info, OpenURL openURL, QWidget* parent = nullptr);

  private:
    OpenURL m_openURL;
};

} // namespace plannery
