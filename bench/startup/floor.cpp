// The least a Qt program must do to put one borderless window on the screen: the yardstick the
// bar's start-up time, memory and idle wakeups are compared with.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    window.setWindowTitle(QStringLiteral("qb-floor"));
    // The size of the measured bar (2 x 8 cells of 48-pixel icons with the switcher), so both
    // put the same number of pixels on the screen.
    window.resize(432, 104);
    window.show();
    return QApplication::exec();
}
