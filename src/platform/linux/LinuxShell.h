#pragma once

#include "platform/IShell.h"

#include <QLoggingCategory>
#include <QObject>

namespace qb {

Q_DECLARE_LOGGING_CATEGORY(lcShell)

// Starts things the way the desktop does: programs (a file that may be executed, or a command
// found on PATH) with an argument list made from the parameter text, never through a shell;
// desktop entry files and desktop-file ids as their Exec line says; documents, folders and
// addresses with the desktop's default handler (xdg-open). "RUNAS" starts a program through
// pkexec. A program started minimised has its first window minimised when it appears.
// What cannot be started is written to the debug output. UI thread.
class LinuxShell final : public QObject, public IShell {
    Q_OBJECT
public:
    explicit LinuxShell(QObject* parent = nullptr);
    ~LinuxShell() override;

    bool Open(const QString& target, const QString& verb, const QString& params, const QString& folder,
        TShowState show) override;
    bool MoveToTrash(const QString& path) override;
    void ShowDesktop(bool show) override;
    bool IsDesktopShown() const override;

    // The file of a desktop-file id ("org.example.App.desktop"; "-" may stand for a folder
    // level under "applications"), from the user's data folder first; empty when none.
    static QString FindDesktopFile(const QString& id);

private:
    bool StartProgram(const QString& program, const QStringList& args, const QString& folder, TShowState show,
        bool elevate);
    bool LaunchEntry(const QString& file, const QString& params, TShowState show, bool elevate);
    bool OpenWithDesktop(const QString& what);
    void MinimiseWhenShown(qint64 pid, const QString& program);
};

} // namespace qb
