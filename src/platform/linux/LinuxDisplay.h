#pragma once

#include "platform/IDisplay.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>

namespace qb {

// Monitors and idle state through the X server (DPMS, the screen saver and RandR extensions)
// and the desktop's screen saver service on the session bus when one runs. Without an X11
// display every call reports "not possible" and changes nothing. UI thread.
class LinuxDisplay final : public QObject, public IDisplay {
    Q_OBJECT
public:
    explicit LinuxDisplay(QDBusConnection session = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    // Ends a keep-awake request.
    ~LinuxDisplay() override;

    // False when the display has no DPMS (virtual and remote displays).
    bool MonitorOff() override;
    void StartScreenSaver() override;
    // Through the desktop's screen saver inhibition; without that service the X server's
    // screen saver and DPMS timeouts are switched off meanwhile and restored afterwards.
    void SetKeepAwake(bool on) override;
    int IdleSeconds() const override;
    // Rotates the output whose picture lies under `point` (or the nearest one); Refused when
    // the output cannot take that rotation or the screen cannot grow to hold it.
    TOrientationResult SetOrientation(QPoint point, TOrientation orientation) override;
    void Beep() override;

private:
    struct TXSaverSettings {
        qint16 Timeout = 0;
        qint16 Interval = 0;
        quint8 PreferBlanking = 0;
        quint8 AllowExposures = 0;
        bool DpmsWasOn = false;
    };
    void Inhibit();
    void UnInhibit();

    QDBusConnection FSession;
    bool FKeepAwake = false;
    bool FUsesService = false;
    std::optional<quint32> FCookie;
    std::optional<TXSaverSettings> FSaved;
};

} // namespace qb
