#include "ClientWindow.h"

#include "platform/linux/LinuxDesktopWindows.h"
#include "support/Process.h"
#include "support/Wait.h"

#include <QCoreApplication>

namespace qb::test {

TClientWindow::TClientWindow(const QString& title, const QRect& geometry)
{
    FProcess.start(QStringLiteral("xlogo"),
        { QStringLiteral("-title"), title, QStringLiteral("-geometry"),
            QStringLiteral("%1x%2+%3+%4")
                .arg(geometry.width())
                .arg(geometry.height())
                .arg(geometry.x())
                .arg(geometry.y()) });
    if (!FProcess.waitForStarted(5000))
        return;
    LinuxDesktopWindows windows;
    WaitFor([&] {
        for (const TTopLevelWindow& w : windows.TopLevelWindows())
            if (w.Title == title)
                FId = w.Id;
        return FId != 0;
    });
}

TClientWindow::~TClientWindow()
{
    if (FProcess.state() != QProcess::NotRunning) {
        FProcess.terminate();
        if (!FProcess.waitForFinished(3000))
            FProcess.kill();
        FProcess.waitForFinished(1000);
    }
}

bool TClientWindow::Activate() const
{
    if (FId == 0)
        return false;
    OutputOf(QStringLiteral("xdotool"), { QStringLiteral("windowactivate"), QString::number(FId) });
    LinuxDesktopWindows windows;
    return WaitFor([&] { return windows.ActiveWindow() == FId; });
}

QString UniqueTitle(const char* stem)
{
    static int counter = 0;
    return QStringLiteral("qb-%1-%2-%3")
        .arg(QLatin1String(stem))
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

} // namespace qb::test
