#pragma once

#include <QString>

namespace qb {

// Whether `fileName` holds an icon of `iconSize` pixels. ".ico" and ".cur" files: any entry of
// the icon directory whose width byte is iconSize modulo 256 (256 is stored as 0); a file that
// cannot be opened raises EFileError. Windows program files (any other extension): the first
// group-icon resource has an entry of that width and height (256 as 0); anything that is not
// such a file, cannot be read or has no group icon answers false.
bool HasDesiredIcon(const QString& fileName, int iconSize);

} // namespace qb
