#pragma once

#include "platform/IShell.h"

#include <QList>

namespace qb {

class FakeShell final : public IShell {
public:
    struct TOpenCall {
        QString Target, Verb, Params, Folder;
        TShowState Show = TShowState::Normal;
    };

    bool Open(const QString& target, const QString& verb, const QString& params, const QString& folder,
        TShowState show) override
    {
        Opened.append({ target, verb, params, folder, show });
        return !FailVerbs.contains(verb);
    }
    bool MoveToTrash(const QString& path) override
    {
        Trashed << path;
        return true;
    }
    void ShowDesktop(bool show) override { DesktopShown << show; }
    bool IsDesktopShown() const override { return !DesktopShown.isEmpty() && DesktopShown.last(); }

    QList<TOpenCall> Opened;
    QStringList Trashed;
    QList<bool> DesktopShown;
    // Verbs for which Open reports a failure.
    QStringList FailVerbs;
};

} // namespace qb
