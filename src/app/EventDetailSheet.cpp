#include "app/EventDetailSheet.h"

#include "app/DetailEditButton.h"
#include "app/DetailList.h"
#include "app/DetailStyle.h"
#include "app/DetailSymbol.h"
#include "detail/DetailSheetSections.h"
#include "store/CalendarStore.h"
#include "store/LinkOpener.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace plannery {

namespace {

std::optional<QString> askWhereToSave(QWidget* parent, const QString& suggested) {
    const QString chosen = QFileDialog::getSaveFileName(
        parent, QObject::tr("Share Event"), suggested, QObject::tr("Calendar files (*.ics)"));
    return chosen.isEmpty() ? std::nullopt : std::optional(chosen);
}

// The calendar file saved at `path`, for pasting into a file manager, a mail or a calendar.
QMimeData* clipboardData(const QString& path, const QByteArray& content) {
    auto* data = new QMimeData;
    const QUrl url = QUrl::fromLocalFile(path);
    data->setUrls({url});
    data->setData(QStringLiteral("text/calendar"), content);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + url.toEncoded());
    return data;
}

} // namespace

EventDetailSheet::EventDetailSheet(CalEvent event, CalendarStore& store, QWidget* parent,
                                   std::filesystem::path temporaryFolder)
    : QDialog(parent), m_event(std::move(event)), m_store(store),
      m_model(std::make_unique<EventDetailModel>(std::move(temporaryFolder))),
      m_saveDialog(askWhereToSave),
      m_openURL([](const std::string& url) { LinkOpener::open(url); }) {
    setObjectName(QStringLiteral("detailSheet"));
    setWindowTitle(tr("Event Details"));
    resize(440, 640);
    m_presenter = new EventKitPresenter([&store] { return store.calendar(); }, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolbar = new QWidget(this);
    auto* bar = new QHBoxLayout(m_toolbar);
    bar->setContentsMargins(10, 8, 10, 8);
    auto* done = new QPushButton(tr("Done"), m_toolbar);
    done->setObjectName(QStringLiteral("detailDone"));
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    bar->addWidget(done);
    m_title = new QLabel(m_toolbar);
    m_title->setObjectName(QStringLiteral("detailNavigationTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    bar->addWidget(m_title, 1);
    m_share = new QPushButton(tr("Share"), m_toolbar);
    m_share->setObjectName(QStringLiteral("detailShare"));
    m_share->hide();
    connect(m_share, &QPushButton::clicked, this, &EventDetailSheet::share);
    bar->addWidget(m_share);
    layout->addWidget(m_toolbar);

    m_shareError = new QLabel(this);
    m_shareError->setObjectName(QStringLiteral("detailShareError"));
    m_shareError->setWordWrap(true);
    m_shareError->setTextFormat(Qt::PlainText);
    m_shareError->setContentsMargins(16, 0, 16, 6);
    m_shareError->hide();
    layout->addWidget(m_shareError);

    m_stack = new QStackedWidget(this);
    // Shown while the event's copies are read, which after the window's first paint happens on
    // a worker and takes a moment.
    m_loading = new QWidget(m_stack);
    m_loading->setObjectName(QStringLiteral("detailLoading"));
    m_loading->setAccessibleName(tr("Loading the event"));
    m_stack->addWidget(m_loading);

    m_unavailable = new QWidget(m_stack);
    m_unavailable->setObjectName(QStringLiteral("detailUnavailable"));
    auto* empty = new QVBoxLayout(m_unavailable);
    empty->addStretch(1);
    empty->addWidget(new SymbolView(SheetSymbol::calendarWarning, DetailStyle::secondary(this),
                                    static_cast<int>(DetailStyle::scaled(this, 44)), m_unavailable),
                     0, Qt::AlignHCenter);
    auto* label = new QLabel(DetailStyle::text(DetailSheet::kUnavailable), m_unavailable);
    label->setObjectName(QStringLiteral("detailUnavailableLabel"));
    label->setFont(
        DetailStyle::font(this, DetailStyle::TextStyle::title2, DetailStyle::Weight::bold));
    label->setAlignment(Qt::AlignCenter);
    empty->addWidget(label);
    m_unavailableText = new QLabel(m_unavailable);
    m_unavailableText->setObjectName(QStringLiteral("detailUnavailableText"));
    m_unavailableText->setTextFormat(Qt::PlainText);
    m_unavailableText->setWordWrap(true);
    m_unavailableText->setAlignment(Qt::AlignCenter);
    empty->addWidget(m_unavailableText);
    empty->addStretch(1);
    m_stack->addWidget(m_unavailable);

    m_list = new EventDetailList(
        EventDetailList::Actions{
            .onReply = [this](int copy) { reply(copy); },
            .onOpenInGoogle = [this] { openInGoogle(); },
            .openURL = [this](const std::string& url) { LinkOpener::open(url, m_openURL); },
        },
        DetailSheet::kCollapseOver, DetailSheet::kCollapsedCount, m_stack);
    m_stack->addWidget(m_list);
    connect(m_list, &EventDetailList::headerHiddenChanged, this, &EventDetailSheet::updateTitle);
    layout->addWidget(m_stack, 1);

    connect(m_model.get(), &EventDetailModel::infoChanged, this, &EventDetailSheet::showContent);
    connect(m_model.get(), &EventDetailModel::loadedChanged, this, &EventDetailSheet::showContent);
    // The copies read again after a change, here or elsewhere, may be none any more.
    connect(m_model.get(), &EventDetailModel::copiesChanged, this,
            &EventDetailSheet::closeIfDeleted);
    connect(m_model.get(), &EventDetailModel::shareFileChanged, this,
            &EventDetailSheet::updateToolbar);
}

EventDetailSheet::~EventDetailSheet() = default;

QDialog* EventDetailSheet::make(QWidget* parent, const CalEvent& event, CalendarStore& store) {
    return new EventDetailSheet(event, store, parent);
}

void EventDetailSheet::setSaveDialog(SaveDialog dialog) {
    m_saveDialog = std::move(dialog);
}

void EventDetailSheet::setOpenURL(OpenURL openURL) {
    m_openURL = std::move(openURL);
}

void EventDetailSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_model->loaded()) {
        m_model->load(m_store, m_event);
    }
}

void EventDetailSheet::reply(int copy) {
    openCopy(copy, [this](const StoreEvent& occurrence) {
        m_presenter->show(occurrence, m_store,
                          [this](ViewerResult result, const StoreEvent& ended) {
                              finished(ended, result == ViewerResult::deleted);
                          });
    });
}

void EventDetailSheet::edit(int copy) {
    openCopy(copy, [this](const StoreEvent& occurrence) {
        m_presenter->edit(occurrence, m_store,
                          [this](EditorResult result, const StoreEvent& ended) {
                              finished(ended, result == EditorResult::deleted);
                          });
    });
}

void EventDetailSheet::openCopy(int copy, std::function<void(const StoreEvent&)> open) {
    // A second click while the copy is read opens nothing more.
    if (m_openingCopy) {
        return;
    }
    // Set first: on a store that reads at once, the copy opens before the call returns.
    m_openingCopy = true;
    const bool reading =
        m_model->readOccurrence(copy, [this, open = std::move(open)](StoreEvent occurrence) {
            m_openingCopy = false;
            open(occurrence);
        });
    if (!reading) {
        m_openingCopy = false;
    }
}

void EventDetailSheet::openInGoogle() {
    // Started once the click has been handled, as opening a browser may take a moment.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (const std::optional<std::string> url = m_model->googleCalendarURL()) {
                LinkOpener::open(*url, m_openURL);
            }
        },
        Qt::QueuedConnection);
}

