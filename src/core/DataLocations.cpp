#include "core/DataLocations.h"

#include "core/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace qb {

namespace {

QString WithSlash(const QString& dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

void CopyOver(const QString& from, const QString& to)
{
    if (!QFileInfo::exists(from))
        return;
    QFile::remove(to);
    QFile::copy(from, to);
}

} // namespace

QString UserDataDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return WithSlash(base) + QStringLiteral("Zorv/Quillbar/");
}

QStringList SystemFolders()
{
    return { QStringLiteral("/usr/"), QStringLiteral("/opt/") };
}

bool IsFolderWritable(const QString& dir)
{
    QTemporaryFile probe(WithSlash(dir) + QStringLiteral("$XXXXXX"));
    return probe.open();
}

TDataLocations ChooseLocations(
    const QString& exeFile, const QString& userDataDir, const QStringList& systemFolders)
{
    const QFileInfo exe(exeFile);
    TDataLocations loc;
    loc.ExeDir = WithSlash(exe.absolutePath());
    loc.BesideDir = FindBesideFolders(loc.ExeDir);
    loc.SoundsDir = loc.BesideDir + QStringLiteral("Sounds/");
    loc.MediaDir = QStringLiteral("/usr/share/sounds/");
    loc.BareName = exe.completeBaseName();
    loc.IniName = loc.BareName + QStringLiteral(".ini");

    bool inSystemFolder = false;
    for (const QString& folder : systemFolders)
        inSystemFolder |= loc.ExeDir.startsWith(WithSlash(folder));

    loc.Portable = !inSystemFolder && IsFolderWritable(loc.ExeDir);
    if (loc.Portable) {
        loc.DataDir = loc.ExeDir;
    } else {
        loc.DataDir = WithSlash(userDataDir);
        QDir().mkpath(loc.DataDir);
    }
    return loc;
}

QStringList MigratedFileNames(const QString& iniName)
{
    return { iniName, QStringLiteral("IconList.txt"), QStringLiteral("IconList.ini"),
        QStringLiteral("Bitmaps.Stream"), QStringLiteral("CallHistory.txt"), QStringLiteral("Favorites.txt"),
        QStringLiteral("FRITZ.Box.xml"), QStringLiteral("Clippings.txt") };
}

bool MigrateFirstRun(const TDataLocations& loc)
{
    const QDir data(loc.DataDir);
    if (loc.Portable || !data.exists()
        || !data.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return false;

    for (const QString& name : MigratedFileNames(loc.IniName))
        CopyOver(loc.ExeDir + name, loc.DataDir + name);

    data.mkpath(QStringLiteral("Skins"));
    const QDir exe(loc.ExeDir);
    const auto skins
        = exe.entryList({ QStringLiteral("CustomSkin*.*") }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : skins)
        CopyOver(loc.ExeDir + name, loc.DataDir + QStringLiteral("Skins/") + name);
    return true;
}

} // namespace qb
