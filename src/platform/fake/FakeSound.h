#pragma once

#include "platform/ISound.h"

#include <QSet>
#include <QStringList>

namespace qb {

// Records what was played; sounds play until Stop or EndAll.
class FakeSound final : public ISound {
    Q_OBJECT
public:
    using ISound::ISound;

    int Play(const QString& source) override
    {
        Played << source;
        if (!Exists.isEmpty() && !Exists.contains(source))
            return 0;
        const int id = FNextId++;
        FPlaying.insert(id);
        return id;
    }
    void Stop(int id) override
    {
        if (FPlaying.remove(id))
            Q_EMIT Finished(id);
    }
    void StopAll() override
    {
        const auto ids = FPlaying.values();
        for (int id : ids)
            Stop(id);
    }
    bool IsPlaying(int id) const override { return FPlaying.contains(id); }

    // Lets every playing sound reach its end.
    void EndAll() { StopAll(); }

    QStringList Played;
    // When not empty, only these sources exist.
    QSet<QString> Exists;

private:
    int FNextId = 1;
    QSet<int> FPlaying;
};

} // namespace qb
