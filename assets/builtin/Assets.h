#pragma once

#include <QString>

namespace qb {

// Resource path of a built-in sound cue ("LTING", "CLICK", "GLICK").
QString BuiltinSoundPath(const QString& cue);

} // namespace qb
