#pragma once

#include "raster/Bitmap32.h"

namespace qb {

// The small pictures drawn over button icons. Both are made once, at the icon edge length
// (`iconSize` pixels) of that moment, and come out a quarter of it on a side; both draw blended
// (merge) so their transparent parts leave the icon alone.

// A cyan disc with a white rounded square on it: the button plays a sound.
TBitmap32 MakeSoundMarker(int iconSize);

// A shield: the button starts its program with elevated rights.
TBitmap32 MakeAdminMarker(int iconSize);

} // namespace qb
