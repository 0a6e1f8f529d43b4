#include "store/LinkOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace plannery::GoogleCalendarLink {

void open(std::string_view url) {
    const QUrl link(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())),
                    QUrl::StrictMode);
    if (link.isValid()) {
        QDesktopServices::openUrl(link);
    }
}

} // namespace plannery::GoogleCalendarLink
