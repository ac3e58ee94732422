#pragma once

#include "support/TempDataDir.h"

#include <QProcess>
#include <QRect>
#include <QString>

namespace qb::test {

// The real program, installed into a temporary folder (which is then its portable data folder)
// and run on the test's X server. For tests that act on it as a user would.
class TRunningBar {
public:
    // Puts the program of this build into `dir`.
    explicit TRunningBar(const TempDataDir& dir);
    ~TRunningBar();

    // Starts it and waits until its window is shown; false when it did not show in time.
    bool Start(const QStringList& args = {}, int timeoutMs = 15000);
    // Asks it to end as the session would (SIGTERM) and waits; returns its exit code, or -1
    // when it did not end in time.
    int Stop(int timeoutMs = 10000);

    // The X window id of its shown window (decimal, as xdotool prints it); empty when none.
    QString WindowId() const;
    // The window's rectangle on the screen as the X server reports it.
    QRect Geometry() const;
    QString StandardError();

private:
    const TempDataDir& FDir;
    QString FProgram;
    QProcess FProcess;
};

} // namespace qb::test
