#pragma once

#include "platform/IPower.h"

#include <QStringList>

namespace qb {

// Records power commands as "Reboot forced" / "PowerOff" ...
class FakePower final : public IPower {
public:
    void Reboot(bool forced) override { Record(QStringLiteral("Reboot"), forced); }
    void PowerOff(bool forced) override { Record(QStringLiteral("PowerOff"), forced); }
    void Hibernate(bool forced) override { Record(QStringLiteral("Hibernate"), forced); }
    void Suspend(bool forced) override { Record(QStringLiteral("Suspend"), forced); }
    void LogOff(bool forced) override { Record(QStringLiteral("LogOff"), forced); }

    QStringList Calls;

private:
    void Record(const QString& what, bool forced)
    {
        Calls << (forced ? what + QStringLiteral(" forced") : what);
    }
};

} // namespace qb
