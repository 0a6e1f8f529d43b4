#pragma once

#include "model/EventStore.h"

#include <QDialog>

#include <functional>
#include <utility>

namespace plannery {

// How an event's dialog ends: it closes first, then tells its owner how it ended and with which
// event, exactly once, whatever asks for the end after (a button, Escape, the window closing).
// `Result` is the dialog's own account of the ending.
template <typename Result> class DialogEnding {
  public:
    using Handler = std::function<void(Result, const StoreEvent&)>;

    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // The first call closes `dialog` with `code` and reports; later ones do nothing.
    void end(QDialog& dialog, QDialog::DialogCode code, Result result, const StoreEvent& event) {
        if (m_ended) {
            return;
        }
        m_ended = true;
        // The event may belong to the dialog, and the handler may be the last owner of what it
        // captured: both are taken before the dialog closes.
        const StoreEvent ended = event;
        Handler handler = std::exchange(m_handler, nullptr);
        dialog.done(code);
        if (handler) {
            handler(result, ended);
        }
    }

  private:
    Handler m_handler;
    bool m_ended = false;
};

} // namespace plannery
