#include "app/ImageEventsSheet.h"

#include "app/ImageEventsResults.h"
#include "app/RecognizedTextSection.h"
#include "platform/ImageFiles.h"
#include "platform/ImagingModule.h"
#include "store/BackgroundPool.h"
#include "store/CalendarStore.h"
#include "store/FinderSettings.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace plannery {

namespace {

using Stage = ImageEventsModel::Stage;

constexpr int kButtonWidth = 180;

QLabel* centred(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QScrollArea* scrolled(QWidget* content, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    return area;
}

// What a clipboard or a drop can give: a picture, files or text.
bool offersInput(const QMimeData* data) {
    if (!data) {
        return false;
    }
    if (data->hasImage() || data->hasUrls() || data->hasText()) {
        return true;
    }
    const QStringList formats = data->formats();
    return std::any_of(formats.begin(), formats.end(),
                       [](const QString& f) { return f.startsWith(QLatin1String("image/")); });
}

} // namespace

ImageEventsSheet::ImageEventsSheet(Setup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)) {
    setObjectName(QStringLiteral("imageEventsSheet"));
    resize(560, 680);
    setAcceptDrops(true);
    auto engine = m_setup.engine;
    if (!engine) {
        engine = [settings = FinderSettings(m_setup.keychain, m_setup.defaults)] {
            return settings.makeEngine();
        };
    }
    m_model = std::make_unique<ImageEventsModel>(
        ImageEventsModel::Services{.store = m_setup.store,
                                   .keychain = m_setup.keychain,
                                   .defaults = m_setup.defaults,
                                   .engine = std::move(engine),
                                   .recognizer = m_setup.recognizer,
                                   .clock = m_setup.clock});
    CalendarStore* store = m_setup.store;
    m_presenter = new EventKitPresenter([store] { return store->calendar(); }, this);

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("closeSheet"));
    m_cancel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::accept);
    bar->addWidget(m_cancel);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("sheetTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    bar->addWidget(m_title, 1);
    m_addAll = new QPushButton(tr("Add All"), this);
    m_addAll->setObjectName(QStringLiteral("addAll"));
    m_addAll->setAutoDefault(false);
    connect(m_addAll, &QPushButton::clicked, this, [this] {
        for (const EventSuggestion& suggestion : m_model->pending()) {
            m_model->add(suggestion);
        }
    });
    bar->addWidget(m_addAll);
    layout->addLayout(bar);

    m_pages = new QStackedWidget(this);
    m_chooser = buildChooser();
    m_pages->addWidget(m_chooser);
    m_progress = buildProgress();
    m_pages->addWidget(m_progress);
    m_results = new ImageEventsResults(*m_model, *m_setup.store);
    connect(m_results, &ImageEventsResults::editRequested, this, &ImageEventsSheet::edit);
    m_resultsPage = scrolled(m_results, m_pages);
    m_pages->addWidget(m_resultsPage);
    m_failure = buildFailure();
    m_pages->addWidget(m_failure);
    layout->addWidget(m_pages, 1);

    ImageEventsModel& model = *m_model;
    connect(&model, &ImageEventsModel::phaseChanged, this, &ImageEventsSheet::showPhase);
    for (auto signal : {&ImageEventsModel::imageChanged, &ImageEventsModel::textChanged}) {
        connect(&model, signal, this, [this] {
            updateTitle();
            showPhase();
        });
    }
    for (auto signal : {&ImageEventsModel::addedChanged, &ImageEventsModel::suggestionsChanged,
                        &ImageEventsModel::phaseChanged}) {
        connect(&model, signal, this, &ImageEventsSheet::updateToolbar);
    }
    connect(&model, &ImageEventsModel::saveErrorChanged, this, &ImageEventsSheet::showSaveError);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &ImageEventsSheet::updatePaste);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &ImageEventsSheet::updatePaste);
    auto* pasteKey = new QShortcut(QKeySequence::Paste, this);
    connect(pasteKey, &QShortcut::activated, this, &ImageEventsSheet::paste);

    updateTitle();
    updateToolbar();
    updatePaste();
    showPhase();
}

ImageEventsSheet::~ImageEventsSheet() {
    // A scan still running stops; its pages go nowhere.
    m_scanStop.request_stop();
}

ImageEventsSheet* ImageEventsSheet::make(QWidget* parent, CalendarStore& store, QSettings& defaults,
                                         Closed onClose) {
    // Tesseract's language data takes a moment to load: one recogniser serves every sheet.
    static std::shared_ptr<TextRecognizer> recognizer;
    static std::string languages;
    const std::string wanted = ImagingModule::languagesFor(store.calendar().localeId());
    if (!recognizer || languages != wanted) {
        recognizer = ImagingModule::recognizer(wanted);
        languages = wanted;
    }
    return new ImageEventsSheet(Setup{.store = &store,
                                      .defaults = &defaults,
                                      .keychain = store.keychain(),
                                      .recognizer = recognizer,
                                      .scanner = ImagingModule::scanner(),
                                      .onClose = std::move(onClose)},
                                parent);
}

