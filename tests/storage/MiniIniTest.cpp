#include "storage/MiniIni.h"
#include "storage/Printers.h"
#include "storage/StorageError.h"
#include "support/TempDataDir.h"

#include <QDir>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace qb {
namespace {

QString S(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

TMiniIni Parsed(const QByteArray& bytes)
{
    TMiniIni ini;
    ini.ParseBytes(bytes);
    return ini;
}

// What a parsed file holds, as "[section]" and "name=value" lines in store order.
QStringList Dump(const TMiniIni& ini)
{
    QStringList out;
    for (const QString& section : ini.Sections()) {
        out << u'[' + section + u']';
        for (const TIniLine& line : ini.SectionLines(section))
            out << line.Name + u'=' + line.Value;
    }
    return out;
}

struct TParseCase {
    const char* Name;
    QByteArray File;
    QStringList Expected;
};

TEST(MiniIni, ParsesLinesIntoOrderedCaseInsensitiveSections)
{
    const TParseCase cases[] = {
        { "outer blanks go, inner = stays", "[A]\r\n key = a=b \r\n", { "[A]", "key=a=b" } },
        { "blanks inside brackets are part of the name", "[ A ]\nx=1\n[A]\ny=2\n",
            { "[ A ]", "x=1", "[A]", "y=2" } },
        { "an empty value removes the key", "[A]\nk=1\nk=\nm=2\n", { "[A]", "m=2" } },
        { "a key with nothing after = is absent", "[A]\nk=\n", { "[A]" } },
        { "a repeated key keeps its first place and its last spelling and value", "[A]\nkey=1\nx=2\nKEY=3\n",
            { "[A]", "KEY=3", "x=2" } },
        { "sections merge case-insensitively, first spelling wins", "[Abc]\nx=1\n[other]\ny=2\n[ABC]\nz=3\n",
            { "[Abc]", "x=1", "z=3", "[other]", "y=2" } },
        { "comments and lines without = are skipped; # is no comment", ";k=1\n#k=2\nplain text\n[A\n",
            { "[]", "#k=2" } },
        { "keys before the first header go to the unnamed section", "k=1\n[A]\nm=2\n",
            { "[]", "k=1", "[A]", "m=2" } },
        { "an empty section disappears", "[Empty]\n[A]\nk=1\n[Also empty]\n", { "[A]", "k=1" } },
        { "LF, CR and CR LF all end lines", "[A]\rk=1\nm=2\r\nn=3", { "[A]", "k=1", "m=2", "n=3" } },
        { "tabs and control characters are trimmed", "\t[A]\x01\n\tk\t=\tv\x7f\t\n", { "[A]", "k=v\x7f" } },
        { "an empty name is a key like any other", "[A]\n=v\n", { "[A]", "=v" } },
        { "[] names the unnamed section", "[]\nk=1\n", { "[]", "k=1" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dump(Parsed(c.File)), c.Expected) << c.Name;
}

TEST(MiniIni, FindsValuesWhateverTheLetterCase)
{
    const TMiniIni ini = Parsed("[A]\r\n key = a=b \r\n");
    EXPECT_EQ(ini.GetValue(QStringLiteral("a"), QStringLiteral("KEY"), QString()), QStringLiteral("a=b"));
    EXPECT_EQ(ini.GetValue(QStringLiteral("A"), QStringLiteral("missing"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_EQ(
        ini.GetValue(QStringLiteral("B"), QStringLiteral("key"), QStringLiteral("d")), QStringLiteral("d"));
    const TMiniIni utf8 = Parsed("\xEF\xBB\xBF[Gr\xC3\xB6\xC3\x9F"
                                 "e]\r\n\xC3\x84rger=1\r\n");
    EXPECT_EQ(utf8.GetValue(S("GRÖßE"), S("ärger"), 0), 1);
}

TEST(MiniIni, DecodesUnmarkedTextAsWindows1252AndMarkedTextAsUtf8)
{
    struct {
        QByteArray File;
        const char* Section;
        QString Value;
    } const cases[] = {
        { "[A]\nk=\xE4\n", "A", S("ä") },
        { "[A]\nk=\x80\x84\x8A\x9F\xFF\n", "A", S("€„ŠŸÿ") },
        { "[A]\nk=\x81\x8D\x8F\x90\x9D\n", "A",
            QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D) },
        { "[A]\nk=\xC3\xA4\n", "A", S("Ã¤") }, // UTF-8 without its mark is not recognised
        { "\xEF\xBB\xBF[A]\nk=\xC3\xA4\n", "A", S("ä") },
        // Half a mark is two characters in front of the header, which then is no header.
        { "\xEF\xBB[A]\nk=1\n", "", S("1") },
    };
    for (const auto& c : cases) {
        const TMiniIni ini = Parsed(c.File);
        EXPECT_EQ(ini.GetValue(S(c.Section), QStringLiteral("k"), QStringLiteral("?")), c.Value)
            << c.File.toHex().constData();
    }
}

TEST(MiniIni, ConvertsIntegersByThePlatformRules)
{
    struct {
        const char* Text;
        int Expected;
    } const cases[] = {
        { "42", 42 }, { "+7", 7 }, { "-5", -5 }, { "   12", 12 }, { "$10", 16 }, { "$a", 10 }, { "0x1F", 31 },
        { "0X1f", 31 }, { "x10", 16 }, { "X10", 16 }, { "-$10", -16 }, { "007", 7 },
        { "2147483647", 2147483647 }, { "-2147483648", -2147483647 - 1 }, { "$7FFFFFFF", 2147483647 },
        { "$FFFFFFFF", -1 },
        // everything below is not an integer and gives the default
        { "2147483648", -99 }, { "-2147483649", -99 }, { "$100000000", -99 }, { "12ab", -99 }, { "12 ", -99 },
        { "1.5", -99 }, { "-", -99 }, { "$", -99 }, { "0x", -99 }, { "x", -99 }, { "+-1", -99 },
        { "$-1", -99 }, { "\xD9\xA3", -99 }, // a non-ASCII digit
    };
    for (const auto& c : cases) {
        TMiniIni ini;
        ini.SetValue(QStringLiteral("S"), QStringLiteral("k"), S(c.Text));
        EXPECT_EQ(ini.GetValue(QStringLiteral("S"), QStringLiteral("k"), -99), c.Expected) << c.Text;
    }
    TMiniIni ini;
    EXPECT_EQ(ini.GetValue(QStringLiteral("S"), QStringLiteral("absent"), 5), 5);
}

TEST(MiniIni, ConvertsBooleansFromNumbersAndWords)
{
    struct {
        const char* Text;
        int Expected; // 1 true, 0 false, -1 the default
    } const cases[] = {
        { "1", 1 },
        { "-1", 1 },
        { "2", 1 },
        { "$10", 1 },
        { "0", 0 },
        { "0.0", 0 },
        { "0.5", 1 },
        { "True", 1 },
        { "TRUE", 1 },
        { "true", 1 },
        { "False", 0 },
        { "fALSE", 0 },
        { "yes", -1 },
        { "no", -1 },
        { "on", -1 },
        { "", -1 },
        { "nan", -1 },
        { "inf", -1 },
    };
    for (const auto& c : cases) {
        for (const bool def : { false, true }) {
            TMiniIni ini;
            ini.SetValue(QStringLiteral("S"), QStringLiteral("k"), S(c.Text));
            const bool expected = c.Expected < 0 ? def : c.Expected == 1;
            EXPECT_EQ(ini.GetValue(QStringLiteral("S"), QStringLiteral("k"), def), expected)
                << c.Text << " default " << def;
        }
    }
}

TEST(MiniIni, SettersFindOrCreateAndKeepPositions)
{
    TMiniIni ini;
    ini.SetValue(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("1"));
    ini.SetValue(QStringLiteral("A"), QStringLiteral("flag"), true);
    ini.SetValue(QStringLiteral("b"), QStringLiteral("y"), -12);
    ini.SetValue(QStringLiteral("B"), QStringLiteral("X"), false); // replaces in place, new spelling
    ini.SetValue(QStringLiteral("A"), QStringLiteral("empty"), QString());
    EXPECT_EQ(Dump(ini), (QStringList { "[B]", "X=0", "y=-12", "[A]", "flag=1", "empty=" }));
    // An empty value exists as a line but reads as the default, and is gone after a round trip.
    EXPECT_EQ(
        ini.GetValue(QStringLiteral("A"), QStringLiteral("empty"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(Dump(Parsed(ini.ToBytes())), (QStringList { "[B]", "X=0", "y=-12", "[A]", "flag=1" }));
}

TEST(MiniIni, SavesUtf8WithMarkAndCrLf)
{
    TMiniIni ini;
    EXPECT_EQ(ini.ToBytes(), QByteArray("\xEF\xBB\xBF")) << "no sections: only the byte-order mark";

    ini.SetValue(QStringLiteral("Size"), QStringLiteral("Rows"), 2);
    ini.SetValue(QString(), QStringLiteral("k"), S("ä€"));
    ini.SetValue(QStringLiteral("Misc"), QStringLiteral("CheviCap"), S("»"));
    EXPECT_EQ(ini.ToBytes(),
        QByteArray("\xEF\xBB\xBF"
                   "[Size]\r\nRows=2\r\n\r\n"
                   "[]\r\nk=\xC3\xA4\xE2\x82\xAC\r\n\r\n"
                   "[Misc]\r\nCheviCap=\xC2\xBB\r\n\r\n"));

    // An ANSI file is rewritten as UTF-8, and the unnamed section comes back as itself.
    const TMiniIni ansi = Parsed("k=\xE4\r\n");
    EXPECT_EQ(ansi.ToBytes(), QByteArray("\xEF\xBB\xBF[]\r\nk=\xC3\xA4\r\n\r\n"));
    EXPECT_EQ(Parsed(ansi.ToBytes()).GetValue(QString(), QStringLiteral("k"), QString()), S("ä"));
}

TEST(MiniIni, ParseAndSaveGoThroughFiles)
{
    const test::TempDataDir dir;
    TMiniIni ini;
    ini.SetValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(ini.Parse(dir.FilePath(QStringLiteral("missing.ini"))));
    EXPECT_TRUE(ini.Sections().isEmpty()) << "parsing a missing file still clears";

    ini.SetValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
    const QString name = dir.FilePath(QStringLiteral("x.ini"));
    dir.Write(QStringLiteral("x.ini"), "old content that is longer than the new one\r\n");
    EXPECT_TRUE(ini.Save(name));
    EXPECT_EQ(dir.Read(QStringLiteral("x.ini")), ini.ToBytes());
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList { "x.ini" }) << "no temporary file stays";

    TMiniIni back;
    EXPECT_TRUE(back.Parse(name));
    EXPECT_EQ(Dump(back), Dump(ini));
}

TEST(MiniIni, FileSystemFailuresRaise)
{
    const test::TempDataDir dir;
    TMiniIni ini;
    ini.SetValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_THROW(ini.Save(dir.FilePath(QStringLiteral("no/such/folder/x.ini"))), EFileError);
    QDir(dir.Path()).mkdir(QStringLiteral("folder.ini"));
    EXPECT_THROW(ini.Save(dir.FilePath(QStringLiteral("folder.ini"))), EFileError);
    EXPECT_THROW(ini.Parse(dir.FilePath(QStringLiteral("folder.ini"))), EFileError);
}

TEST(MiniIni, SurvivesGarbageAndHugeLines)
{
    // Binary garbage around a good section: the good keys are read, nothing crashes.
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char& b : garbage)
        b = static_cast<char>(random.bounded(256));
    const QByteArray file = garbage + "\r\n[Size]\r\nRows=4\r\n" + garbage + "\n[Misc]\nx=1\n";
    const TMiniIni ini = Parsed(file);
    EXPECT_EQ(ini.GetValue(QStringLiteral("Size"), QStringLiteral("Rows"), 0), 4);

    const QByteArray line(1024 * 1024, 'x');
    const TMiniIni big = Parsed("[A]\nk=1\n" + line + "\nlong=" + line + "\nm=2\n");
    EXPECT_EQ(big.GetValue(QStringLiteral("A"), QStringLiteral("k"), 0), 1);
    EXPECT_EQ(big.GetValue(QStringLiteral("A"), QStringLiteral("m"), 0), 2);
    EXPECT_EQ(big.GetValue(QStringLiteral("A"), QStringLiteral("long"), QString()).size(), line.size());
}

TEST(MiniIni, ManyKeysComeAndGoWithoutLosingOrder)
{
    // Removing keys leaves holes that are compacted later; the order must not suffer.
    QByteArray file = "[A]\n";
    for (int i = 0; i < 200; ++i)
        file += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    for (int i = 0; i < 200; i += 2)
        file += "K" + QByteArray::number(i) + "=\n";
    file += "k1=one\nnew=n\n";
    const TMiniIni ini = Parsed(file);
    const QList<TIniLine> lines = ini.SectionLines(QStringLiteral("a"));
    ASSERT_EQ(lines.size(), 101);
    EXPECT_EQ(lines[0], (TIniLine { "k1", "one" }));
    EXPECT_EQ(lines[1], (TIniLine { "k3", "3" }));
    EXPECT_EQ(lines[99], (TIniLine { "k199", "199" }));
    EXPECT_EQ(lines[100], (TIniLine { "new", "n" }));
    EXPECT_EQ(ini.GetValue(QStringLiteral("A"), QStringLiteral("k2"), -1), -1);
    EXPECT_EQ(ini.GetValue(QStringLiteral("A"), QStringLiteral("K199"), -1), 199);
}

} // namespace
} // namespace qb
