#include "views/WidgetTexts.h"

#include <QCoreApplication>

namespace plannery::WidgetTexts {

namespace {

std::string tr(const char* text, const char* comment = nullptr) {
    return QCoreApplication::translate("WidgetFace", text, comment).toStdString();
}

// A counted text through tr() with "%n"; without a translation the English source's "(s)" is
// resolved by the count.
QString counted(const char* text, int count) {
    QString result = QCoreApplication::translate("WidgetFace", text, nullptr, count);
    if (result.contains(QStringLiteral("(s)"))) {
        result.replace(QStringLiteral("(s)"), count == 1 ? QString() : QStringLiteral("s"));
    }
    return result;
}

} // namespace

WidgetWords words() {
    return WidgetWords{
        .today = tr("Today"),
        .tomorrow = tr("Tomorrow"),
        .noEventsToday = tr("No events today"),
        .noMoreEventsToday = tr("No more events today"),
        .nothingAhead = tr("Nothing in the next two weeks"),
        .allDayEvent = tr("%1, all day", "an event's title"),
        .runningEvent = tr("%1, now until %2", "an event's title and its end time"),
        .eventAt = tr("%1 at %2", "an event's title and its start time"),
        .nowInList = tr("now", "the time of an event that is running"),
        .nowInline = tr("Now", "the time of an event that is running"),
        .allDay = tr("All day"),
        .noUpcoming = tr("No upcoming events"),
        .weeksFree = tr("Next two weeks are free"),
        .until = tr("Until %1", "the end time of an event that is running"),
    };
}

QString more(int count) {
    return counted("+%n more", count);
}

QString events(int count) {
    return counted("%n event(s)", count);
}

QString noAccessTitle() {
    return QStringLiteral("Plannery");
}

QString noAccessShort() {
    return QCoreApplication::translate("WidgetFace", "Open Plannery to allow access");
}

QString noAccessRectangular() {
    return QCoreApplication::translate("WidgetFace", "Open the app to allow calendar access");
}

QString noAccess() {
    return QCoreApplication::translate("WidgetFace", "Open Plannery to allow calendar access");
}

} // namespace plannery::WidgetTexts
