#include "core/DataLocations.h"

#include "support/TempDataDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(DataLocations, WritableProgramFolderIsThePortableDataFolder)
{
    test::TempDataDir exe, user;
    exe.Write(QStringLiteral("quillbar"), "#!");
    const TDataLocations loc = ChooseLocations(
        exe.FilePath(QStringLiteral("quillbar")), user.FilePath(QStringLiteral("Zorv/Quillbar")));
    EXPECT_TRUE(loc.Portable);
    EXPECT_EQ(loc.DataDir, exe.Path());
    EXPECT_EQ(loc.ExeDir, exe.Path());
    EXPECT_EQ(loc.IniName, QStringLiteral("quillbar.ini"));
    EXPECT_EQ(loc.BareName, QStringLiteral("quillbar"));
    EXPECT_FALSE(user.Exists(QStringLiteral("Zorv"))); // nothing is created elsewhere
    // The probe file that tested the folder is gone again.
    EXPECT_EQ(QDir(exe.Path()).entryList(QDir::Files), QStringList { QStringLiteral("quillbar") });
}

TEST(DataLocations, InstalledOrReadOnlyProgramUsesTheUserFolder)
{
    test::TempDataDir exe, user;
    exe.Write(QStringLiteral("bin/quillbar.bin"), "#!");
    const QString userDir = user.FilePath(QStringLiteral("share/Zorv/Quillbar"));

    // Under a system folder (as /usr or /opt are), however writable it is.
    TDataLocations loc
        = ChooseLocations(exe.FilePath(QStringLiteral("bin/quillbar.bin")), userDir, { exe.Path() });
    EXPECT_FALSE(loc.Portable);
    EXPECT_EQ(loc.DataDir, userDir + u'/');
    EXPECT_TRUE(QDir(userDir).exists()); // created with its parents
    EXPECT_EQ(loc.IniName, QStringLiteral("quillbar.ini"));

    // A program folder that cannot take files.
    loc = ChooseLocations(exe.FilePath(QStringLiteral("gone/quillbar")), userDir, {});
    EXPECT_FALSE(loc.Portable);
    EXPECT_EQ(loc.DataDir, userDir + u'/');
}

class Migration : public ::testing::Test {
protected:
    TDataLocations Locations()
    {
        TDataLocations loc;
        loc.ExeDir = Exe.Path();
        loc.DataDir = User.Path();
        loc.IniName = QStringLiteral("quillbar.ini");
        return loc;
    }
    test::TempDataDir Exe, User;
};

TEST_F(Migration, EmptyUserFolderGetsThePresentFilesAndCustomSkins)
{
    Exe.Write(QStringLiteral("quillbar.ini"), "[Size]\r\nRows=3\r\n");
    Exe.Write(QStringLiteral("Bitmaps.Stream"), QByteArray(4, '\0'));
    Exe.Write(QStringLiteral("Clippings.txt"), "clip");
    Exe.Write(QStringLiteral("CustomSkin1.png"), "png");
    Exe.Write(QStringLiteral("CustomSkin.jpg"), "jpg");
    Exe.Write(QStringLiteral("Other.txt"), "not data");

    ASSERT_TRUE(MigrateFirstRun(Locations()));
    EXPECT_EQ(User.Read(QStringLiteral("quillbar.ini")), "[Size]\r\nRows=3\r\n");
    EXPECT_EQ(User.Read(QStringLiteral("Bitmaps.Stream")), QByteArray(4, '\0'));
    EXPECT_EQ(User.Read(QStringLiteral("Clippings.txt")), "clip");
    EXPECT_FALSE(User.Exists(QStringLiteral("IconList.ini"))); // missing ones are skipped
    EXPECT_FALSE(User.Exists(QStringLiteral("Other.txt")));
    EXPECT_EQ(User.Read(QStringLiteral("Skins/CustomSkin1.png")), "png");
    EXPECT_EQ(User.Read(QStringLiteral("Skins/CustomSkin.jpg")), "jpg");
}

TEST_F(Migration, UserFolderHoldingAnythingIsLeftAlone)
{
    Exe.Write(QStringLiteral("quillbar.ini"), "new");
    User.Write(QStringLiteral(".hidden"), "x");
    EXPECT_FALSE(MigrateFirstRun(Locations()));
    EXPECT_FALSE(User.Exists(QStringLiteral("quillbar.ini")));
}

TEST_F(Migration, PortableUseNeverMigrates)
{
    Exe.Write(QStringLiteral("quillbar.ini"), "x");
    TDataLocations loc = Locations();
    loc.Portable = true;
    EXPECT_FALSE(MigrateFirstRun(loc));
    EXPECT_FALSE(User.Exists(QStringLiteral("quillbar.ini")));
}

} // namespace
} // namespace qb

namespace qb {
namespace {

TEST(DataLocations, BesideFoldersAreFoundBesideTheProgramThenInShare)
{
    test::TempDataDir root;
    root.Write(QStringLiteral("bin/quillbar"), "#!");
    root.Write(QStringLiteral("share/quillbar/Lang/English.lng"), "");
    const QString installed
        = ChooseLocations(root.FilePath(QStringLiteral("bin/quillbar")), root.FilePath(QStringLiteral("u")))
              .BesideDir;
    EXPECT_EQ(installed, root.Path() + QStringLiteral("share/quillbar/"));

    root.Write(QStringLiteral("bin/Lang/English.lng"), "");
    const TDataLocations portable
        = ChooseLocations(root.FilePath(QStringLiteral("bin/quillbar")), root.FilePath(QStringLiteral("u")));
    EXPECT_EQ(portable.BesideDir, root.Path() + QStringLiteral("bin/"));
    EXPECT_EQ(portable.SoundsDir, root.Path() + QStringLiteral("bin/Sounds/"));
}

} // namespace
} // namespace qb
