#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace qb::test {

// A temporary folder that stands in for the program's data folder or program folder; removed
// with everything in it when the test ends.
class TempDataDir {
public:
    TempDataDir();

    // Absolute path of the folder with a trailing slash.
    QString Path() const;
    QString FilePath(const QString& name) const;

    // Writes a file (creating its parent folders) and returns its absolute path.
    QString Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;
    bool Exists(const QString& name) const;

private:
    QTemporaryDir FDir;
};

} // namespace qb::test
