// Any bytes as "Bitmaps.Stream": reading stops or raises EImageFormat, never worse, and what
// was read writes back into a stream that reads the same images again.
#include "raster/RasterError.h"
#include "storage/BitmapCollection.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qb::TBitmapCollection store;
    try {
        store.ReadMapsFrom(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const qb::EImageFormat&) {
    }
    qb::TBitmapCollection again;
    again.ReadMapsFrom(store.StreamBytes());
    if (again.Count() != store.Count() || again.Hash() != store.Hash())
        std::abort();
    return 0;
}
