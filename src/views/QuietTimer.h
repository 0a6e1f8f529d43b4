#pragma once

#include <QVariantAnimation>

#include <functional>

namespace plannery {

// A wait that ends when `ms` milliseconds pass without a restart: the end of a gesture whose
// events stop coming (a touchpad that sends no end phase, a wheel come to rest), a press held
// still, a pause before work done while the user is idle. It runs on the toolkit's animation
// clock, like the slides it goes with, so a test moves that clock on instead of waiting.
class QuietTimer {
  public:
    QuietTimer(int ms, std::function<void()> elapsed);

    // Starts the wait, or starts it again from now.
    void start();
    void stop();
    bool isActive() const;

  private:
    QVariantAnimation m_wait;
};

} // namespace plannery
