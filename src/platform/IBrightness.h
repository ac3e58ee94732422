#pragma once

#include <QList>
#include <QString>

namespace qb {

struct TMonitorBrightness {
    QString Name;
    int Percent = 0;
};

// Brightness of the built-in panel and of external monitors. UI thread.
class IBrightness {
public:
    virtual ~IBrightness() = default;
    virtual QList<TMonitorBrightness> Monitors() const = 0;
    virtual bool SetPercent(const QString& name, int percent) = 0;
};

} // namespace qb
