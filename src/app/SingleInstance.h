#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace plannery {

// One Plannery window per user: the first start listens on a local socket; a later start hands
// its link (or nothing, to bring the window forward) to it and ends.
class SingleInstance final : public QObject {
    Q_OBJECT

  public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name of this user's instance.
    static QString defaultName();

    // Gives the message to a running instance; false when none answers.
    bool forward(const QString& message, int timeoutMs = 1000) const;
    // Becomes the running instance; each message a later start forwards reaches `received`.
    bool listen(std::function<void(const QString& message)> received);

  private:
    QString m_name;
    QLocalServer* m_server = nullptr;
    std::function<void(const QString&)> m_received;
};

} // namespace plannery
