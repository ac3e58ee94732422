#include "storage/FileIo.h"

#include "storage/StorageError.h"

#include <QFile>
#include <QSaveFile>

namespace qb {

void WriteFileAtomically(const QString& fileName, QByteArrayView bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit())
        throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

QByteArray ReadWholeFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    return bytes;
}

} // namespace qb
