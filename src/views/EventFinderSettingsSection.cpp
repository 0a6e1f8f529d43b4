#include "views/EventFinderSettingsSection.h"

#include "platform/LocalHttp.h"
#include "store/BackgroundPool.h"
#include "store/CalendarStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QtConcurrent>

namespace plannery {

namespace {

using Engine = EventFinder::Source;

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

EventFinderSettingsSection::EventFinderSettingsSection(CalendarStore& store, QSettings& settings,
                                                       QWidget* parent)
    : SettingsSection(tr("Events from Images"), parent), m_settings(store.keychain(), &settings) {
    setObjectName(QStringLiteral("eventFinderSection"));
    auto* rows = new QWidget(this);
    auto* form = new QFormLayout(rows);
    form->setContentsMargins(0, 0, 0, 0);
    m_engine = new QComboBox(rows);
    m_engine->setObjectName(QStringLiteral("eventFinderEngine"));
    m_engine->setAccessibleName(tr("Event Finder"));
    m_engine->addItem(tr("Built-in Reader"), qt(EventFinder::engineKey(Engine::builtinReader)));
    m_engine->addItem(tr("Local Model"), qt(EventFinder::engineKey(Engine::localModel)));
    form->addRow(tr("Event Finder"), m_engine);
    m_status = new QLabel(rows);
    m_status->setObjectName(QStringLiteral("eventFinderStatus"));
    form->addRow(tr("Status"), m_status);
    addRow(rows);

    m_server = new QWidget(this);
    auto* server = new QFormLayout(m_server);
    server->setContentsMargins(0, 0, 0, 0);
    m_url = new QLineEdit(m_server);
    m_url->setObjectName(QStringLiteral("localModelURL"));
    m_url->setAccessibleName(tr("Server address"));
    m_url->setPlaceholderText(qt(LocalModelSettings::kDefaultURL));
    server->addRow(tr("Server address"), m_url);
    m_otherHost = new QCheckBox(tr("Allow a server on another computer"), m_server);
    m_otherHost->setObjectName(QStringLiteral("localModelOtherHost"));
    server->addRow(m_otherHost);
    addRow(m_server);
    m_footer = setFooterText(QString());
    m_footer->setObjectName(QStringLiteral("eventFinderFooter"));

    const LocalModelSettings local = m_settings.localModel();
    m_url->setText(QString::fromStdString(local.url));
    m_otherHost->setChecked(local.allowOtherHost);
    m_engine->setCurrentIndex(m_settings.engine() == Engine::localModel ? 1 : 0);
    connect(m_engine, &QComboBox::currentIndexChanged, this, [this] {
        save();
        showEngine();
    });
    connect(m_url, &QLineEdit::editingFinished, this, [this] {
        save();
        showEngine();
    });
    connect(m_otherHost, &QCheckBox::toggled, this, [this] {
        save();
        showEngine();
    });
    showEngine();
}

QString EventFinderSettingsSection::statusWord(ServerAnswer answer) {
    switch (answer) {
    case ServerAnswer::ready:
        return tr("Available");
    case ServerAnswer::noUrl:
        return tr("Not on this device");
    case ServerAnswer::notAnswering:
        return tr("Turned off");
    case ServerAnswer::loading:
        return tr("Getting ready");
    case ServerAnswer::otherProblem:
        break;
    }
    return tr("Unavailable");
}

void EventFinderSettingsSection::save() {
    m_settings.setEngine(m_engine->currentIndex() == 1 ? Engine::localModel
                                                       : Engine::builtinReader);
    m_settings.setLocalModel(LocalModelSettings{.url = m_url->text().trimmed().toStdString(),
                                                .allowOtherHost = m_otherHost->isChecked()});
}

QString EventFinderSettingsSection::footer(EventFinder::Source engine,
                                           const LocalModelSettings& settings) {
    if (engine == Engine::builtinReader) {
        return tr("The text in an image is read on this computer, and the Built-in Reader finds "
                  "the events on this computer too. Nothing is sent anywhere.");
    }
    const auto url = LocalModel::baseURL(settings);
    if (url && !LocalHttp::isLoopback(*url)) {
        return tr("The text in an image is read on this computer, then sent to the local "
                  "model's server at %1.")
            .arg(url->host());
    }
    return tr("The text in an image is read on this computer, and the local model finds the "
              "events on this computer too. Nothing is sent anywhere.");
}

void EventFinderSettingsSection::showEngine() {
    const Engine engine = m_settings.engine();
    m_server->setVisible(engine == Engine::localModel);
    m_footer->setText(footer(engine, m_settings.localModel()));
    checkStatus();
}

EventFinderSettingsSection::~EventFinderSettingsSection() {
    m_asking.request_stop();
}

void EventFinderSettingsSection::checkStatus() {
    const quint64 question = ++m_question;
    // A request still waiting for its server would otherwise hold a worker (and the program's
    // exit, which waits for the workers) until the server answers or its time runs out.
    m_asking.request_stop();
    m_asking = std::stop_source();
    if (m_settings.engine() == Engine::builtinReader) {
        m_status->setText(statusWord(ServerAnswer::ready));
        emit statusShown();
        return;
    }
    m_status->setText(tr("Checking…"));
    auto* watcher = new QFutureWatcher<ServerAnswer>(this);
    connect(watcher, &QFutureWatcher<ServerAnswer>::finished, this, [this, watcher, question] {
        watcher->deleteLater();
        if (question == m_question) {
            m_status->setText(statusWord(watcher->result()));
            emit statusShown();
        }
    });
    watcher->setFuture(QtConcurrent::run(
        &backgroundPool(), [settings = m_settings.localModel(), stop = m_asking.get_token()] {
            return LocalModel::ask(settings, stop);
        }));
}

} // namespace plannery
