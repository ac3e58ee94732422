#include "core/ProgramFolders.h"

#include <QDir>

namespace qb {

QString FindBesideFolders(const QString& exeDir)
{
    const QDir exe(exeDir);
    const QStringList candidates { exe.absolutePath(),
        QDir::cleanPath(exe.absoluteFilePath(QStringLiteral("../share/quillbar"))) };
    for (const QString& candidate : candidates)
        if (QDir(candidate).exists(QStringLiteral("Lang")))
            return candidate + u'/';
    return exe.absolutePath() + u'/';
}

} // namespace qb