// Pages

QWidget* ImageEventsSheet::buildChooser() {
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("chooser"));
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(32, 48, 32, 24);
    column->setSpacing(14);
    column->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const QIcon symbol = QIcon::fromTheme(QStringLiteral("scanner"),
                                          QIcon::fromTheme(QStringLiteral("insert-image")));
    if (!symbol.isNull()) {
        auto* picture = new QLabel(content);
        picture->setAlignment(Qt::AlignCenter);
        picture->setPixmap(symbol.pixmap(52, 52));
        column->addWidget(picture);
    }
    QLabel* heading = centred(tr("Add events from a screenshot, photo, flyer or message"), content);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    heading->setFont(font);
    column->addWidget(heading);
    QLabel* about = centred(tr("The text is read on this computer, then the events in it are "
                               "listed for you to check and add."),
                            content);
    column->addWidget(about);

    const auto button = [content, column](const QString& text, const QString& name,
                                          const char* icon) {
        auto* b = new QPushButton(QIcon::fromTheme(QLatin1String(icon)), text, content);
        b->setObjectName(name);
        b->setMinimumWidth(kButtonWidth);
        b->setAutoDefault(false);
        column->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    m_paste = button(tr("Paste"), QStringLiteral("paste"), "edit-paste");
    m_paste->setDefault(true);
    connect(m_paste, &QPushButton::clicked, this, &ImageEventsSheet::paste);
    m_pasteHint = centred(
        tr("Copy a screenshot or some text first, then click Paste, or drop an image here."),
        content);
    m_pasteHint->setObjectName(QStringLiteral("pasteHint"));
    column->addWidget(m_pasteHint);
    QPushButton* photo =
        button(tr("Choose Photo…"), QStringLiteral("choosePhoto"), "image-x-generic");
    connect(photo, &QPushButton::clicked, this, &ImageEventsSheet::choosePhoto);
    m_scan = button(tr("Scan Document"), QStringLiteral("scanDocument"), "scanner");
    m_scan->setVisible(false);
    connect(m_scan, &QPushButton::clicked, this, &ImageEventsSheet::scan);
    return scrolled(content, this);
}

QWidget* ImageEventsSheet::buildProgress() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("progress"));
    auto* column = new QVBoxLayout(page);
    column->setSpacing(20);
    column->addStretch(1);
    m_progressPicture = new QLabel(page);
    m_progressPicture->setObjectName(QStringLiteral("progressPicture"));
    m_progressPicture->setAlignment(Qt::AlignCenter);
    column->addWidget(m_progressPicture);
    m_busy = new QProgressBar(page);
    m_busy->setObjectName(QStringLiteral("busy"));
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_busy->setMaximumWidth(240);
    column->addWidget(m_busy, 0, Qt::AlignHCenter);
    m_progressLabel = centred(QString(), page);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    column->addWidget(m_progressLabel);
    column->addStretch(1);
    return page;
}

QWidget* ImageEventsSheet::buildFailure() {
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("failure"));
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(24, 36, 24, 24);
    column->setSpacing(12);
    QLabel* heading = centred(tr("Couldn't Find Events"), content);
    heading->setObjectName(QStringLiteral("failureTitle"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    heading->setFont(font);
    column->addWidget(heading);
    m_failureText = centred(QString(), content);
    m_failureText->setObjectName(QStringLiteral("failureMessage"));
    column->addWidget(m_failureText);
    auto* retry = new QPushButton(tr("Try Again"), content);
    retry->setObjectName(QStringLiteral("tryAgain"));
    retry->setAutoDefault(false);
    connect(retry, &QPushButton::clicked, this, [this] { m_model->retry(); });
    column->addWidget(retry, 0, Qt::AlignHCenter);
    m_failureTextSection = new QWidget(content);
    m_failureTextSection->setLayout(new QVBoxLayout);
    m_failureTextSection->layout()->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_failureTextSection);
    column->addStretch(1);
    return scrolled(content, this);
}

