#include "app/AppSheets.h"

#include "app/EventDetailSheet.h"
#include "app/ImageEventsSheet.h"
#include "app/NewEventSheet.h"
#include "views/SettingsView.h"

#include <QDialog>
#include <QVBoxLayout>

namespace plannery {

namespace {

// The settings screen as a sheet of the window; the grids read their preferences again as soon
// as one changes.
QDialog* settingsSheet(QWidget* parent, CalendarStore& store, QSettings& defaults) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("settingsSheet"));
    dialog->setWindowTitle(QObject::tr("Settings"));
    dialog->resize(520, 640);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new SettingsView(store, defaults, dialog);
    layout->addWidget(view);
    QObject::connect(view, &SettingsView::done, dialog, &QDialog::accept);
    if (auto* root = qobject_cast<RootView*>(parent)) {
        QObject::connect(view, &SettingsView::timeGridPreferencesChanged, root,
                         &RootView::reloadTimeGridPreferences);
    }
    return dialog;
}

} // namespace

RootView::Sheets appSheets(CalendarStore& store, QSettings& defaults) {
    return RootView::Sheets{
        .detail = [&store](QWidget* parent, const CalEvent& event) -> QDialog* {
            return EventDetailSheet::make(parent, event, store);
        },
        .newEvent = [&store](QWidget* parent, const NewEventRange& range) -> QDialog* {
            return NewEventSheet::make(parent, range.start, range.end, store);
        },
        .settings = [&store, &defaults](QWidget* parent) -> QDialog* {
            return settingsSheet(parent, store, defaults);
        },
        .imageEvents = [&store, &defaults](QWidget* parent,
                                           ImageEventsSheet::Closed onClose) -> QDialog* {
            return ImageEventsSheet::make(parent, store, defaults, std::move(onClose));
        },
    };
}

} // namespace plannery
