#pragma once

#include "platform/IHotKeys.h"

#include <QAbstractNativeEventFilter>
#include <QHash>

struct _XCBKeySymbols;

namespace qb {

// Global hot keys as key grabs on the X server's root window, for the combination itself and
// with Caps Lock and Num Lock on, so the lock keys do not matter. The presses arrive through a
// native event filter of Qt's connection; Activated follows from the event loop. A combination
// another program has grabbed cannot be registered. Grabs follow changes of the keyboard
// mapping. Without an X11 display nothing can be registered. UI thread.
class LinuxHotKeys final : public IHotKeys, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit LinuxHotKeys(QObject* parent = nullptr);
    ~LinuxHotKeys() override;

    bool Register(int id, QKeyCombination keys) override;
    void Unregister(int id) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct TGrab {
        QKeyCombination Keys;
        quint8 Keycode = 0;
        quint16 Modifiers = 0;
    };
    bool Grab(TGrab& grab);
    void Ungrab(const TGrab& grab);
    QList<quint16> LockVariants() const;

    QHash<int, TGrab> FGrabs;
    _XCBKeySymbols* FSymbols = nullptr;
};

} // namespace qb