void ImageEventsSheet::showPhase() {
    const ImageEventsModel::Phase& phase = m_model->phase();
    const bool hasImage = !m_model->image().isNull();
    switch (phase.stage) {
    case Stage::choose:
        m_pages->setCurrentWidget(m_chooser);
        break;
    case Stage::reading:
    case Stage::finding:
        m_progressLabel->setText(phase.stage == Stage::reading ? tr("Reading the text…")
                                 : hasImage                    ? tr("Finding events in the text…")
                                                               : tr("Finding events…"));
        // A screen reader names the busy bar by what is being done.
        m_busy->setAccessibleName(m_progressLabel->text());
        m_progressPicture->setPixmap(ImageEventsResults::thumbnail(m_model->image(), 220));
        m_progressPicture->setVisible(hasImage);
        m_pages->setCurrentWidget(m_progress);
        break;
    case Stage::done:
        m_pages->setCurrentWidget(m_resultsPage);
        break;
    case Stage::failed: {
        m_failureText->setText(QString::fromStdString(phase.message));
        QLayout* section = m_failureTextSection->layout();
        while (QLayoutItem* item = section->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        if (!m_model->text().isEmpty()) {
            section->addWidget(
                new RecognizedTextSection(m_model->text(), hasImage, m_failureTextSection));
        }
        m_pages->setCurrentWidget(m_failure);
        break;
    }
    }
}

// The frame

void ImageEventsSheet::updateTitle() {
    const QString title = m_model->image().isNull() && !m_model->text().isEmpty()
                              ? tr("Events from Text")
                              : tr("Events from Image");
    m_title->setText(title);
    setWindowTitle(title);
}

void ImageEventsSheet::updateToolbar() {
    m_cancel->setText(m_model->added().empty() ? tr("Cancel") : tr("Done"));
    m_addAll->setVisible(m_model->phase().stage == Stage::done && m_model->pending().size() >= 2);
}

void ImageEventsSheet::updatePaste() {
    const bool canPaste = offersInput(QGuiApplication::clipboard()->mimeData());
    m_paste->setEnabled(canPaste);
    m_pasteHint->setVisible(!canPaste);
}

void ImageEventsSheet::paste() {
    if (const QMimeData* data = QGuiApplication::clipboard()->mimeData()) {
        m_model->load(*data);
    }
}

void ImageEventsSheet::done(int result) {
    const std::optional<Instant> earliest = m_model->earliestAdded();
    QDialog::done(result);
    if (!m_reported) {
        m_reported = true;
        if (m_setup.onClose) {
            m_setup.onClose(earliest);
        }
    }
}

void ImageEventsSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown) {
        return;
    }
    m_shown = true;
    m_model->prewarm();
    if (m_setup.scanner) {
        // Drivers take a moment to look for scanners; the button appears once one is found.
        auto* watcher = new QFutureWatcher<bool>(this);
        connect(watcher, &QFutureWatcher<bool>::finished, this, [this, watcher] {
            m_scan->setVisible(watcher->result());
            watcher->deleteLater();
        });
        watcher->setFuture(QtConcurrent::run(
            &backgroundPool(), [scanner = m_setup.scanner] { return scanner->available(); }));
    }
}

void ImageEventsSheet::dragEnterEvent(QDragEnterEvent* event) {
    if (offersInput(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void ImageEventsSheet::dropEvent(QDropEvent* event) {
    m_model->load(*event->mimeData());
    event->acceptProposedAction();
}

// Inputs and actions

void ImageEventsSheet::choosePhoto() {
    auto* dialog =
        new QFileDialog(this, tr("Choose Photo"),
                        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                        ImageFiles::dialogFilter(tr("Images")));
    dialog->setObjectName(QStringLiteral("photoDialog"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& file) { m_model->open({file}); });
    dialog->open();
}

void ImageEventsSheet::scan() {
    m_scan->setEnabled(false);
    m_scan->setText(tr("Scanning…"));
    auto* watcher = new QFutureWatcher<DocumentScanner::Scan>(this);
    connect(watcher, &QFutureWatcher<DocumentScanner::Scan>::finished, this, [this, watcher] {
        const DocumentScanner::Scan scanned = watcher->result();
        watcher->deleteLater();
        m_scan->setEnabled(true);
        m_scan->setText(tr("Scan Document"));
        std::vector<DecodedImage> pages;
        for (const QImage& page : scanned.pages) {
            pages.push_back(DecodedImage{.image = page, .orientation = 1});
        }
        if (!pages.empty()) {
            m_model->use(std::move(pages));
        } else if (scanned.error) {
            auto* box =
                new QMessageBox(QMessageBox::Warning, tr("Couldn't Scan"),
                                QString::fromStdString(*scanned.error), QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
    });
    watcher->setFuture(QtConcurrent::run(
        &backgroundPool(), [scanner = m_setup.scanner, stop = m_scanStop.get_token()] {
            return scanner->scan(stop);
        }));
}

void ImageEventsSheet::edit(const EventSuggestion& suggestion) {
    m_model->savedEvent(suggestion.id, [this, suggestion](std::optional<StoreEvent> saved) {
        const StoreEvent event = saved ? *saved : m_model->newEvent(suggestion);
        m_presenter->edit(event, *m_setup.store,
                          [this, id = suggestion.id](EditorResult result, const StoreEvent& ended) {
                              m_model->editorFinished(id, result, ended);
                          });
    });
}

void ImageEventsSheet::showSaveError() {
    const auto& error = m_model->saveError();
    if (!error) {
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Couldn't Add the Event"),
                                QString::fromStdString(*error), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("saveError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this] { m_model->clearSaveError(); });
    box->open();
}

} // namespace plannery
