#pragma once

#include "platform/IDisplay.h"

#include <QList>
#include <QStringList>

namespace qb {

class FakeDisplay final : public IDisplay {
public:
    bool MonitorOff() override
    {
        Calls << QStringLiteral("MonitorOff");
        return true;
    }
    void StartScreenSaver() override { Calls << QStringLiteral("ScreenSaver"); }
    void SetKeepAwake(bool on) override { KeepAwake << on; }
    int IdleSeconds() const override { return Idle; }
    TOrientationResult SetOrientation(QPoint, TOrientation orientation) override
    {
        Orientations << orientation;
        if (orientation == Current)
            return TOrientationResult::AlreadySet;
        if (RefuseRotation)
            return TOrientationResult::Refused;
        Current = orientation;
        return TOrientationResult::Changed;
    }
    void Beep() override { ++Beeps; }

    QStringList Calls;
    QList<bool> KeepAwake;
    QList<TOrientation> Orientations;
    TOrientation Current = TOrientation::Default;
    bool RefuseRotation = false;
    int Idle = 0;
    int Beeps = 0;
};

} // namespace qb
