#include "core/Application.h"

#include <QFileInfo>
#include <QWidget>

#include <exception>

int main(int argc, char** argv)
{
    qb::TApplication app(argc, argv);
    try {
        QApplication::setApplicationName(QStringLiteral("Quillbar"));

        QWidget bar(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
        bar.setWindowTitle(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
        bar.resize(304, 72);
        bar.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        qb::ShowHalt(qb::HaltText(error));
        return 1;
    }
}
