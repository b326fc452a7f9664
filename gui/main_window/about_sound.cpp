// The about panel's music through Qt Multimedia.
#include "gui/main_window/about_sound.h"

#include <QSoundEffect>
#include <QUrl>

namespace gui {

EffectSound::EffectSound() = default;

EffectSound::~EffectSound() {
    delete m_effect;
}

void EffectSound::play(const QString& wavPath) {
    if (m_effect == nullptr) m_effect = new QSoundEffect;
    m_effect->stop();
    const QUrl source = QUrl::fromLocalFile(wavPath);
    // Setting the same source again would not reload a file that has changed
    // or appeared since; a fresh source always does.
    if (m_effect->source() == source) m_effect->setSource(QUrl());
    m_effect->setSource(source);
    m_effect->setLoopCount(1);
    m_effect->play();
}

void EffectSound::stop() {
    if (m_effect != nullptr) m_effect->stop();
}

} // namespace gui
