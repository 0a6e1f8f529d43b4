#include "views/QuietTimer.h"

namespace plannery {

QuietTimer::QuietTimer(int ms, std::function<void()> elapsed) {
    m_wait.setDuration(ms);
    m_wait.setStartValue(0.0);
    m_wait.setEndValue(1.0);
    QObject::connect(&m_wait, &QVariantAnimation::finished, std::move(elapsed));
}

void QuietTimer::start() {
    m_wait.stop();
    m_wait.start();
}

void QuietTimer::stop() {
    m_wait.stop();
}

bool QuietTimer::isActive() const {
    return m_wait.state() == QAbstractAnimation::Running;
}

} // namespace plannery
