#include "shell/WindowPlacement.h"

#include "platform/ScreenGeometry.h"

#include <QStringList>

#include <limits>

namespace qb {

namespace {

constexpr int KDefaultDelayMs = 1000;
constexpr int KOffScreenMargin = 48;
constexpr int KMaximiseSlack = 16;
constexpr int KSizeAfterMoveMs = 50;

int Field(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

const TMonitorArea* Primary(const QList<TMonitorArea>& monitors)
{
    for (const TMonitorArea& m : monitors)
        if (m.Primary)
            return &m;
    return monitors.isEmpty() ? nullptr : &monitors.first();
}

const TMonitorArea* Nearest(const QList<TMonitorArea>& monitors, QPoint p)
{
    const TMonitorArea* best = nullptr;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const TMonitorArea& m : monitors) {
        const qint64 d = DistanceSquared(m.Geometry, p);
        if (d < bestDistance) {
            best = &m;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

std::optional<TWinPos> ParseWinPos(const QString& text)
{
    const QStringList fields = text.split(u',');
    if (fields.size() < 4)
        return std::nullopt;
    TWinPos pos;
    const int left = Field(fields.at(0), 0);
    const int top = Field(fields.at(1), 0);
    const int right = Field(fields.at(2), 0);
    const int bottom = Field(fields.at(3), 0);
    pos.Rect = QRect(QPoint(left, top), QSize(right - left, bottom - top));
    pos.DelayMs = fields.size() == 5 ? Field(fields.at(4), KDefaultDelayMs) : KDefaultDelayMs;
    return pos;
}

void ApplyPendingPlacement(IDesktopWindows& windows, const QList<TMonitorArea>& monitors, TWindowId window,
    QRect wanted, const TRunAfter& after)
{
    if (!windows.IsWindow(window) || windows.WindowRect(window) == wanted || monitors.isEmpty())
        return;

    bool onSomeMonitor = false;
    for (const TMonitorArea& m : monitors)
        onSomeMonitor = onSomeMonitor || m.Geometry.intersects(wanted);
    if (!onSomeMonitor) {
        const QRect work = Primary(monitors)->WorkArea;
        QSize size = wanted.size();
        if (size.width() > work.width())
            size.setWidth(work.width() - KOffScreenMargin);
        if (size.height() > work.height())
            size.setHeight(work.height() - KOffScreenMargin);
        wanted = QRect(QPoint((work.width() - size.width()) / 2, (work.height() - size.height()) / 2), size);
    }

    const QPoint inset = wanted.topLeft() + QPoint(KMaximiseSlack, KMaximiseSlack);
    const QRect work = Nearest(monitors, inset)->WorkArea;
    if (wanted.width() >= work.width() - KMaximiseSlack
        && wanted.height() >= work.height() - KMaximiseSlack) {
        windows.Move(window, inset);
        windows.Maximise(window);
        return;
    }
    if (windows.IsMaximised(window))
        windows.Restore(window);
    windows.Move(window, wanted.topLeft());
    after(KSizeAfterMoveMs, [&windows, window, wanted] {
        if (windows.IsWindow(window))
            windows.MoveResize(window, wanted);
    });
}

} // namespace qb
