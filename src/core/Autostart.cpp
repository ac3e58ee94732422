#include "core/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qb {

namespace {

// Exec values quote arguments in double quotes; inside them ", `, $ and \ are escaped.
QString QuoteExecArgument(const QString& arg)
{
    QString quoted;
    for (QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // The value itself is a desktop-entry string: its backslashes are escaped once more.
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

} // namespace

QString AutostartFile(const QString& bareName)
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/") + bareName + QStringLiteral(".desktop");
}

QString AutostartEntry(const QString& exeFile)
{
    const QFileInfo exe(exeFile);
    QString path = exe.absolutePath();
    path.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Quillbar\n"
                          "Comment=Quick-start toolbar\n")
        + QStringLiteral("Exec=") + QuoteExecArgument(exe.absoluteFilePath()) + u'\n'
        + QStringLiteral("Path=") + path + u'\n'
        + QStringLiteral("Terminal=false\n"
                         "X-GNOME-Autostart-enabled=true\n");
}

bool CopyLinkToAutostart(bool toggle, bool on, const QString& exeFile, const QString& bareName)
{
    const QString file = AutostartFile(bareName);
    if (!toggle)
        return QFileInfo::exists(file);
    if (on) {
        QFile::remove(file);
        return QFileInfo::exists(file);
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(AutostartEntry(exeFile).toUtf8());
    return out.commit();
}

} // namespace qb
