#include "app/SingleInstance.h"

#include "platform/XdgPaths.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>

namespace plannery {

namespace {

// A forwarded message is one line of UTF-8; anything longer than this is not from Plannery.
constexpr qint64 kMaxMessage = 64 * 1024;

// The user the process at the other end of a connected socket runs as, as the kernel recorded
// it when that process connected or began listening.
std::optional<uid_t> peerUser(const QLocalSocket& socket) {
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                     &credentials, &size) != 0 ||
        size != sizeof credentials) {
        return std::nullopt;
    }
    return credentials.uid;
}

} // namespace

SingleInstance::SingleInstance(QString socket, uid_t user, QObject* parent)
    : QObject(parent), m_socket(std::move(socket)), m_user(user) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Place SingleInstance::defaultPlace() {
    const xdg::RuntimeFolder folder = xdg::runtimeFolder();
    if (folder.problem) {
        return Place{.socket = {}, .problem = folder.problem};
    }
    return Place{.socket = QString::fromStdString((folder.path / "instance").string()),
                 .problem = std::nullopt};
}

SingleInstance::Forwarded SingleInstance::forward(const QString& message, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_socket);
    if (!socket.waitForConnected(timeoutMs)) {
        return Forwarded::noneRunning;
    }
    // Checked before a word is sent: the link may be private, and whoever listens decides
    // whether this start gets a window.
    if (peerUser(socket) != m_user) {
        socket.abort();
        return Forwarded::refused;
    }
    socket.write(message.toUtf8() + '\n');
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent ? Forwarded::toRunning : Forwarded::noneRunning;
}

bool SingleInstance::listen(std::function<void(const QString& message)> received) {
    m_received = std::move(received);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socket)) {
        // A socket left by an instance that crashed; nobody answered on it, so it is stale.
        QLocalServer::removeServer(m_socket);
        if (!m_server->listen(m_socket)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (peerUser(*socket) != m_user) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
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
