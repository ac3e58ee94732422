#pragma once

#include "shell/Launcher.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <utility>

namespace qb::test {

// A bar that writes down what a click asked of it; timers run when the test says so.
class TRecordingHost final : public ILaunchHost {
public:
    void DoClick(const QString& cue) override { Log << QStringLiteral("DoClick ") + cue; }
    void DrawBank() override { Log << QStringLiteral("DrawBank"); }
    void SetCurPage(int page) override { Log << QStringLiteral("SetCurPage %1").arg(page); }
    void SwitcherClick() override { Log << QStringLiteral("SwitcherClick"); }
    void SuppressMenuAutoPopup() override { ++MenuSuppressed; }
    void Close() override { Log << QStringLiteral("Close"); }
    int DoubleClickTime() const override { return DoubleClickMs; }
    TWindowId BarWindow() const override { return Bar; }
    bool Closing() const override { return IsClosing; }
    QList<TMonitorArea> Monitors() const override { return Screens; }
    void After(int ms, std::function<void()> step) override { Timers.append({ ms, std::move(step) }); }

    void ShowBox(TToolBox box) override
    {
        static const char* const KNames[] = { "Brightness", "Magnifier", "Clippings" };
        Log << QStringLiteral("ShowBox ") + QLatin1String(KNames[int(box)]);
    }
    void SendPopup(const QString& params, QChar separator) override
    {
        Log << QStringLiteral("SendPopup ") + params + u' ' + separator;
    }
    void CountDownClick() override { Log << QStringLiteral("CountDownClick"); }
    bool WeatherRunning() const override { return Weather; }
    void WeatherRefresh() override { Log << QStringLiteral("WeatherRefresh"); }
    void PushClipboard(const QString& params) override { Log << QStringLiteral("PushClipboard ") + params; }
    void ShowCallHistory(bool yesterday) override
    {
        Log << (yesterday ? QStringLiteral("CallHistory yesterday") : QStringLiteral("CallHistory today"));
    }

    // Runs the timers that are due, in the order they were started, including those they start.
    void RunTimers()
    {
        while (!Timers.isEmpty()) {
            auto step = Timers.takeFirst().second;
            step();
        }
    }
    QList<int> TimerDelays() const
    {
        QList<int> delays;
        for (const auto& t : Timers)
            delays << t.first;
        return delays;
    }

    QStringList Log;
    int MenuSuppressed = 0;
    int DoubleClickMs = 400;
    TWindowId Bar = 1;
    bool IsClosing = false;
    bool Weather = false;
    QList<TMonitorArea> Screens;
    QList<std::pair<int, std::function<void()>>> Timers;
};

} // namespace qb::test
