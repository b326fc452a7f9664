// A one-line label that never widens its window: a text longer than its width
// is shortened with "…" to fit, the whole text in its tooltip.
#pragma once

#include <QLabel>
#include <QString>

namespace gui {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    /// `mode`: where the text is shortened (paths in the middle, keeping the
    /// folder's start and the name's end).
    explicit ElidedLabel(QWidget* parent, Qt::TextElideMode mode = Qt::ElideMiddle);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    Qt::TextElideMode m_mode;
    QString m_fullText;
};

} // namespace gui
