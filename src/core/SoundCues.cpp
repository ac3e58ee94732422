#include "core/SoundCues.h"

#include "builtin/Assets.h"

#include <QDir>
#include <QFileInfo>

namespace qb {

namespace {

bool IsBuiltin(const QString& name)
{
    return name == QLatin1String("LTING") || name == QLatin1String("CLICK") || name == QLatin1String("GLICK");
}

} // namespace

TSoundCues::TSoundCues(ISound& sound, const TSettings& settings, const TDataLocations& locations)
    : FSound(sound)
    , FSettings(settings)
    , FLocations(locations)
{
}

QString TSoundCues::Resolve(const QString& cue) const
{
    if (!FSettings.SoundOn)
        return {};
    if (cue.startsWith(u'@')) {
        const QString name = cue.mid(1);
        return IsBuiltin(name) ? BuiltinSoundPath(name) : QString();
    }

    QString name = cue;
    const std::array<std::pair<const char*, const QString*>, 6> overrides { {
        { "LTING", &FSettings.Chevron },
        { "CLICK", &FSettings.BtnDown },
        { "GLICK", &FSettings.DragIcon },
        { "SLOUT", &FSettings.SlideOut },
        { "SLDIN", &FSettings.SlideIn },
        { "UP", &FSettings.BtnUp },
    } };
    for (const auto& [cueName, setting] : overrides) {
        if (name == QLatin1String(cueName)) {
            if (!setting->isEmpty())
                name = *setting;
            break;
        }
    }
    if (IsBuiltin(name))
        return BuiltinSoundPath(name);
    if (name.isEmpty())
        return {};

    const QStringList candidates { FLocations.SoundsDir + name,
        FLocations.MediaDir + QFileInfo(name).fileName(), FLocations.DataDir + QFileInfo(name).fileName() };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

void TSoundCues::DoClick(const QString& cue)
{
    const QString source = Resolve(cue);
    if (!source.isEmpty())
        FSound.Play(source);
}

} // namespace qb
