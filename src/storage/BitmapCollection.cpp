#include "storage/BitmapCollection.h"

#include "raster/Bmp.h"
#include "storage/FileIo.h"
#include "storage/IconResource.h"
#include "storage/Lookup3.h"
#include "storage/StorageError.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <stdexcept>

namespace qb {

namespace {

constexpr qsizetype KBmpHeaderSize = 122;

// The size EncodeBmp gives the bitmap's blob (an empty bitmap is written as one pixel).
qsizetype BlobSize(const TBitmap32& bitmap)
{
    const qsizetype pixels = bitmap.IsEmpty() ? 1 : bitmap.PixelCount();
    return KBmpHeaderSize + 4 * pixels;
}

void AppendInt32(QByteArray& out, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

std::unique_ptr<TBitmap32> TBitmapCollection::NewBitmap()
{
    auto bitmap = std::make_unique<TBitmap32>(1, 1);
    bitmap->SetDrawMode(TDrawMode::Blend);
    bitmap->SetCombineMode(TCombineMode::Merge);
    bitmap->SetResampler(TResamplerKind::Linear);
    return bitmap;
}

void TBitmapCollection::CheckIndex(int position) const
{
    if (position < 0 || position >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(position) + ")");
}

TBitmap32& TBitmapCollection::GetBitmap(int position)
{
    CheckIndex(position);
    return *FBitmapList[static_cast<size_t>(position)];
}

const TBitmap32& TBitmapCollection::GetBitmap(int position) const
{
    CheckIndex(position);
    return *FBitmapList[static_cast<size_t>(position)];
}

TBitmap32& TBitmapCollection::Add()
{
    FBitmapList.push_back(NewBitmap());
    return *FBitmapList.back();
}

TBitmap32& TBitmapCollection::Insert(int position)
{
    if (position < 0 || position > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(position) + ")");
    return **FBitmapList.insert(FBitmapList.begin() + position, NewBitmap());
}

void TBitmapCollection::Delete(int position)
{
    CheckIndex(position);
    FBitmapList.erase(FBitmapList.begin() + position);
}

void TBitmapCollection::Swap(int source, int dest)
{
    CheckIndex(source);
    CheckIndex(dest);
    std::swap(FBitmapList[static_cast<size_t>(source)], FBitmapList[static_cast<size_t>(dest)]);
}

void TBitmapCollection::Clear()
{
    FBitmapList.clear();
}

void TBitmapCollection::TopUp(int count)
{
    while (Count() < count)
        Add();
}

void TBitmapCollection::PrepareForDrawing()
{
    for (const auto& bitmap : FBitmapList) {
        bitmap->SetResampler(TResamplerKind::Linear);
        bitmap->SetDrawMode(TDrawMode::Blend);
        bitmap->SetCombineMode(TCombineMode::Merge);
        bitmap->SetPixelAccess(TPixelAccess::TransparentEdge);
    }
}

void TBitmapCollection::ReadMaps(const QString& fileName)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly) && file.size() > 0) {
        // Mapping spares copying tens of megabytes through a read buffer first.
        if (const uchar* mapped = file.map(0, file.size())) {
            ReadMapsFrom(QByteArrayView(mapped, file.size()));
            return;
        }
    }
    ReadMapsFrom(ReadWholeFile(fileName));
}

void TBitmapCollection::ReadMapsFrom(QByteArrayView stream)
{
    const auto* data = reinterpret_cast<const uchar*>(stream.data());
    const qsizetype end = stream.size();
    if (end < 4)
        return;
    const qint32 count = qFromLittleEndian<qint32>(data);
    qsizetype at = 4;
    // No reservation from the count: a damaged file could claim billions of images.
    for (qint32 i = 0; i < count; ++i) {
        if (end - at < 4)
            return;
        const qint32 size = qFromLittleEndian<qint32>(data + at);
        at += 4;
        if (size <= 0 || size > end - at)
            return;
        TBitmap32& bitmap = Add();
        DecodeBmp(stream.sliced(at, size), bitmap); // raises for a bad blob; the blank image stays
        at += size;
    }
}

QByteArray TBitmapCollection::StreamBytes() const
{
    qsizetype total = 4;
    for (const auto& bitmap : FBitmapList)
        total += 4 + BlobSize(*bitmap);
    QByteArray out;
    out.reserve(total);
    AppendInt32(out, Count());
    for (const auto& bitmap : FBitmapList) {
        const QByteArray blob = EncodeBmp(*bitmap);
        AppendInt32(out, static_cast<qint32>(blob.size()));
        out.append(blob);
    }
    return out;
}

void TBitmapCollection::WriteMaps(const QString& fileName) const
{
    // Blob by blob rather than through one buffer of the whole store: tens of megabytes of
    // fresh memory cost more than the writes.
    QSaveFile file(fileName);
    const auto fail = [&file, &fileName](const char* what) {
        throw EFileError(
            QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), fileName, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail("Cannot create file");
    const auto write = [&](QByteArrayView bytes) {
        if (file.write(bytes.data(), bytes.size()) != bytes.size())
            fail("Cannot write file");
    };
    QByteArray size;
    AppendInt32(size, Count());
    write(size);
    for (const auto& bitmap : FBitmapList) {
        const QByteArray blob = EncodeBmp(*bitmap);
        size.clear();
        AppendInt32(size, static_cast<qint32>(blob.size()));
        write(size);
        write(blob);
    }
    if (!file.commit())
        fail("Cannot write file");
}

quint32 TBitmapCollection::Hash() const
{
    if (FBitmapList.empty())
        return 0;
    size_t total = 0;
    for (const auto& bitmap : FBitmapList)
        total += static_cast<size_t>(BlobSize(*bitmap));
    TLookup3 hash(total, 0);
    for (const auto& bitmap : FBitmapList)
        hash.Feed(EncodeBmp(*bitmap));
    return hash.Result();
}

bool TBitmapCollection::HasDesiredIcon(const QString& fileName, int iconSize)
{
    return qb::HasDesiredIcon(fileName, iconSize);
}

bool WriteMapsIfChanged(const TBitmapCollection& bitmaps, quint32& storedHash, const QString& fileName)
{
    const quint32 hash = bitmaps.Hash();
    if (hash == storedHash)
        return false;
    bitmaps.WriteMaps(fileName);
    storedHash = hash;
    return true;
}

} // namespace qb
