#include "widget/WidgetRender.h"

#include "agenda/WidgetSizes.h"
#include "platform/VdirEventStore.h"
#include "platform/XdgPaths.h"
#include "store/SharedKeychain.h"
#include "views/WidgetFacePainter.h"
#include "widget/WidgetCalendars.h"

#include <QImageWriter>
#include <QPainter>

#include <cmath>

namespace plannery::WidgetRender {

namespace {

WidgetFamily familyOf(const WidgetOptions& options) {
    return options.families.empty() ? WidgetFamily::systemMedium : options.families.front();
}

} // namespace

QImage image(const WidgetOptions& options, WidgetCalendars& calendars, Instant now) {
    const WidgetFamily family = familyOf(options);
    const WidgetSizes::Size points = WidgetSizes{}.of(family);
    const QSizeF size = options.size ? QSizeF(options.size->first, options.size->second)
                                     : QSizeF(points.width, points.height);
    const WidgetCalendars::Content& content = calendars.content(now);
    WidgetFacePainter face(WidgetFaceInput{
        .calendar = calendars.calendar(),
        .family = family,
        .now = now,
        .events = content.events,
        .hasAccess = content.hasAccess,
        .problem = content.problem,
        .appearance = options.appearance.value_or(Appearance::light),
        .textSize = options.textSize,
        .accessoryBackdrop = true,
        .cornerRadius = WidgetFacePainter::cornerRadiusFor(family),
    });
    face.layout(size);
    QImage picture(static_cast<int>(std::ceil(size.width() * options.scale)),
                   static_cast<int>(std::ceil(size.height() * options.scale)),
                   QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(options.scale);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    face.paint(painter);
    painter.end();
    return picture;
}

int run(const WidgetOptions& options, std::ostream& err) {
    WidgetCalendars calendars(WidgetCalendars::Setup{
        .roots = options.roots,
        .sharedFile = SharedKeychain::storeFile(SharedKeychain::accessGroup(), xdg::dataHome()),
        .cacheFile = VdirEventStore::defaultCacheFile(),
        .zone = options.zone,
        .watch = false,
    });
    Instant now = Instant::now();
    if (options.now) {
        const auto parsed = parseWidgetNow(*options.now, calendars.calendar());
        if (!parsed) {
            err << "plannery-widget: The time \"" << *options.now
                << "\" is not YYYY-MM-DDTHH:MM or an ISO 8601 instant such as "
                   "2026-03-09T14:20:00+01:00.\n";
            return 1;
        }
        now = *parsed;
    }
    const QImage picture = image(options, calendars, now);
    QImageWriter writer(QString::fromStdString(*options.renderFile), "png");
    if (!writer.write(picture)) {
        err << "plannery-widget: Cannot write the picture " << *options.renderFile << ": "
            << writer.errorString().toStdString() << ".\n";
        return 1;
    }
    return 0;
}

} // namespace plannery::WidgetRender
