#include "raster/ImageIo.h"

#include "raster/Bmp.h"
#include "raster/RasterError.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace qb {

QByteArray EncodePng(const TBitmap32& bitmap)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // A PNG cannot be 0 x 0; an empty bitmap is stored as one transparent pixel like in BMP.
    QImage image = bitmap.IsEmpty() ? QImage(1, 1, QImage::Format_ARGB32) : bitmap.ToImage();
    if (bitmap.IsEmpty())
        image.fill(0);
    if (!writer.write(image))
        throw EImageFile(writer.errorString().toStdString());
    return png;
}

void DecodeImage(QByteArrayView data, TBitmap32& bitmap)
{
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
        DecodeBmp(data, bitmap);
        return;
    }
    const QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.width() > KMaxBmpSide || size.height() > KMaxBmpSide)
        throw EImageFormat();
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() > KMaxBmpSide || image.height() > KMaxBmpSide)
        throw EImageFormat();
    bitmap.Assign(image);
}

void LoadFromFile(const QString& fileName, TBitmap32& bitmap)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EImageFile(
            QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString()).toStdString());
    DecodeImage(file.readAll(), bitmap);
}

void SaveToPng(const TBitmap32& bitmap, const QString& fileName)
{
    const QByteArray png = EncodePng(bitmap);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
        throw EImageFile(
            QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()).toStdString());
}

} // namespace qb
