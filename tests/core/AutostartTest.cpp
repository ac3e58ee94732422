#include "core/Autostart.h"

#include "support/TempDataDir.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(Autostart, ToggleCreatesAndRemovesTheDesktopEntry)
{
    test::TempDataDir config;
    qputenv("XDG_CONFIG_HOME", config.Path().toUtf8());
    const QString exe = QStringLiteral("/opt/my tools/quill\"bar$1");

    EXPECT_FALSE(CopyLinkToAutostart(false, false, exe, QStringLiteral("quillbar")));
    EXPECT_TRUE(CopyLinkToAutostart(true, false, exe, QStringLiteral("quillbar")));
    EXPECT_TRUE(CopyLinkToAutostart(false, false, exe, QStringLiteral("quillbar")));

    const QString entry = QString::fromUtf8(config.Read(QStringLiteral("autostart/quillbar.desktop")));
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    // Quotes and dollar signs are escaped for the Exec line, then the backslashes once more.
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"/opt/my tools/quill\\\\\"bar\\\\$1\"\n")))
        << entry.toStdString();
    EXPECT_TRUE(entry.contains(QStringLiteral("Path=/opt/my tools\n")));

    EXPECT_FALSE(CopyLinkToAutostart(true, true, exe, QStringLiteral("quillbar")));
    EXPECT_FALSE(config.Exists(QStringLiteral("autostart/quillbar.desktop")));
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace qb
