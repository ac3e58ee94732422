#include "platform/linux/LinuxShell.h"

#include "platform/linux/CommandLine.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/X11.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace qb {

Q_LOGGING_CATEGORY(lcShell, "quillbar.shell")

namespace {

// How long a program started minimised is watched for its first window.
constexpr int KMinimiseWatchMs = 10000;
constexpr int KMinimisePollMs = 100;

bool IsAddress(const QString& target)
{
    // "C:\x" has a one-letter scheme and is a path, not an address.
    const qsizetype colon = target.indexOf(u':');
    if (colon < 2 || target.left(colon).contains(u'/'))
        return false;
    const QUrl url(target);
    return url.isValid() && url.scheme().size() > 1;
}

QString WorkFolder(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

QString FindProgram(const QString& name)
{
    if (name.contains(u'/')) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

QStringList TerminalCommand()
{
    for (const char* name : { "x-terminal-emulator", "xterm" }) {
        const QString terminal = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!terminal.isEmpty())
            return { terminal, QStringLiteral("-e") };
    }
    return {};
}

} // namespace

LinuxShell::LinuxShell(QObject* parent)
    : QObject(parent)
{
}

LinuxShell::~LinuxShell() = default;

bool LinuxShell::Open(
    const QString& target, const QString& verb, const QString& params, const QString& folder, TShowState show)
{
    const bool elevate = verb.compare(QStringLiteral("RUNAS"), Qt::CaseInsensitive) == 0;
    if (target.isEmpty())
        return false;

    static const QString KAppsFolder = QStringLiteral("shell:AppsFolder\\");
    if (target.startsWith(KAppsFolder, Qt::CaseInsensitive)) {
        QString id = target.mid(KAppsFolder.size());
        if (!id.endsWith(QStringLiteral(".desktop")))
            id += QStringLiteral(".desktop");
        const QString file = FindDesktopFile(id);
        if (!file.isEmpty())
            return LaunchEntry(file, params, show, elevate);
        qCWarning(lcShell) << "no desktop entry" << id;
        return false;
    }

    // Elevation is for programs; a document or an address asked to open elevated fails, and
    // the caller's retry with the default action opens it normally.
    if (IsAddress(target))
        return !elevate && OpenWithDesktop(target);

    const QFileInfo info(target);
    if (info.exists()) {
        if (info.isFile() && target.endsWith(QStringLiteral(".desktop")))
            return LaunchEntry(info.absoluteFilePath(), params, show, elevate);
        if (info.isFile() && info.isExecutable())
            return StartProgram(
                info.absoluteFilePath(), SplitCommandLine(params), WorkFolder(folder), show, elevate);
        return !elevate && OpenWithDesktop(info.absoluteFilePath());
    }

    if (!target.contains(u'/')) {
        if (target.endsWith(QStringLiteral(".desktop"))) {
            const QString file = FindDesktopFile(target);
            if (!file.isEmpty())
                return LaunchEntry(file, params, show, elevate);
        }
        const QString program = QStandardPaths::findExecutable(target);
        if (!program.isEmpty())
            return StartProgram(program, SplitCommandLine(params), WorkFolder(folder), show, elevate);
    }
    qCWarning(lcShell) << "nothing to start for" << target;
    return false;
}

bool LinuxShell::StartProgram(
    const QString& program, const QStringList& args, const QString& folder, TShowState show, bool elevate)
{
    QString executable = program;
    QStringList argv = args;
    QString workFolder = folder;
    if (elevate) {
        const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
        const QString env = QStandardPaths::findExecutable(QStringLiteral("env"));
        if (pkexec.isEmpty() || env.isEmpty()) {
            qCWarning(lcShell) << "cannot start elevated (no pkexec):" << program;
            return false;
        }
        // pkexec starts the program in a bare environment in root's home: the folder and the
        // display go along through env, so programs with windows can show them.
        QStringList prefix { env };
        if (!folder.isEmpty())
            prefix << QStringLiteral("--chdir=") + folder;
        for (const char* name : { "DISPLAY", "XAUTHORITY" })
            if (qEnvironmentVariableIsSet(name))
                prefix << QString::fromLatin1(name) + u'=' + qEnvironmentVariable(name);
        argv = prefix + QStringList { program } + args;
        executable = pkexec;
        workFolder.clear();
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(executable, argv, workFolder, &pid)) {
        qCWarning(lcShell) << "cannot start" << executable << argv;
        return false;
    }
    if (show == TShowState::Minimised)
        MinimiseWhenShown(pid, program);
    return true;
}

bool LinuxShell::LaunchEntry(const QString& file, const QString& params, TShowState show, bool elevate)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        qCWarning(lcShell) << "cannot read" << file;
        return false;
    }
    const TDesktopEntry entry = ParseDesktopEntry(f.readAll());
    if (entry.Hidden)
        return false;
    if (entry.Type == QStringLiteral("Link"))
        return !elevate && !entry.Url.isEmpty() && OpenWithDesktop(entry.Url);
    if (!entry.TryExec.isEmpty() && FindProgram(entry.TryExec).isEmpty()) {
        qCWarning(lcShell) << "not installed:" << entry.TryExec << "of" << file;
        return false;
    }
    std::optional<QStringList> args = ExpandExec(entry, SplitCommandLine(params), file);
    if (!args) {
        qCWarning(lcShell) << "no usable Exec line in" << file;
        return false;
    }
    if (entry.Terminal) {
        const QStringList terminal = TerminalCommand();
        if (terminal.isEmpty()) {
            qCWarning(lcShell) << "no terminal for" << file;
            return false;
        }
        args = terminal + *args;
    }
    const QString program = FindProgram(args->takeFirst());
    if (program.isEmpty()) {
        qCWarning(lcShell) << "program of" << file << "not found";
        return false;
    }
    return StartProgram(program, *args, WorkFolder(entry.Path), show, elevate);
}

