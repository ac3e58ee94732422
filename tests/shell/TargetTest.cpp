// Working out a button's target: environment references, relative paths, folders, class ids.
#include "shell/Target.h"
#include "Printers.h"
#include "shell/ClassIds.h"
#include "support/TempDataDir.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(ExpandEnvironment, ReplacesTheThreeReferenceForms)
{
    qputenv("QB_TT_DIR", "/opt/tools");
    qputenv("QB_TT_X", "ex");
    qunsetenv("QB_TT_UNSET");
    const struct {
        const char* In;
        const char* Out;
    } rows[] = {
        { "$QB_TT_DIR/run", "/opt/tools/run" },
        { "${QB_TT_DIR}run", "/opt/toolsrun" },
        { "%QB_TT_DIR%\\run", "/opt/tools\\run" },
        { "a$QB_TT_X.b", "aex.b" },
        { "$QB_TT_X$QB_TT_X%QB_TT_X%${QB_TT_X}", "exexexex" },
        // Unknown references and lone signs stay as written.
        { "$QB_TT_UNSET/${QB_TT_UNSET}/%QB_TT_UNSET%", "$QB_TT_UNSET/${QB_TT_UNSET}/%QB_TT_UNSET%" },
        { "100% sure, $5, ${, %%", "100% sure, $5, ${, %%" },
        { "%QB_TT_UNSET%QB_TT_X%", "%QB_TT_UNSETex" },
        { "cost$", "cost$" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(ExpandEnvironment(QString::fromLatin1(row.In)), QString::fromLatin1(row.Out)) << row.In;

    // An expansion beyond the limit leaves the text as it was.
    qputenv("QB_TT_BIG", QByteArray(20000, 'x'));
    EXPECT_EQ(
        ExpandEnvironment(QStringLiteral("$QB_TT_BIG$QB_TT_BIG")), QStringLiteral("$QB_TT_BIG$QB_TT_BIG"));
    EXPECT_EQ(ExpandEnvironment(QStringLiteral("$QB_TT_BIG")).size(), 20000);
    for (const char* name : { "QB_TT_DIR", "QB_TT_X", "QB_TT_BIG" })
        qunsetenv(name);
}

TEST(TargetParts, ExtensionAndFolder)
{
    const struct {
        const char* Target;
        const char* Ext;
        const char* Folder;
    } rows[] = {
        { "/usr/bin/prog", "", "/usr/bin" },
        { "/snd/a.b/c.WAV", ".WAV", "/snd/a.b" },
        { "/snd/a.b/c", "", "/snd/a.b" },
        { "/vmlinuz", "", "/" },
        { "prog", "", "" },
        { "C:\\x.exe", ".exe", "C:\\" },
        { "C:\\Tools\\x.cpl", ".cpl", "C:\\Tools" },
        { "archive.tar.gz", ".gz", "" },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TargetExtension(QString::fromLatin1(row.Target)), QString::fromLatin1(row.Ext))
            << row.Target;
        EXPECT_EQ(TargetFolder(QString::fromLatin1(row.Target)), QString::fromLatin1(row.Folder))
            << row.Target;
    }
}

TEST(NormalizeTarget, RelativeTargetsStartAtTheDataFolder)
{
    test::TempDataDir data;
    const QString dir = data.Path();
    const QString parent = QDir::cleanPath(dir + QStringLiteral(".."));
    EXPECT_EQ(NormalizeTarget(QStringLiteral("./a/b.sh"), dir, {}), dir + QStringLiteral("a/b.sh"));
    EXPECT_EQ(NormalizeTarget(QStringLiteral("../x.txt"), dir, {}), parent + QStringLiteral("/x.txt"));
    // Only "./" and "../" count; other texts stay as they are, whether or not they exist.
    for (const char* text : { "a/b.sh", ".hidden", "..x", "/abs/x", "https://example.org/", "prog" })
        EXPECT_EQ(NormalizeTarget(QString::fromLatin1(text), dir, {}), QString::fromLatin1(text));
}

TEST(NormalizeTarget, WindowsPathIsTriedOnTheProgramsDrive)
{
    QSet<QString> files = { QStringLiteral("E:\\Tools\\x.exe"), QStringLiteral("D:\\here.txt") };
    const auto exists = [&](const QString& p) { return files.contains(p); };
    const QString exeDir = QStringLiteral("e:\\Portable\\Quillbar\\");
    EXPECT_EQ(NormalizeTarget(QStringLiteral("D:\\Tools\\x.exe"), {}, exeDir, exists),
        QStringLiteral("E:\\Tools\\x.exe"));
    EXPECT_EQ(
        NormalizeTarget(QStringLiteral("D:\\here.txt"), {}, exeDir, exists), QStringLiteral("D:\\here.txt"));
    EXPECT_EQ(NormalizeTarget(QStringLiteral("D:\\nowhere.txt"), {}, exeDir, exists),
        QStringLiteral("D:\\nowhere.txt"));
    // Folders (no extension) are not looked for elsewhere.
    files << QStringLiteral("E:\\Tools");
    EXPECT_EQ(NormalizeTarget(QStringLiteral("D:\\Tools"), {}, exeDir, exists), QStringLiteral("D:\\Tools"));
    // A program folder without a drive letter has no drive to try.
    EXPECT_EQ(NormalizeTarget(QStringLiteral("D:\\Tools\\x.exe"), {}, QStringLiteral("/opt/qb/"), exists),
        QStringLiteral("D:\\Tools\\x.exe"));
    // Linux paths are never rewritten, even with a Windows program folder.
    files << QStringLiteral("Eusr/x.sh");
    EXPECT_EQ(NormalizeTarget(QStringLiteral("/usr/x.sh"), {}, exeDir, exists), QStringLiteral("/usr/x.sh"));
}

TEST(ClassIds, LastIdentifierOfTheTargetAndItsLocation)
{
    EXPECT_EQ(ClassIdOfTarget(QStringLiteral("::{A}")), QStringLiteral("{A}"));
    EXPECT_EQ(ClassIdOfTarget(QStringLiteral("::{A}\\::{B}\\rest")), QStringLiteral("{B}"));
    EXPECT_EQ(ClassIdOfTarget(QStringLiteral("::{A")), QString());
    EXPECT_EQ(ClassIdLocation(QStringLiteral("{20d04fe0-3aea-1069-a2d8-08002b30309d}")),
        QStringLiteral("computer:///"));
    EXPECT_EQ(ClassIdLocation(QStringLiteral("{645FF040-5081-101B-9F08-00AA002F954E}")),
        QStringLiteral("trash:///"));
    EXPECT_EQ(ClassIdLocation(QStringLiteral("{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}")),
        QStringLiteral("network:///"));
    EXPECT_TRUE(ClassIdLocation(QStringLiteral("{59031A47-3F72-44A7-89C5-5595FE6B30EE}"))
                    .startsWith(QStringLiteral("file:///")));
    EXPECT_EQ(ClassIdLocation(QStringLiteral("{00000000-0000-0000-0000-000000000000}")), QString());
}

} // namespace
} // namespace qb
