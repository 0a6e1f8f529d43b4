#include "WidgetTestSupport.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    QString errors;
};

// plannery-widget in an environment without any display, its data and settings in `home`.
Outcome widget(const QStringList& arguments, const fs::path& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    const QString base = QString::fromStdString(home.string());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), base + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), base + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/config"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PLANNERY_WIDGET_BINARY), arguments);
    process.waitForFinished(60000);
    return Outcome{.status = process.exitCode(),
                   .errors = QString::fromUtf8(process.readAllStandardError())};
}

TEST(WidgetApp, PicturesNeedNoDisplayAndWindowsSaySoWithoutOne) {
    test::WidgetFixture fixture;
    fixture.addEvent("home", "dentist", "20260311T130000Z", "20260311T140000Z", "Dentist");
    const QString root = QString::fromStdString(fixture.root.string());
    const QString picture = QString::fromStdString((fixture.dir.path() / "face.png").string());
    const Outcome render =
        widget({"--render", picture, "--family", "large", "--root", root, "--now",
                "2026-03-11T10:00", "--tz", "Europe/Berlin", "--scale", "2"},
               fixture.dir.path());
    EXPECT_EQ(render.status, 0) << render.errors.toStdString();
    const QImage image(picture);
    EXPECT_EQ(image.size(), QSize(728, 764));

    const Outcome window = widget({"--family", "small", "--root", root}, fixture.dir.path());
    EXPECT_EQ(window.status, 1);
    EXPECT_TRUE(window.errors.contains(QStringLiteral("no display")))
        << window.errors.toStdString();
    EXPECT_EQ(window.errors.count(QLatin1Char('\n')), 1);
}

TEST(WidgetApp, BadInputIsOneSentenceEach) {
    test::TempDir home;
    const Outcome usage = widget({"--family", "huge"}, home.path());
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.errors.startsWith(QStringLiteral("plannery-widget: The family")));
    const QString picture = QString::fromStdString((home.path() / "face.png").string());
    const Outcome now = widget({"--render", picture, "--now", "yesterday"}, home.path());
    EXPECT_EQ(now.status, 1);
    EXPECT_TRUE(now.errors.contains(QStringLiteral("yesterday")));
    const Outcome unwritable =
        widget({"--render", "/nonexistent-folder/face.png", "--family", "small"}, home.path());
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(unwritable.errors.contains(QStringLiteral("Cannot write the picture")));
}

} // namespace
} // namespace plannery
