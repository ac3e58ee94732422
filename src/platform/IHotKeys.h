#pragma once

#include <QKeyCombination>
#include <QObject>

namespace qb {

// System-wide hot keys: a key combination that reaches the program whichever window has the
// focus. Lives on the UI thread; Activated is emitted from the event loop.
class IHotKeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~IHotKeys() override = default;

    // Registers `keys` under `id`, replacing what that id had. False when the combination cannot
    // be registered (another program holds it, or there is no display).
    virtual bool Register(int id, QKeyCombination keys) = 0;
    virtual void Unregister(int id) = 0;

Q_SIGNALS:
    void Activated(int id);
};

} // namespace qb
