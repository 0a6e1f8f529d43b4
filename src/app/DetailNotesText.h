#pragma once

#include "app/DetailHeader.h"

#include <QTextBrowser>

#include <string>

namespace plannery {

// The event's notes: read-only, selectable text in the body style that does not scroll on its
// own; it is as tall as the text at the width it is given, and asks for 320 points of width when
// nothing else decides. Web links, e-mail addresses and phone numbers in it open when clicked.
class NotesText final : public QTextBrowser {
    Q_OBJECT

  public:
    NotesText(const std::string& text, OpenURL openURL, QWidget* parent = nullptr);

    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // As tall as the text laid out at this width.
    void fitHeight(int width);

    OpenURL m_openURL;
    int m_laidOutWidth = -1;
};

} // namespace plannery
