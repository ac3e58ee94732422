#pragma once

#include <QString>

namespace qb {

// The folders that lie beside the program ("Lang", "Skins", "Sounds", "Weather") are looked
// for beside the program file first (a portable install, or the build folder), then in
// ../share/quillbar/ (an installed copy). Returns the folder that holds them, with a trailing
// slash; the program's own folder when neither has them.
QString FindBesideFolders(const QString& exeDir);

} // namespace qb