void EventDetailSheet::finished(const StoreEvent& event, bool deleted) {
    if (deleted) {
        m_deletedHere = true;
    }
    if (event.content && !event.eventIdentifier().empty()) {
        m_model->setFocusID(event.eventIdentifier());
    }
    m_model->refresh();
}

void EventDetailSheet::closeIfDeleted() {
    if (m_deletedHere && m_model->copies().empty() && isVisible()) {
        accept();
    }
}

void EventDetailSheet::showContent() {
    const std::optional<EventDetailInfo>& info = m_model->info();
    if (info) {
        m_list->setInfo(*info);
        m_stack->setCurrentWidget(m_list);
    } else if (m_model->loaded()) {
        m_unavailableText->setText(
            QString::fromStdString(DetailSheet::unavailableDescription(m_event.title)));
        m_stack->setCurrentWidget(m_unavailable);
    } else {
        m_stack->setCurrentWidget(m_loading);
    }
    updateToolbar();
    updateTitle();
}

void EventDetailSheet::updateToolbar() {
    const std::optional<EventDetailInfo>& info = m_model->info();
    m_share->setVisible(info && m_model->shareFile());
    // Without a file to share, the sheet says why instead of the button.
    if (info && !m_model->shareFile() && m_model->shareProblem()) {
        m_shareError->setText(QString::fromStdString(*m_model->shareProblem()));
        m_shareError->show();
    }
    delete m_edit;
    m_edit = info ? EditButton::make(
                        *info, [this](int copy) { edit(copy); }, m_toolbar)
                  : nullptr;
    if (m_edit) {
        m_toolbar->layout()->addWidget(m_edit);
    }
}

void EventDetailSheet::updateTitle() {
    const std::optional<EventDetailInfo>& info = m_model->info();
    const bool shown = info && m_stack->currentWidget() == m_list && m_list->headerHidden();
    m_title->setText(shown ? QString::fromStdString(info->title) : QString());
}

void EventDetailSheet::share() {
    const std::optional<std::filesystem::path>& file = m_model->shareFile();
    if (!file) {
        return;
    }
    const QString source = QString::fromStdString(file->string());
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const std::optional<QString> chosen =
        m_saveDialog(this, QDir(folder).filePath(QFileInfo(source).fileName()));
    if (!chosen) {
        return;
    }
    m_shareError->hide();
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        m_shareError->setText(tr("The calendar file could not be read: %1.").arg(in.errorString()));
        m_shareError->show();
        return;
    }
    const QByteArray content = in.readAll();
    // Written beside the target and renamed over it, so a failure leaves what was there.
    QSaveFile out(*chosen);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit()) {
        m_shareError->setText(tr("The event could not be saved to “%1”: %2.")
                                  .arg(QDir::toNativeSeparators(*chosen), out.errorString()));
        m_shareError->show();
        return;
    }
    QApplication::clipboard()->setMimeData(clipboardData(*chosen, content));
}

} // namespace plannery
