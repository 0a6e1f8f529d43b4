#include "store/WidgetAutostart.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>

namespace plannery::WidgetAutostart {

namespace {

constexpr const char* kName = "org.plannery.PlanneryWidget.desktop";

// A word of an Exec line: quoted when it holds anything but plain characters.
std::string execWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_of(" \t\n\"'\\$`%") == std::string::npos;
    if (plain) {
        return word;
    }
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

} // namespace

std::filesystem::path entryFile(const std::filesystem::path& configHome) {
    return configHome / "autostart" / kName;
}

std::string entryText(const std::string& program, const std::vector<WidgetFamily>& families) {
    std::string exec = execWord(program);
    for (const WidgetFamily family : families) {
        exec += " --family ";
        exec += WidgetFamilies::name(family);
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Plannery Widget\n"
           "Comment=Today and the next two weeks of your calendars on the desktop\n"
           "Exec=" +
           exec +
           "\n"
           "Icon=org.plannery.Plannery\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "Hidden=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::optional<std::vector<WidgetFamily>> enabled(const std::filesystem::path& configHome) {
    QFile file(QString::fromStdString(entryFile(configHome).string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::vector<WidgetFamily> families;
    bool on = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line == QLatin1String("Hidden=true") ||
            line == QLatin1String("X-GNOME-Autostart-enabled=false")) {
            on = false;
        } else if (line.startsWith(QLatin1String("Exec="))) {
            const QStringList words = line.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (qsizetype i = 0; i + 1 < words.size(); ++i) {
                if (words[i] == QLatin1String("--family")) {
                    if (const auto family = WidgetFamilies::parse(words[i + 1].toStdString())) {
                        families.push_back(*family);
                    }
                }
            }
        }
    }
    if (!on) {
        return std::nullopt;
    }
    if (families.empty()) {
        families.push_back(WidgetFamily::systemMedium);
    }
    return families;
}

std::optional<std::string> set(const std::filesystem::path& configHome, const std::string& program,
                               const std::vector<WidgetFamily>& families) {
    const QString path = QString::fromStdString(entryFile(configHome).string());
    if (families.empty()) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            return "The autostart entry " + path.toStdString() + " could not be removed.";
        }
        return std::nullopt;
    }
    if (!QDir().mkpath(QString::fromStdString((configHome / "autostart").string()))) {
        return "The folder " + (configHome / "autostart").string() + " could not be made.";
    }
    QSaveFile file(path);
    const std::string text = entryText(program, families);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        return "The autostart entry " + path.toStdString() +
               " could not be written: " + file.errorString().toStdString() + ".";
    }
    return std::nullopt;
}

} // namespace plannery::WidgetAutostart
