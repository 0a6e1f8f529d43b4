#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>

#include <functional>
#include <optional>
#include <vector>

namespace plannery::test {

// An HTTP server on 127.0.0.1 that answers as a script says: a status and a body per request,
// or no answer at all (a server that hangs), or a closed connection. It runs on the thread that
// made it, so the client under test runs on another.
class ScriptedServer final : public QObject {
    Q_OBJECT

  public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray body;
    };
    struct Reply {
        int status = 200;
        QByteArray body{};
        bool hang = false;  // never answer
        bool close = false; // close the connection without an answer
    };
    using Script = std::function<Reply(const Request&)>;

    explicit ScriptedServer(Script script, QObject* parent = nullptr);
    ~ScriptedServer() override;

    quint16 port() const { return m_server.serverPort(); }
    QByteArray url() const;
    // Every request so far, in order (read on this server's thread).
    const std::vector<Request>& requests() const { return m_requests; }

    // A port on 127.0.0.1 where nothing listens.
    static quint16 closedPort();

  signals:
    void requestReceived();

  private:
    Script m_script;
    QTcpServer m_server;
    std::vector<Request> m_requests;
};

} // namespace plannery::test
