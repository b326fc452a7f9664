// The main window's about panel.
#include "gui/main_window/about_panel.h"

#include "desk/program_version.h"
#include "exchange/file_names.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace gui {

namespace {

QFont withPixelSize(QFont font, int pixels, bool bold) {
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* pictureLabel(QWidget* parent, const char* name, int width, int height) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(width, height);
    // Drawn at its own size from the top left corner, clipped to the area.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setScaledContents(false);
    return label;
}

QLabel* textLabel(QWidget* parent, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    return label;
}

} // namespace

AboutPanel::AboutPanel(QWidget* parent) : QGroupBox("Info o programu", parent) {
    setObjectName("groupAbout");
    // Only the panel's own title is bold; its texts choose their own type.
    const QFont base = font();
    setFont(withPixelSize(base, 12, true));

    m_leftBanner = pictureLabel(this, "lblLeftBanner", 321, 110);
    m_rightBanner = pictureLabel(this, "lblRightBanner", 321, 110);
    m_squarePicture = pictureLabel(this, "lblSquarePicture", 70, 70);

    auto* banners = new QHBoxLayout;
    banners->addWidget(m_leftBanner);
    banners->addStretch(1);
    banners->addWidget(m_rightBanner);

    auto* right = new QVBoxLayout;
    right->addWidget(m_squarePicture, 0, Qt::AlignRight);
    right->addStretch(1);
    right->addLayout(buildButtons(base));

    auto* lower = new QHBoxLayout;
    lower->addLayout(buildCredits(base), 1);
    lower->addLayout(right);

    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(8, 6, 8, 8);
    panel->addLayout(banners);
    panel->addLayout(lower, 1);
}

QGridLayout* AboutPanel::buildCredits(const QFont& base) {
    const QFont normal = withPixelSize(base, 12, false);
    const QFont bold = withPixelSize(base, 12, true);
    auto* texts = new QGridLayout;
    texts->setHorizontalSpacing(6);
    texts->setVerticalSpacing(1);
    int row = 0;
    texts->addWidget(textLabel(this, "AUTOŘI:", bold), row++, 0, 1, 2);
    texts->addWidget(
        textLabel(this, "Vývojový tým VELDRON – výpočetní jádro, jadro@example.org", normal), row++,
        0, 1, 2);
    texts->addWidget(textLabel(this,
                               "Vývojový tým VELDRON – uživatelské rozhraní, rozhrani@example.org",
                               normal),
                     row++, 0, 1, 2);
    texts->addWidget(textLabel(this, "PROJEKT:", bold), row, 0);
    texts->addWidget(textLabel(this, "Transformace povodňové vlny v nádrži", normal), row++, 1);
    texts->addWidget(textLabel(this, "Vývojové středisko VELDRON", withPixelSize(base, 15, true)),
                     row++, 0, 1, 2);
    texts->addWidget(textLabel(this, "ADRESA:", bold), row, 0);
    texts->addWidget(textLabel(this, "Vodní 1, 100 00 Příkladov", normal), row++, 1);
    QLabel* version = textLabel(
        this,
        QString("2025–2026, verze %1, sestaveno %2")
            .arg(QString::fromUtf8(desk::kProgramVersion), QString::fromUtf8(desk::kBuildDate)),
        normal);
    version->setObjectName("lblVersion");
    texts->addWidget(version, row++, 0, 1, 2);
    QLabel* music = textLabel(this, "Hudba: vlastní melodie vývojového týmu VELDRON",
                              withPixelSize(base, 10, false));
    music->setObjectName("lblMusicCredit");
    music->setStyleSheet("color: gray;");
    texts->addWidget(music, row++, 0, 1, 2);
    texts->setColumnStretch(1, 1);
    return texts;
}

QHBoxLayout* AboutPanel::buildButtons(const QFont& base) {
    // The abort sign; styles without one get the red stop sign of an error box.
    QIcon abortIcon = style()->standardIcon(QStyle::SP_DialogAbortButton);
    if (abortIcon.isNull()) abortIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    auto* mute = new QPushButton(abortIcon, "ZTLUMIT", this);
    mute->setObjectName("btnMute");
    mute->setFont(withPixelSize(base, 12, true));
    auto* hide = new QPushButton("Skrýt info o programu", this);
    hide->setObjectName("btnHideAbout");
    hide->setFont(withPixelSize(base, 12, false));
    connect(mute, &QPushButton::clicked, this, &AboutPanel::muteRequested);
    connect(hide, &QPushButton::clicked, this, &AboutPanel::hideRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mute);
    buttons->addWidget(hide);
    return buttons;
}

QString AboutPanel::loadPictures(const QString& dir) {
    const std::pair<QLabel*, const char*> pictures[] = {
        {m_leftBanner, exchange::kLeftBannerFile},
        {m_squarePicture, exchange::kSquarePictureFile},
        {m_rightBanner, exchange::kRightBannerFile},
    };
    for (const auto& [label, name] : pictures) {
        const QString path = QDir(dir).filePath(name);
        QImageReader reader(path, "jpeg");
        // A file that is not a JPEG is an error even when Qt could read it
        // in another format.
        reader.setDecideFormatFromContent(false);
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (image.isNull()) return reader.errorString() + "\n" + path;
        label->setPixmap(QPixmap::fromImage(image));
    }
    return {};
}

} // namespace gui
