#pragma once

#include <QApplication>

#include <exception>

namespace qb {

// The application object. Exceptions never cross the event loop: one that escapes an event
// handler, timer or slot ends only that handler; its message is shown and the program goes on.
class TApplication final : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The text that ends the program when an exception escapes start-up or the event loop.
QString HaltText(const std::exception& error);
// Shows the halt text (in a message box when a display exists, always on standard error).
void ShowHalt(const QString& text);

// Shows the message of an exception that ended an event handler.
void ShowHandlerError(const QString& message);

} // namespace qb
