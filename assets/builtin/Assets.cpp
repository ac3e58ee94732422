#include "Assets.h"

namespace qb {

QString BuiltinSoundPath(const QString& cue)
{
    return QStringLiteral(":/sounds/") + cue + QStringLiteral(".wav");
}

} // namespace qb
