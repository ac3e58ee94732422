#include "support/RunningBar.h"

#include "support/Process.h"
#include "support/Wait.h"

#include <QFile>

#include <stdexcept>
#include <unistd.h>

namespace qb::test {

TRunningBar::TRunningBar(const TempDataDir& dir)
    : FDir(dir)
    , FProgram(dir.FilePath(QStringLiteral("quillbar")))
{
    const QString built = QStringLiteral(QUILLBAR_BUILD_BIN "/quillbar");
    // A hard link is instant; across file systems the program is copied.
    if (::link(QFile::encodeName(built).constData(), QFile::encodeName(FProgram).constData()) != 0
        && !QFile::copy(built, FProgram))
        throw std::runtime_error("cannot install the program into the test folder");
    FProcess.setProgram(FProgram);
    FProcess.setWorkingDirectory(dir.Path());
}

TRunningBar::~TRunningBar()
{
    if (FProcess.state() != QProcess::NotRunning) {
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }
}

bool TRunningBar::Start(const QStringList& args, int timeoutMs)
{
    FProcess.setArguments(args);
    FProcess.start();
    if (!FProcess.waitForStarted(timeoutMs))
        return false;
    return WaitFor(
        [this] { return FProcess.state() == QProcess::Running && !WindowId().isEmpty(); }, timeoutMs);
}

int TRunningBar::Stop(int timeoutMs)
{
    if (FProcess.state() == QProcess::NotRunning)
        return FProcess.exitCode();
    FProcess.terminate();
    if (!FProcess.waitForFinished(timeoutMs))
        return -1;
    return FProcess.exitStatus() == QProcess::NormalExit ? FProcess.exitCode() : -1;
}

QString TRunningBar::WindowId() const
{
    if (FProcess.state() != QProcess::Running)
        return {};
    const QString ids = OutputOf(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
            QString::number(FProcess.processId()) });
    return ids.section(u'\n', 0, 0);
}

QRect TRunningBar::Geometry() const
{
    const QString id = WindowId();
    if (id.isEmpty())
        return {};
    // xwininfo reports the window itself; xdotool adds the frame offset of some window managers.
    const QString info = OutputOf(QStringLiteral("xwininfo"), { QStringLiteral("-id"), id });
    const auto field = [&info](const QString& name) {
        const int at = info.indexOf(name);
        return at < 0 ? 0 : info.mid(at + name.size()).section(u'\n', 0, 0).trimmed().toInt();
    };
    return QRect(field(QStringLiteral("Absolute upper-left X:")),
        field(QStringLiteral("Absolute upper-left Y:")), field(QStringLiteral("Width:")),
        field(QStringLiteral("Height:")));
}

QString TRunningBar::StandardError()
{
    return QString::fromLocal8Bit(FProcess.readAllStandardError());
}

} // namespace qb::test
