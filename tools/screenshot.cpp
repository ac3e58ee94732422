// Saves the screen, or a part of it, as a PNG: qb-screenshot <file.png> [x y width height]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: qb-screenshot <file.png> [x y width height]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "qb-screenshot: no screen\n");
        return 1;
    }
    const QPixmap shot = argc == 6 ? screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]),
                             std::atoi(argv[4]), std::atoi(argv[5]))
                                   : screen->grabWindow(0);
    if (!shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "qb-screenshot: cannot save the screenshot\n");
        return 1;
    }
    return 0;
}