bool LinuxShell::OpenWithDesktop(const QString& what)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    const bool started = opener.isEmpty() ? QDesktopServices::openUrl(QUrl::fromUserInput(what))
                                          : QProcess::startDetached(opener, { what });
    if (!started)
        qCWarning(lcShell) << "cannot open" << what;
    return started;
}

QString LinuxShell::FindDesktopFile(const QString& id)
{
    if (id.isEmpty() || id.contains(u'/'))
        return {};
    const QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& dir : dirs) {
        const QString direct = dir + u'/' + id;
        if (QFileInfo(direct).isFile())
            return direct;
        QDirIterator it(dir, { QStringLiteral("*.desktop") }, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (QDir(dir).relativeFilePath(path).replace(u'/', u'-') == id)
                return path;
        }
    }
    return {};
}

bool LinuxShell::MoveToTrash(const QString& path)
{
    // Without the data folder, QFile::moveToTrash makes a trash folder in the current folder
    // and reports success.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome)) {
        qCWarning(lcShell) << "no data folder for the trash";
        return false;
    }
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash)) {
        qCWarning(lcShell) << "cannot move to the trash:" << path;
        return false;
    }
    if (!QFileInfo(inTrash).isAbsolute())
        qCWarning(lcShell) << path << "went to" << inTrash << "instead of the trash";
    return QFileInfo(inTrash).isAbsolute();
}

void LinuxShell::ShowDesktop(bool show)
{
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return;
    x11::SendToRoot(c, x11::Root(c), x11::Atom(c, "_NET_SHOWING_DESKTOP"), { show ? 1u : 0u, 0, 0, 0, 0 });
}

bool LinuxShell::IsDesktopShown() const
{
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return false;
    const QList<quint32> value
        = x11::Property32(c, x11::Root(c), x11::Atom(c, "_NET_SHOWING_DESKTOP"), XCB_ATOM_CARDINAL);
    return !value.isEmpty() && value.first() != 0;
}

void LinuxShell::MinimiseWhenShown(qint64 pid, const QString& program)
{
    xcb_connection_t* c = x11::Connection();
    if (!c)
        return;
    // There is no way to ask a program to start minimised: its first new window is minimised as
    // soon as the window manager lists it. A window tells its process by _NET_WM_PID; one that
    // does not is taken when its class names the program.
    const QList<xcb_window_t> before = x11::ClientList(c);
    const QString name = QFileInfo(program).fileName();
    auto* timer = new QTimer(this);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    connect(timer, &QTimer::timeout, this, [timer, started, pid, before, name] {
        xcb_connection_t* c = x11::Connection();
        if (!c || started->hasExpired(KMinimiseWatchMs)) {
            timer->deleteLater();
            return;
        }
        for (xcb_window_t w : x11::ClientList(c)) {
            if (before.contains(w))
                continue;
            const QList<quint32> owner
                = x11::Property32(c, w, x11::Atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL);
            bool ours = !owner.isEmpty() && qint64(owner.first()) == pid;
            if (owner.isEmpty()) {
                const QList<QByteArray> wmClass
                    = x11::Property(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
                for (const QByteArray& part : wmClass)
                    ours = ours
                        || (!part.isEmpty()
                            && QString::fromLocal8Bit(part).compare(name, Qt::CaseInsensitive) == 0);
            }
            if (ours) {
                x11::Iconify(c, w);
                timer->stop();
                timer->deleteLater();
                return;
            }
        }
    });
    timer->start(KMinimisePollMs);
}

} // namespace qb
