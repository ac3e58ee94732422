#pragma once

#include <QObject>

namespace qb {

// Tells the program that the session or the user wants it to end (the session manager's
// request, or a termination signal). Emitted on the UI thread, from the event loop.
class ISession : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ISession() override = default;

Q_SIGNALS:
    void EndRequested();
};

} // namespace qb
