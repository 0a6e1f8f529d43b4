#include "store/LinkOpener.h"

#include "model/LinkSchemes.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace plannery::LinkOpener {

bool open(std::string_view url) {
    if (!LinkSchemes::opens(url)) {
        return false;
    }
    const QString text = QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size()));
    const QUrl link(text, QUrl::StrictMode);
    // Qt must read the scheme that was checked, or the check said nothing about this link.
    if (!link.isValid() ||
        link.scheme().compare(text.section(QLatin1Char(':'), 0, 0), Qt::CaseInsensitive) != 0) {
        return false;
    }
    QDesktopServices::openUrl(link);
    return true;
}

bool open(std::string_view url, const HandOff& handOff) {
    if (!LinkSchemes::opens(url)) {
        return false;
    }
    if (handOff) {
        handOff(std::string(url));
    }
    return true;
}

void showFolder(const std::filesystem::path& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

} // namespace plannery::LinkOpener
