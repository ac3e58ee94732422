#pragma once

#include "raster/Bitmap32.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

namespace qb {

inline const QString KBitmapsStream = QStringLiteral("Bitmaps.Stream");

// The icon image of every button, image i for button i. Persisted in "Bitmaps.Stream": a
// 32-bit little-endian image count, then per image its byte size and a complete 32-bit BMP file.
// UI thread only.
class TBitmapCollection {
public:
    TBitmapCollection() = default;
    TBitmapCollection(const TBitmapCollection&) = delete;
    TBitmapCollection& operator=(const TBitmapCollection&) = delete;

    int Count() const { return static_cast<int>(FBitmapList.size()); }

    // Positions outside the list raise std::out_of_range.
    TBitmap32& GetBitmap(int position);
    const TBitmap32& GetBitmap(int position) const;
    // A new image is 1 x 1 transparent pixel that blends (merge) and resamples linearly.
    TBitmap32& Add();
    // Inserts before `position` (0..Count()).
    TBitmap32& Insert(int position);
    void Delete(int position);
    void Swap(int source, int dest);
    void Clear();

    // Appends blank images until the store holds at least `count` (it is never shortened).
    void TopUp(int count);
    // What every image needs before the bar draws it: linear resampling, blend draw mode, merge
    // combine mode, transparent-edge pixel access.
    void PrepareForDrawing();

    // Appends the images of a stream file (the caller empties the store first). A missing or
    // unreadable file raises EFileError. Reading stops quietly at a truncated size field, a
    // size of 0 or less, or a size beyond the end of the data; a blob that does not decode
    // (including one that declares more pixels than it carries) raises EImageFormat after its
    // image was appended as a blank, and everything read before stays.
    void ReadMaps(const QString& fileName);
    void ReadMapsFrom(QByteArrayView stream);

    // Replaces the file with all images; raises EFileError (or std::length_error for an
    // image too large for a BMP) and leaves the old file whole on failure.
    void WriteMaps(const QString& fileName) const;
    QByteArray StreamBytes() const;

    // Bob Jenkins' lookup3 (initial value 0) over the BMP blobs of all images in order, without
    // the count and size fields; 0 for an empty store.
    quint32 Hash() const;

    // See IconResource.h.
    static bool HasDesiredIcon(const QString& fileName, int iconSize);

private:
    static std::unique_ptr<TBitmap32> NewBitmap();
    void CheckIndex(int position) const;

    std::vector<std::unique_ptr<TBitmap32>> FBitmapList;
};

// Writes the store to `fileName` when its hash differs from `storedHash`, and only after a
// successful write takes the new hash as `storedHash` (so a failed write is tried again next
// time). True when it wrote. Raises what WriteMaps raises.
bool WriteMapsIfChanged(const TBitmapCollection& bitmaps, quint32& storedHash, const QString& fileName);

} // namespace qb
