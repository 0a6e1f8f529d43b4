#pragma once

#include <QWidget>

class QPlainTextEdit;
class QToolButton;

namespace plannery {

// The text the events were found in, folded away at first: "Text in the Image" or "Pasted Text",
// opened with its heading; selectable, never editable. Long pasted texts stay quick to show.
class RecognizedTextSection final : public QWidget {
    Q_OBJECT

  public:
    RecognizedTextSection(const QString& text, bool fromImage, QWidget* parent = nullptr);

    bool isOpen() const;
    void setOpen(bool open);

  private:
    QToolButton* m_heading = nullptr;
    QPlainTextEdit* m_text = nullptr;
};

} // namespace plannery
