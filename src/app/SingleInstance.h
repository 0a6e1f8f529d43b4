#pragma once

#include <QObject>
#include <QString>

#include <sys/types.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

class QLocalServer;

namespace plannery {

// One Plannery window per user: the first start listens on a local socket; a later start hands
// its link (or nothing, to bring the window forward) to it and ends. The socket lives in the
// user's private runtime folder, and each side checks that the other runs as the same user, so
// that no one else can take the starts and links of the user.
class SingleInstance final : public QObject {
    Q_OBJECT

  public:
    enum class Forwarded {
        toRunning,   // the running instance of the user has the message
        noneRunning, // nobody listens: this start becomes the instance
        refused,     // a process of another user listens: this start opens a window of its own
    };

    struct Place {
        QString socket;                     // empty when there is no place
        std::optional<std::string> problem; // why there is none, a clause
    };

    // `user` is whose instance it is; the other side of every connection must run as them.
    explicit SingleInstance(QString socket, uid_t user = ::getuid(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket of this user's instance, in the runtime folder (xdg::runtimeFolder).
    static Place defaultPlace();

    // Gives the message to a running instance of the user.
    Forwarded forward(const QString& message, int timeoutMs = 1000) const;
    // Becomes the running instance; each message a later start of the user forwards reaches
    // `received`.
    bool listen(std::function<void(const QString& message)> received);

  private:
    QString m_socket;
    uid_t m_user;
    QLocalServer* m_server = nullptr;
    std::function<void(const QString&)> m_received;
};

} // namespace plannery
