#include "app/DetailNotesText.h"

#include "detail/DetailSheetLinks.h"

#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace plannery {

namespace {

// The width taken when the layout proposes none.
constexpr int kDefaultWidth = 320;

// The links of the text as anchors over the plain text. Offsets are counted in UTF-8 by the
// finder and in UTF-16 by the document, so the text between links is measured as it goes.
void markLinks(QTextDocument& document, const std::string& text, const QColor& color) {
    QTextCursor cursor(&document);
    qsizetype position = 0;
    std::size_t byte = 0;
    for (const DetailSheetLinks::LinkSpan& span : DetailSheetLinks::find(text)) {
        position +=
            QString::fromUtf8(text.data() + byte, static_cast<qsizetype>(span.begin - byte)).size();
        const qsizetype length = QString::fromUtf8(text.data() + span.begin,
                                                   static_cast<qsizetype>(span.end - span.begin))
                                     .size();
        cursor.setPosition(static_cast<int>(position));
        cursor.setPosition(static_cast<int>(position + length), QTextCursor::KeepAnchor);
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QString::fromStdString(span.target));
        link.setFontUnderline(true);
        link.setForeground(color);
        cursor.mergeCharFormat(link);
        position += length;
        byte = span.end;
    }
}

} // namespace

NotesText::NotesText(const std::string& text, OpenURL openURL, QWidget* parent)
    : QTextBrowser(parent), m_openURL(std::move(openURL)) {
    setObjectName(QStringLiteral("detailNotes"));
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QTextBrowser { background: transparent; }"));
    document()->setDocumentMargin(0);
    setContentsMargins(0, 0, 0, 0);
    setViewportMargins(0, 0, 0, 0);
    setPlainText(QString::fromStdString(text));
    markLinks(*document(), text, palette().color(QPalette::Link));
    // Laid out once its width is known: long notes take a while to lay out.
    setFixedHeight(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (m_openURL) {
            m_openURL(url.toString().toStdString());
        }
    });
}

void NotesText::fitHeight(int width) {
    m_laidOutWidth = width;
    document()->setTextWidth(width);
    setFixedHeight(static_cast<int>(std::ceil(document()->size().height())));
}

QSize NotesText::sizeHint() const {
    return {m_laidOutWidth > 0 ? m_laidOutWidth : kDefaultWidth, height()};
}

void NotesText::resizeEvent(QResizeEvent* event) {
    QTextBrowser::resizeEvent(event);
    // Only the width decides the height, so setting the height does not come back here with a
    // new width.
    if (viewport()->width() != m_laidOutWidth) {
        fitHeight(viewport()->width());
    }
}

} // namespace plannery
