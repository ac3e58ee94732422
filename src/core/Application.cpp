#include "core/Application.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>
#include <typeinfo>

#include <cxxabi.h>

namespace qb {

namespace {

QString ClassName(const std::exception& error)
{
    const char* mangled = typeid(error).name();
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    QString name = QString::fromLatin1(status == 0 && readable ? readable : mangled);
    std::free(readable);
    return name;
}

bool HasDisplay()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
        && QGuiApplication::platformName() != QStringLiteral("offscreen")
        && QGuiApplication::platformName() != QStringLiteral("minimal");
}

} // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowHandlerError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowHandlerError(QStringLiteral("Unknown error"));
    }
    return false;
}

QString HaltText(const std::exception& error)
{
    return QStringLiteral("SYSTEM-HALT\r\nKlasse: ") + ClassName(error) + QStringLiteral("\r\nMeldung: ")
        + QString::fromUtf8(error.what());
}

void ShowHalt(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (HasDisplay())
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
}

void ShowHandlerError(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (HasDisplay())
        QMessageBox::warning(nullptr, QCoreApplication::applicationName(), message);
}

} // namespace qb
