#pragma once

#include "model/EventStore.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace plannery {

// Shown instead of the calendar while Plannery may not read the calendars: before the first
// request it offers to allow access; after a refusal it sends the user to where access is given.
class AccessView final : public QWidget {
    Q_OBJECT

  public:
    struct Handlers {
        std::function<void()> allowAccess;
        std::function<void()> openSettings;
    };

    explicit AccessView(Handlers handlers, QWidget* parent = nullptr);

    void setStatus(AuthorizationStatus status);

    QString message() const;
    QPushButton* button() const { return m_button; }

  private:
    Handlers m_handlers;
    AuthorizationStatus m_status = AuthorizationStatus::notDetermined;
    QLabel* m_message = nullptr;
    QPushButton* m_button = nullptr;
};

} // namespace plannery
