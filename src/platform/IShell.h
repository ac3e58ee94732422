#pragma once

#include <QString>
#include <QStringList>

namespace qb {

// How a started program should show itself.
enum class TShowState { Normal, Minimised };

// Starts programs, documents, folders and addresses the way the desktop does. Synchronous,
// UI thread. Nothing here passes text through a shell: arguments reach programs as a list.
class IShell {
public:
    virtual ~IShell() = default;

    // Opens a target with a verb ("OPEN", "RUNAS", "CPLOPEN" or empty for the default action).
    // `params` is the parameter text as a user typed it; `folder` the working folder.
    // Returns false when nothing could be started.
    virtual bool Open(const QString& target, const QString& verb, const QString& params,
        const QString& folder, TShowState show)
        = 0;
    // Moves a file or folder to the trash; false when that failed.
    virtual bool MoveToTrash(const QString& path) = 0;
    // Shows the desktop (hides every window) or restores the windows.
    virtual void ShowDesktop(bool show) = 0;
    // Whether the desktop is being shown (after ShowDesktop(true) or the desktop's own command).
    virtual bool IsDesktopShown() const = 0;
};

} // namespace qb
