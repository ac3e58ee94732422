#include "support/TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace qb::test {

TempDataDir::TempDataDir()
{
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDataDir::Path() const
{
    return FDir.path() + u'/';
}

QString TempDataDir::FilePath(const QString& name) const
{
    return FDir.filePath(name);
}

QString TempDataDir::Write(const QString& name, const QByteArray& bytes) const
{
    const QString path = FilePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
    return path;
}

QByteArray TempDataDir::Read(const QString& name) const
{
    QFile file(FilePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool TempDataDir::Exists(const QString& name) const
{
    return QFileInfo::exists(FilePath(name));
}

} // namespace qb::test
