#include "ScriptedServer.h"

#include <QTcpSocket>

namespace plannery::test {

ScriptedServer::ScriptedServer(Script script, QObject* parent)
    : QObject(parent), m_script(std::move(script)) {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
                if (headerEnd < 0) {
                    return;
                }
                const QByteArray head = buffer->left(headerEnd);
                qsizetype length = 0;
                for (const QByteArray& line : head.split('\n')) {
                    if (line.toLower().startsWith("content-length:")) {
                        length = line.mid(15).trimmed().toLongLong();
                    }
                }
                if (buffer->size() < headerEnd + 4 + length) {
                    return;
                }
                const QList<QByteArray> first = head.left(head.indexOf('\r')).split(' ');
                Request request{.method = first.value(0),
                                .path = first.value(1),
                                .body = buffer->mid(headerEnd + 4, length)};
                buffer->remove(0, headerEnd + 4 + length);
                m_requests.push_back(request);
                const Reply reply = m_script(request);
                emit requestReceived();
                if (reply.hang) {
                    return;
                }
                if (reply.close) {
                    socket->disconnectFromHost();
                    return;
                }
                socket->write("HTTP/1.1 " + QByteArray::number(reply.status) +
                              " Scripted\r\nContent-Type: application/json\r\nContent-Length: " +
                              QByteArray::number(reply.body.size()) + "\r\n\r\n" + reply.body);
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

ScriptedServer::~ScriptedServer() = default;

QByteArray ScriptedServer::url() const {
    return "http://127.0.0.1:" + QByteArray::number(port());
}

quint16 ScriptedServer::closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace plannery::test
