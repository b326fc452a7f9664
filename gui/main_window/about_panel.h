// The main window's about panel: the three pictures, the credits with the
// program's version and build date, and its two buttons.
#pragma once

#include <QGroupBox>
#include <QString>

class QGridLayout;
class QHBoxLayout;
class QLabel;

namespace gui {

class AboutPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit AboutPanel(QWidget* parent);

    /// Loads the three pictures from `dir`. The first that is missing or no
    /// readable JPEG stops it, the pictures after it keep what they showed;
    /// returns the reader's error text and the path, empty when all loaded.
    QString loadPictures(const QString& dir);

signals:
    void muteRequested(); // "ZTLUMIT"
    void hideRequested(); // "Skrýt info o programu"

private:
    QGridLayout* buildCredits(const QFont& base);
    QHBoxLayout* buildButtons(const QFont& base);

    QLabel* m_leftBanner = nullptr;
    QLabel* m_rightBanner = nullptr;
    QLabel* m_squarePicture = nullptr;
};

} // namespace gui
