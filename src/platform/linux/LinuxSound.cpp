#include "platform/linux/LinuxSound.h"

#include "platform/WavInfo.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace qb {

namespace {

// Time allowed beyond a sound's length before it counts as finished anyway: QSoundEffect never
// reports its end when the output stalls.
constexpr int KFallbackSlackMs = 500;
// MP3 lengths are not parsed here; a player that never reports its end is given up after this.
constexpr int KMp3FallbackMs = 10 * 60 * 1000;

QUrl SourceUrl(const QString& source)
{
    if (source.startsWith(u':'))
        return QUrl(QStringLiteral("qrc") + source);
    return QUrl::fromLocalFile(QFileInfo(source).absoluteFilePath());
}

bool IsMp3(const QString& source)
{
    return source.endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive);
}

} // namespace

LinuxSound::LinuxSound(TOutput output, QObject* parent)
    : ISound(parent)
    , FOutput(output)
{
}

LinuxSound::~LinuxSound()
{
    const auto ids = FVoices.keys();
    for (int id : ids) {
        TVoice voice = FVoices.take(id);
        delete voice.Player;
    }
}

bool LinuxSound::HasAudioOutput() const
{
    return FOutput == TOutput::Auto && !QMediaDevices::audioOutputs().isEmpty();
}

int LinuxSound::Play(const QString& source)
{
    QFile file(source);
    if (!file.exists())
        return 0;

    const int id = FNextId++;
    TVoice voice;
    int fallbackMs = KMp3FallbackMs;
    if (!IsMp3(source)) {
        // Reading the header is cheap; the length bounds how long a silent sound "plays".
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        fallbackMs = WavDurationMs(file.read(1 << 16)).value_or(0);
    }

    if (HasAudioOutput()) {
        if (IsMp3(source)) {
            auto* player = new QMediaPlayer(this);
            auto* output = new QAudioOutput(player);
            player->setAudioOutput(output);
            connect(player, &QMediaPlayer::mediaStatusChanged, this,
                [this, id](QMediaPlayer::MediaStatus status) {
                    if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                        Finish(id);
                });
            connect(player, &QMediaPlayer::errorOccurred, this, [this, id] { Finish(id); });
            player->setSource(SourceUrl(source));
            player->play();
            voice.Player = player;
        } else {
            auto* effect = new QSoundEffect(this);
            connect(effect, &QSoundEffect::playingChanged, this, [this, id, effect] {
                if (!effect->isPlaying())
                    Finish(id);
            });
            connect(effect, &QSoundEffect::statusChanged, this, [this, id, effect] {
                if (effect->status() == QSoundEffect::Error)
                    Finish(id);
            });
            effect->setSource(SourceUrl(source));
            effect->play();
            voice.Player = effect;
        }
        fallbackMs += KFallbackSlackMs;
    }

    voice.Fallback = new QTimer(this);
    voice.Fallback->setSingleShot(true);
    connect(voice.Fallback, &QTimer::timeout, this, [this, id] { Finish(id); });
    voice.Fallback->start(fallbackMs);
    FVoices.insert(id, voice);
    return id;
}

void LinuxSound::Finish(int id)
{
    auto it = FVoices.find(id);
    if (it == FVoices.end())
        return;
    TVoice voice = *it;
    FVoices.erase(it);
    // Players report their end from inside their own signals: delete them later.
    if (voice.Player) {
        if (auto* effect = qobject_cast<QSoundEffect*>(voice.Player.data()))
            effect->stop();
        else if (auto* player = qobject_cast<QMediaPlayer*>(voice.Player.data()))
            player->stop();
        voice.Player->disconnect(this);
        voice.Player->deleteLater();
    }
    voice.Fallback->deleteLater();
    Q_EMIT Finished(id);
}

void LinuxSound::Stop(int id)
{
    Finish(id);
}

void LinuxSound::StopAll()
{
    const auto ids = FVoices.keys();
    for (int id : ids)
        Finish(id);
}

bool LinuxSound::IsPlaying(int id) const
{
    return FVoices.contains(id);
}

} // namespace qb
