#include "shell/ClassIds.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace qb {

QString ClassIdOfTarget(const QString& target)
{
    QString rest = target;
    for (qsizetype at = rest.indexOf(QStringLiteral("::{")); at >= 0;
         at = rest.indexOf(QStringLiteral("::{")))
        rest = rest.mid(at + 2);
    const qsizetype close = rest.indexOf(u'}');
    if (!rest.startsWith(u'{') || close < 0)
        return {};
    return rest.left(close + 1);
}

QString ClassIdLocation(const QString& classId)
{
    const auto folder = [](QStandardPaths::StandardLocation location) {
        return QUrl::fromLocalFile(QStandardPaths::writableLocation(location)).toString();
    };
    const QString id = classId.toUpper();
    if (id == QStringLiteral("{20D04FE0-3AEA-1069-A2D8-08002B30309D}")) // This PC
        return QStringLiteral("computer:///");
    if (id == QStringLiteral("{645FF040-5081-101B-9F08-00AA002F954E}")) // Recycle Bin
        return QStringLiteral("trash:///");
    if (id == QStringLiteral("{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}") // Network
        || id == QStringLiteral("{208D2C60-3AEA-1069-A2D7-08002B30309D}")) // older Network Places
        return QStringLiteral("network:///");
    if (id == QStringLiteral("{59031A47-3F72-44A7-89C5-5595FE6B30EE}")) // the user's files
        return QUrl::fromLocalFile(QDir::homePath()).toString();
    if (id == QStringLiteral("{450D8FBA-AD25-11D0-98A8-0800361B1103}")) // Documents
        return folder(QStandardPaths::DocumentsLocation);
    if (id == QStringLiteral("{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}")) // Desktop
        return folder(QStandardPaths::DesktopLocation);
    if (id == QStringLiteral("{088E3905-0323-4B02-9826-5D99428E115F}")) // Downloads
        return folder(QStandardPaths::DownloadLocation);
    return {};
}

} // namespace qb
