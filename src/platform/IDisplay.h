#pragma once

#include <QPoint>

namespace qb {

// Display orientations, numbered as the settings and hot keys use them.
enum class TOrientation { Default = 0, Rotate90 = 1, Rotate180 = 2, Rotate270 = 3 };

enum class TOrientationResult { Changed, AlreadySet, Refused };

// Monitors and the session's idle state. UI thread.
class IDisplay {
public:
    virtual ~IDisplay() = default;
    // Switches the monitors off; false when the display cannot do that.
    virtual bool MonitorOff() = 0;
    virtual void StartScreenSaver() = 0;
    // Asks the system to keep the machine and the display awake, or to return to normal.
    virtual void SetKeepAwake(bool on) = 0;
    // Seconds since the last keyboard or pointer input of the user.
    virtual int IdleSeconds() const = 0;
    // Rotates the monitor under `point`.
    virtual TOrientationResult SetOrientation(QPoint point, TOrientation orientation) = 0;
    // The default warning sound of the desktop.
    virtual void Beep() = 0;
};

} // namespace qb
