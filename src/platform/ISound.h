#pragma once

#include <QObject>
#include <QString>

namespace qb {

// Plays WAV and MP3 files, or built-in sounds named by a Qt resource path (":/sounds/CLICK.wav").
// Playing never blocks; the end of every started sound is reported once through Finished, also
// when no audio device exists (the sound then stays silent). Lives on the UI thread.
class ISound : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ISound() override = default;

    // Starts a sound and returns its id (> 0), or 0 when the source does not exist.
    virtual int Play(const QString& source) = 0;
    // Stops a sound started by Play; Finished follows for it. Unknown ids are ignored.
    virtual void Stop(int id) = 0;
    virtual void StopAll() = 0;
    virtual bool IsPlaying(int id) const = 0;

Q_SIGNALS:
    void Finished(int id);
};

} // namespace qb
