#include "app/WidgetProcess.h"

#include "platform/XdgPaths.h"
#include "store/WidgetAutostart.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace plannery::WidgetProcess {

QString program() {
    const QString sibling =
        QCoreApplication::applicationDirPath() + QStringLiteral("/plannery-widget");
    const QFileInfo info(sibling);
    return info.isFile() && info.isExecutable() ? sibling : QStringLiteral("plannery-widget");
}

void place(WidgetFamily family) {
    const std::string_view name = WidgetFamilies::name(family);
    QProcess::startDetached(program(),
                            {QStringLiteral("--family"),
                             QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))});
}

std::optional<std::vector<WidgetFamily>> autostart() {
    return WidgetAutostart::enabled(xdg::configHome());
}

std::optional<std::string> setAutostart(const std::vector<WidgetFamily>& families) {
    return WidgetAutostart::set(xdg::configHome(), program().toStdString(), families);
}

} // namespace plannery::WidgetProcess
