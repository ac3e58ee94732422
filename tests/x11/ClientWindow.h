#pragma once

#include "platform/IDesktopWindows.h"

#include <QProcess>
#include <QRect>
#include <QString>

namespace qb::test {

// A window of another program (xlogo) that the test starts and ends.
class TClientWindow {
public:
    explicit TClientWindow(const QString& title, const QRect& geometry = QRect(40, 40, 200, 150));
    ~TClientWindow();

    // 0 when the window did not appear in the window manager's list.
    TWindowId Id() const { return FId; }
    // Gives it the focus through the window manager and waits until it has it.
    bool Activate() const;

private:
    QProcess FProcess;
    TWindowId FId = 0;
};

// A title no other window has.
QString UniqueTitle(const char* stem);

} // namespace qb::test
