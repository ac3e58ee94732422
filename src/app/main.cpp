#include "core/Application.h"
#include "core/Quillbar.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxDesktopWindows.h"
#include "platform/linux/LinuxDisplay.h"
#include "platform/linux/LinuxHotKeys.h"
#include "platform/linux/LinuxInput.h"
#include "platform/linux/LinuxPower.h"
#include "platform/linux/LinuxSession.h"
#include "platform/linux/LinuxShell.h"
#include "platform/linux/LinuxSound.h"

#include <exception>

int main(int argc, char** argv)
{
    // X11 is what the bar is written for; on a Wayland desktop it runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    qb::TApplication app(argc, argv);
    try {
        QApplication::setApplicationName(QStringLiteral("Quillbar"));
        QApplication::setApplicationVersion(QStringLiteral(QUILLBAR_VERSION));
        QApplication::setQuitOnLastWindowClosed(false);

        qb::LinuxClock clock;
        qb::LinuxSound sound;
        qb::LinuxHotKeys hotKeys;
        qb::LinuxSession session;
        qb::LinuxShell shell;
        qb::LinuxPower power;
        qb::LinuxDisplay display;
        qb::LinuxDesktopWindows windows;
        qb::LinuxInput input;
        const qb::TBarServices services { clock, sound, hotKeys, session, shell, power, display, windows,
            input };

        qb::TQuillbar1 bar(services, { QCoreApplication::applicationFilePath() });
        QObject::connect(&bar, &qb::TQuillbar1::Finished, &app, &QCoreApplication::quit);
        bar.FormCreate();
        bar.Show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        qb::ShowHalt(qb::HaltText(error));
        return 1;
    }
}
