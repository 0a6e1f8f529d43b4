#pragma once

#include <QAnimationDriver>
#include <QCoreApplication>

#include <algorithm>

namespace plannery::test {

// The toolkit's animation clock, moved on by the test instead of the wall clock: slides, fades
// and the views' quiet timers (which run on it) advance only when the test lets time pass, so a
// test never waits and every run sees the same frames. Installed while it lives.
class AnimationClock final : public QAnimationDriver {
  public:
    AnimationClock() { install(); }
    ~AnimationClock() override { uninstall(); }

    // Lets `ms` milliseconds pass, a frame of 16 ms at a time, running what each frame queues.
    void pass(qint64 ms) {
        // Animations start on the next turn of the event loop.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        for (qint64 done = 0; done < ms; done += 16) {
            m_elapsed += std::min<qint64>(16, ms - done);
            // Ticks reach the toolkit only while something runs, as a screen's frames do.
            if (isRunning()) {
                advanceAnimation();
            }
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
    }
    // Long enough for any slide, fade or quiet timer to end.
    void finish() { pass(2000); }

    void advance() override { advanceAnimation(); }
    // The toolkit asks for the time since the clock last started.
    void start() override {
        m_startedAt = m_elapsed;
        QAnimationDriver::start();
    }
    qint64 elapsed() const override { return m_elapsed - m_startedAt; }

  private:
    qint64 m_elapsed = 0;
    qint64 m_startedAt = 0;
};

} // namespace plannery::test
