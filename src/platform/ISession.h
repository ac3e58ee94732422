#pragma once

#include <QObject>

namespace qb {

// The program's place in the desktop session: told when the session or the user wants it to end
// (the session manager's request, or a termination signal) and when the machine woke from
// sleep; asked to raise its priority for a while. Signals come on the UI thread, from the event
// loop.
class ISession : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ISession() override = default;

    // Raises the process's scheduling priority (or returns it to normal); quietly does nothing
    // where that is not allowed.
    virtual void SetHighPriority(bool) { }

Q_SIGNALS:
    void EndRequested();
    void Resumed();
};

} // namespace qb
