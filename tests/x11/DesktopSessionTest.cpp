// The X server, window manager and tools that the other X11 tests rely on are really there.
#include "support/Process.h"
#include "support/Wait.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(DesktopSession, FramelessWindowIsMappedUndecoratedAndFoundByTitle)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const QString title = QStringLiteral("qb-probe-%1").arg(QCoreApplication::applicationPid());

    QWidget window(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    window.setWindowTitle(title);
    window.setStyleSheet(QStringLiteral("background: #ff00ff"));
    window.setGeometry(200, 150, 120, 40);
    window.show();

    QString id;
    ASSERT_TRUE(test::WaitFor([&] {
        id = test::OutputOf(QStringLiteral("xdotool"),
            { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                u'^' + title + u'$' });
        return !id.isEmpty();
    }));

    // Frameless: the window manager drew no frame around it.
    QString extents;
    ASSERT_TRUE(test::WaitFor([&] {
        extents = test::OutputOf(
            QStringLiteral("xprop"), { QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS") });
        return extents.contains(u'=');
    }));
    EXPECT_TRUE(extents.endsWith(QStringLiteral("= 0, 0, 0, 0"))) << extents.toStdString();

    // The window manager put it where it asked to be, and its pixels reach the screen.
    QImage shot;
    ASSERT_TRUE(test::WaitFor([&] {
        shot = QGuiApplication::primaryScreen()->grabWindow(0, 200, 150, 120, 40).toImage();
        return shot.pixelColor(60, 20) == QColor(255, 0, 255);
    })) << "screen shows "
        << shot.pixelColor(60, 20).name().toStdString();
}

} // namespace
} // namespace qb
