#pragma once

#include "storage/ISettingsHost.h"

#include <QStringList>

#include <functional>

namespace qb::test {

// Records every call of the settings passes as one line of text, in order.
class TFakeSettingsHost final : public ISettingsHost {
public:
    void ApplyPosition(int top, int right, int monitor) override
    {
        Log << QStringLiteral("ApplyPosition %1 %2 %3").arg(top).arg(right).arg(monitor);
    }
    void ApplyOnTop(bool onTop) override { Log << QStringLiteral("ApplyOnTop %1").arg(onTop); }
    void ApplyTrayIcon(bool visible) override { Log << QStringLiteral("ApplyTrayIcon %1").arg(visible); }
    void ApplyOpacity(int opacity) override { Log << QStringLiteral("ApplyOpacity %1").arg(opacity); }
    void RequestWeatherRefresh() override { Log << QStringLiteral("RequestWeatherRefresh"); }
    void ApplySoundNames(const TSoundNames& names) override
    {
        Log << QStringLiteral("ApplySoundNames ") + QStringList(names.begin(), names.end()).join(u',');
    }
    QString AreaCodePlaceholder() const override { return Placeholder; }

    void SaveButtonList() override
    {
        Log << QStringLiteral("SaveButtonList");
        if (OnSaveButtonList)
            OnSaveButtonList();
    }
    void SaveIconStoreIfChanged() override
    {
        Log << QStringLiteral("SaveIconStoreIfChanged");
        if (OnSaveIconStore)
            OnSaveIconStore();
    }
    TBarPosition CurrentPosition() const override
    {
        Log << QStringLiteral("CurrentPosition");
        return Position;
    }
    void PositionSaved(TBarPosition position) override
    {
        Log << QStringLiteral("PositionSaved %1 %2").arg(position.Top).arg(position.Right);
    }
    int NearestMonitor() const override
    {
        Log << QStringLiteral("NearestMonitor");
        return Monitor;
    }
    void ClearModified() override { Log << QStringLiteral("ClearModified"); }

    mutable QStringList Log;
    QString Placeholder = QStringLiteral("...");
    TBarPosition Position;
    int Monitor = 0;
    std::function<void()> OnSaveButtonList;
    std::function<void()> OnSaveIconStore;
};

} // namespace qb::test
