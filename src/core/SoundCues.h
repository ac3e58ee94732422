#pragma once

#include "core/DataLocations.h"
#include "platform/ISound.h"
#include "storage/Settings.h"

namespace qb {

// The one sound-cue service. A cue is a built-in name ("LTING", "CLICK", "GLICK", "SLOUT",
// "SLDIN", "UP"), which the user's sound settings may replace, or a sound file name. A leading
// "@" forces the built-in sound.
class TSoundCues {
public:
    TSoundCues(ISound& sound, const TSettings& settings, const TDataLocations& locations);

    // What DoClick would play for `cue`: a resource path, a file path, or empty for nothing.
    QString Resolve(const QString& cue) const;
    // Plays a cue without waiting for it.
    void DoClick(const QString& cue);

private:
    ISound& FSound;
    const TSettings& FSettings;
    const TDataLocations& FLocations;
};

} // namespace qb
