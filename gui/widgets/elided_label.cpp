// A one-line label that never widens its window.
#include "gui/widgets/elided_label.h"

#include <QResizeEvent>

namespace gui {

ElidedLabel::ElidedLabel(QWidget* parent, Qt::TextElideMode mode) : QLabel(parent), m_mode(mode) {
    // The layout gives it the width there is; its text never asks for more.
    setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setFullText(const QString& text) {
    m_fullText = text;
    setToolTip(text);
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    setText(fontMetrics().elidedText(m_fullText, m_mode, contentsRect().width()));
}

} // namespace gui
