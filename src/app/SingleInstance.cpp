#include "app/SingleInstance.h"

#include "platform/BuildInfo.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace plannery {

namespace {

// A forwarded message is one line of UTF-8; anything longer than this is not from Plannery.
constexpr qint64 kMaxMessage = 64 * 1024;

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName() {
    return QString::fromStdString(BuildInfo::bundleIdentifier()) + QStringLiteral("-") +
           QString::number(getuid());
}

bool SingleInstance::forward(const QString& message, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(message.toUtf8() + '\n');
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}

bool SingleInstance::listen(std::function<void(const QString& message)> received) {
    m_received = std::move(received);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A socket left by an instance that crashed; nobody answered on it, so it is stale.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kMaxMessage) {
                    socket->abort();
                    return;
                }
                while (socket->canReadLine()) {
                    const QString message = QString::fromUtf8(socket->readLine()).trimmed();
                    if (m_received) {
                        m_received(message);
                    }
                }
            });
        }
    });
    return true;
}

} // namespace plannery
