#include "storage/ButtonList.h"

#include "storage/Printers.h"
#include "storage/StorageError.h"
#include "support/TempDataDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace qb {

namespace {

QString S(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

TButtonEntry Entry(const char* type, const char* flags = "", const char* path = "", const char* params = "",
    const char* hint = "", const char* winPos = "")
{
    return TButtonEntry { S(type), S(flags), S(path), S(params), S(hint), S(winPos) };
}

TEST(ButtonList, LoadsSectionsByNumberAndIgnoresTheRest)
{
    const test::TempDataDir dir;
    dir.Write(QStringLiteral("IconList.ini"),
        "\xEF\xBB\xBF[1]\r\nType=Exec\r\nPath=/usr/bin/gimp\r\nParams= --new \r\n"
        "[3]\r\ntype=Popup\r\nPARAMS=\"Title:Hi\"\r\nHint=greeting\r\nWinPos=1,2,3,4\r\nFlags=Admin\r\n"
        "[5]\r\nType=Exec\r\nPath=beyond the list\r\n"
        "[x]\r\nType=Exec\r\n[-1]\r\nType=Exec\r\n[02]\r\nType=Exec\r\nPath=leading zero\r\n"
        "[4]\r\nPath=no type\r\n");
    const TButtonList buttons = LoadButtonList(dir.Path(), 4);
    ASSERT_EQ(buttons.size(), 4);
    EXPECT_EQ(buttons[0], Entry("Exec", "", "/usr/bin/gimp", "--new"));
    EXPECT_EQ(buttons[1], Entry("Empty")) << "a missing section, and \"02\" is not \"2\"";
    EXPECT_EQ(buttons[2], Entry("Popup", "Admin", "", "\"Title:Hi\"", "greeting", "1,2,3,4"));
    EXPECT_EQ(buttons[3], Entry("Empty", "", "no type")) << "a missing Type reads as Empty";
}

TEST(ButtonList, MissingFileGivesEmptyButtons)
{
    const test::TempDataDir dir;
    const TButtonList buttons = LoadButtonList(dir.Path(), 3);
    EXPECT_EQ(buttons, TButtonList(3, Entry("Empty")));
    EXPECT_TRUE(LoadButtonList(dir.Path(), 0).isEmpty());
}

TEST(ButtonList, SavesTheExactFileFormat)
{
    const test::TempDataDir dir;
    dir.Write(QStringLiteral("IconList.ini"), "[5]\r\nType=Exec\r\n"); // the old file is replaced as a whole
    const TButtonList buttons = {
        Entry("Exec"),
        Entry("Empty"),
        Entry("Exec", "Protected", "/home/u/doc.odt", "", "Doc ¦ x", "10,20,300,400,500"),
        Entry("Popup", "", "", "\"Title:Ä\""),
    };
    SaveButtonList(dir.Path(), buttons);
    EXPECT_EQ(dir.Read(QStringLiteral("IconList.ini")),
        QByteArray("\xEF\xBB\xBF"
                   "[1]\r\nType=Exec\r\n\r\n"
                   "[2]\r\nType=Empty\r\n\r\n"
                   "[3]\r\nType=Exec\r\nFlags=Protected\r\nPath=/home/u/doc.odt\r\nHint=Doc \xC2\xA6 x\r\n"
                   "WinPos=10,20,300,400,500\r\n\r\n"
                   "[4]\r\nType=Popup\r\nParams=\"Title:\xC3\x84\"\r\n\r\n"));
    EXPECT_EQ(LoadButtonList(dir.Path(), 4), buttons) << "what is saved loads back equal";
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList { "IconList.ini" });
}

TEST(ButtonList, SaveFailureRaises)
{
    const test::TempDataDir dir;
    EXPECT_THROW(SaveButtonList(dir.FilePath(QStringLiteral("missing")), { Entry("Exec") }), EFileError);
}

TEST(ButtonList, DecodesTheOneLineForm)
{
    struct {
        const char* Line;
        TButtonEntry Expected;
    } const cases[] = {
        { "", Entry("Empty") },
        { "  \t ", Entry("Empty") },
        { "/usr/bin/gimp", Entry("Exec", "", "/usr/bin/gimp") },
        { "!/usr/bin/app|-a ¤ b|c", Entry("Exec", "Admin", "/usr/bin/app", "-a | b|c") },
        { "*doc.txt¦My hint", Entry("Exec", "Protected", "doc.txt", "", "My hint") },
        { "-x¦hint®1,2,3,4", Entry("Exec", "Disabled", "x", "", "hint", "1,2,3,4") },
        { "x®1,2,3,4¦not a hint", Entry("Exec", "", "x", "", "", "1,2,3,4¦not a hint") },
        { "!*x", Entry("Exec", "Admin", "*x") },
        { "Popup|\"Title:Hi\"|more", Entry("Popup", "", "", "\"Title:Hi\"|more") },
        { "Timer|\"Count:10\"", Entry("Timer", "", "", "\"Count:10\"") },
        { "Events|p", Entry("Events", "", "", "p") },
        { "!Popup|p¦h", Entry("Popup", "Admin", "", "p", "h") },
        { "popup|p", Entry("Exec", "", "popup", "p") },
        { "Popup", Entry("Exec", "", "Popup") },
        { " path with blanks ", Entry("Exec", "", " path with blanks ") },
        { "!", Entry("Exec", "Admin") },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeEntryLine(S(c.Line)), c.Expected) << c.Line;
}

TEST(ButtonList, EncodesTheDisplayLine)
{
    struct {
        TButtonEntry Entry;
        const char* Line;
    } const cases[] = {
        { Entry("Empty", "Admin", "x"), "" },
        { Entry("empty"), "" },
        { Entry("Exec", "", "/usr/bin/app", "-a | b"), "/usr/bin/app|-a ¤ b" },
        { Entry("Exec", "Admin Disabled", "x"), "-x" },
        { Entry("Exec", "Protected Admin", "x"), "!x" },
        { Entry("Exec", "Protected", "x", "", "h", "1,2,3,4"), "*x®1,2,3,4¦h" },
        { Entry("popup", "", "ignored", "\"Text:a|b\""), "Popup|\"Text:a|b\"" },
        { Entry("Timer", "", "", "t"), "Timer|t" },
        { Entry("Events", "", "", ""), "Events|" },
        { Entry("Exec"), "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntryLine(c.Entry), S(c.Line)) << c.Line;
}

class Migration : public ::testing::Test {
protected:
    QByteArray Migrate(const QByteArray& legacy)
    {
        Dir.Write(QStringLiteral("IconList.txt"), legacy);
        EXPECT_TRUE(MigrateIconListToIni(Dir.Path()));
        EXPECT_EQ(Dir.Read(QStringLiteral("IconList.txt")), legacy) << "the legacy file stays";
        return Dir.Read(QStringLiteral("IconList.ini"));
    }
    test::TempDataDir Dir;
};

TEST_F(Migration, ConvertsEveryLineIntoASection)
{
    // Windows-1252: "¤" is A4, "¦" is A6; "||" is the older hint separator.
    const QByteArray ini = Migrate("!C:\\app.exe|-a \xA4 b||Run it\r\n"
                                   "\r\n"
                                   "Popup|\"Title:x\"\xA6h\xAE"
                                   "1,2,3,4\r\n");
    EXPECT_EQ(ini,
        QByteArray(
            "\xEF\xBB\xBF"
            "[1]\r\nType=Exec\r\nFlags=Admin\r\nPath=C:\\app.exe\r\nParams=-a | b\r\nHint=Run it\r\n\r\n"
            "[2]\r\nType=Empty\r\n\r\n"
            "[3]\r\nType=Popup\r\nParams=\"Title:x\"\r\nHint=h\r\nWinPos=1,2,3,4\r\n\r\n"));
    const TButtonList buttons = LoadButtonList(Dir.Path(), 2);
    EXPECT_EQ(buttons[0], Entry("Exec", "Admin", "C:\\app.exe", "-a | b", "Run it"));
    EXPECT_EQ(buttons[1], Entry("Empty")) << "only the list's own length is loaded";
}

TEST_F(Migration, RecognisesTheByteOrderMarks)
{
    const QString line = S("*ä€|x¦y");
    const TButtonEntry expected = Entry("Exec", "Protected", "ä€", "x", "y");
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    const QString withBreak = line + QStringLiteral("\r\n");
    for (QChar c : withBreak) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    for (const QByteArray& legacy : { le, be, QByteArray(QByteArray("\xEF\xBB\xBF") + line.toUtf8()),
             QByteArray("*\xE4\x80|x\xA6y\n") }) {
        QFile::remove(Dir.FilePath(QStringLiteral("IconList.ini")));
        Migrate(legacy);
        EXPECT_EQ(LoadButtonList(Dir.Path(), 1).value(0), expected) << legacy.toHex().constData();
    }
}

TEST_F(Migration, RunsOnlyOnce)
{
    EXPECT_FALSE(MigrateIconListToIni(Dir.Path())) << "no legacy file";
    EXPECT_FALSE(Dir.Exists(QStringLiteral("IconList.ini")));
    Dir.Write(QStringLiteral("IconList.ini"), "[1]\r\nType=Exec\r\n");
    Dir.Write(QStringLiteral("IconList.txt"), "other\r\n");
    EXPECT_FALSE(MigrateIconListToIni(Dir.Path()));
    EXPECT_EQ(Dir.Read(QStringLiteral("IconList.ini")), QByteArray("[1]\r\nType=Exec\r\n"));
}

} // namespace
} // namespace qb
