// Any bytes as a BMP blob: DecodeBmp either raises EImageFormat or yields a picture within the
// size limit that writes back into our own form and reads again unchanged.
#include "raster/Bmp.h"
#include "raster/RasterError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qb::TBitmap32 picture;
    try {
        qb::DecodeBmp(
            QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), picture);
    } catch (const qb::EImageFormat&) {
        if (!picture.IsEmpty())
            std::abort(); // a failed decode must not touch the target
        return 0;
    }
    if (picture.IsEmpty() || picture.Width() > qb::KMaxBmpSide || picture.Height() > qb::KMaxBmpSide)
        std::abort();
    // Every pixel needs at least three bytes of input: no allocation beyond what was given.
    if (picture.PixelCount() * 3 > static_cast<qsizetype>(size))
        std::abort();
    qb::TBitmap32 again;
    qb::DecodeBmp(qb::EncodeBmp(picture), again);
    if (!(again == picture))
        std::abort();
    return 0;
}
