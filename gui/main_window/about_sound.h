// The about panel's music: one WAV file played once in the background.
#pragma once

#include <QString>

class QSoundEffect;

namespace gui {

/// Plays the about panel's sound. Starting a sound cuts off the one that is
/// playing; a file that is missing or cannot be played stays silent.
class AboutSound {
public:
    virtual ~AboutSound() = default;
    /// Starts `wavPath` from its beginning, once, without waiting for it.
    virtual void play(const QString& wavPath) = 0;
    /// Stops whatever is playing; nothing happens when all is silent.
    virtual void stop() = 0;
};

/// The sound through Qt Multimedia. The audio device is opened only when the
/// first sound is played, so a window that never plays one never touches it.
class EffectSound : public AboutSound {
public:
    EffectSound();
    ~EffectSound() override;
    void play(const QString& wavPath) override;
    void stop() override;

private:
    QSoundEffect* m_effect = nullptr; // owned; created on the first play
};

} // namespace gui
