#pragma once

#include "platform/ISound.h"

#include <QHash>
#include <QPointer>

class QTimer;

namespace qb {

// Qt Multimedia playback: QSoundEffect for WAV, QMediaPlayer for MP3. Without an audio device
// (or when `silent` is asked for) nothing is played, but every sound still finishes after its
// length, so callers that wait for the end behave the same everywhere.
class LinuxSound final : public ISound {
    Q_OBJECT
public:
    enum class TOutput { Auto, Silent };
    explicit LinuxSound(TOutput output = TOutput::Auto, QObject* parent = nullptr);
    ~LinuxSound() override;

    int Play(const QString& source) override;
    void Stop(int id) override;
    void StopAll() override;
    bool IsPlaying(int id) const override;

private:
    struct TVoice {
        QPointer<QObject> Player;
        QTimer* Fallback = nullptr;
    };
    void Finish(int id);
    bool HasAudioOutput() const;

    TOutput FOutput;
    int FNextId = 1;
    QHash<int, TVoice> FVoices;
};

} // namespace qb
