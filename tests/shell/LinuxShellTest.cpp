// Starting programs, desktop entries, documents and addresses on Linux.
#include "platform/linux/LinuxShell.h"
#include "Printers.h"
#include "platform/linux/CommandLine.h"
#include "platform/linux/DesktopEntry.h"
#include "support/TempDataDir.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(SplitCommandLine, QuotesGroupAndNothingElseIsSpecial)
{
    const struct {
        const char* Text;
        QStringList Args;
    } rows[] = {
        { "", {} },
        { "   ", {} },
        { "a  b\tc", { "a", "b", "c" } },
        { "\"two words\" 'and three more'", { "two words", "and three more" } },
        { "--name=\"x y\"z", { "--name=x yz" } },
        { "\"\" ''", { "", "" } },
        { "'say \"hi\"' \"it's\"", { "say \"hi\"", "it's" } },
        { "\"a \\\"q\\\" \\\\ \\n\"", { "a \"q\" \\ \\n" } },
        { "a\\ b \\\"c\\\" \\'", { "a b", "\"c\"", "'" } },
        { "C:\\dir\\file.txt", { "C:\\dir\\file.txt" } },
        { "a;b | c > d $(rm x) `id` $HOME *",
            { "a;b", "|", "c", ">", "d", "$(rm", "x)", "`id`", "$HOME", "*" } },
        { "\"unclosed arg", { "unclosed arg" } },
        { "'unclosed", { "unclosed" } },
    };
    for (const auto& row : rows)
        EXPECT_EQ(SplitCommandLine(QString::fromUtf8(row.Text)), row.Args) << row.Text;
}

TEST(DesktopEntry, ReadsTheMainGroupWithItsEscapes)
{
    const TDesktopEntry e = ParseDesktopEntry("# comment\n"
                                              "[Desktop Entry]\n"
                                              "Type=Application\n"
                                              "Name = My\\sEditor\n"
                                              "Name[de]=Mein Editor\n"
                                              "Exec=\"/opt/my editor/bin\" --x=\"a\\\\\\\\b\" %F\n"
                                              "Path=/tmp\\twork\n"
                                              "Terminal=true\n"
                                              "Hidden=false\n"
                                              "[Desktop Action New]\n"
                                              "Exec=other\n"
                                              "Name=Other\n");
    EXPECT_EQ(e.Type, QStringLiteral("Application"));
    EXPECT_EQ(e.Name, QStringLiteral("My Editor"));
    EXPECT_EQ(e.Exec, QStringLiteral("\"/opt/my editor/bin\" --x=\"a\\\\b\" %F"));
    EXPECT_EQ(e.Path, QStringLiteral("/tmp\twork"));
    EXPECT_TRUE(e.Terminal);
    EXPECT_FALSE(e.Hidden);
    // The string escapes come first, then the Exec quoting: four backslashes in the file are one.
    EXPECT_EQ(SplitExec(e.Exec), (QStringList { "/opt/my editor/bin", "--x=a\\b", "%F" }));
}

TEST(DesktopEntry, ExecFieldCodes)
{
    TDesktopEntry entry;
    entry.Name = QStringLiteral("Viewer");
    entry.Icon = QStringLiteral("viewer-icon");
    const QString file = QStringLiteral("/usr/share/applications/viewer.desktop");
    const QStringList two { QStringLiteral("/tmp/a b.png"), QStringLiteral("https://example.org/c.png") };
    const struct {
        const char* Exec;
        QStringList Files;
        std::optional<QStringList> Args;
    } rows[] = {
        { "viewer %f", two, QStringList { "viewer", "/tmp/a b.png" } },
        { "viewer %F", two, QStringList { "viewer", "/tmp/a b.png", "https://example.org/c.png" } },
        { "viewer %u", two, QStringList { "viewer", "file:///tmp/a%20b.png" } },
        { "viewer %U", two, QStringList { "viewer", "file:///tmp/a%20b.png", "https://example.org/c.png" } },
        { "viewer %f", {}, QStringList { "viewer" } },
        { "viewer %U --new", {}, QStringList { "viewer", "--new" } },
        { "viewer %i %c %k", {}, QStringList { "viewer", "--icon", "viewer-icon", "Viewer", file } },
        { "viewer --class=%c 100%% %d%D%n %N %v %m", {}, QStringList { "viewer", "--class=Viewer", "100%" } },
        { "viewer \"%%x y\" \"\"", {}, QStringList { "viewer", "%x y", "" } },
        { "\"/opt/a \\\"b\\\"/run\" \\$HOME", {}, QStringList { "/opt/a \"b\"/run", "\\$HOME" } },
        // Without a file code the files are appended.
        { "viewer --fullscreen", two,
            QStringList { "viewer", "--fullscreen", "/tmp/a b.png", "https://example.org/c.png" } },
        { "", two, std::nullopt },
        { "%f", {}, std::nullopt },
        { "viewer \"unclosed", {}, std::nullopt },
    };
    for (const auto& row : rows) {
        entry.Exec = QString::fromUtf8(row.Exec);
        EXPECT_EQ(ExpandExec(entry, row.Files, file), row.Args) << row.Exec;
    }
    entry.Icon.clear();
    entry.Exec = QStringLiteral("viewer %i");
    EXPECT_EQ(ExpandExec(entry, {}, file), QStringList { "viewer" });
}

// A temporary folder with stand-ins for programs; PATH and XDG_DATA_HOME point into it for the
// test's duration.
class LinuxShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FOldPath = qgetenv("PATH");
        FOldDataHome = qgetenv("XDG_DATA_HOME");
        FHadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        QDir().mkpath(Dir.FilePath(QStringLiteral("bin")));
        qputenv("PATH", Dir.FilePath(QStringLiteral("bin")).toUtf8() + ':' + FOldPath);
        qputenv("XDG_DATA_HOME", Dir.FilePath(QStringLiteral("data")).toUtf8());
    }
    void TearDown() override
    {
        qputenv("PATH", FOldPath);
        if (FHadDataHome)
            qputenv("XDG_DATA_HOME", FOldDataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    // A program that writes its working folder and its arguments, one per line, to `out`.
    QString RecordingProgram(const QString& name, const QString& out)
    {
        const QString path = Dir.Write(name,
            "#!/bin/sh\n"
            "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \""
                + out.toUtf8()
                + ".tmp\"\n"
                  "mv \""
                + out.toUtf8() + ".tmp\" \"" + out.toUtf8() + "\"\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    // Waits for what a recording program wrote: its folder first, then its arguments.
    QStringList Recorded(const QString& out)
    {
        if (!test::WaitFor([&] { return QFileInfo::exists(out); }, 10000))
            return { QStringLiteral("<nothing ran>") };
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        lines.removeLast();
        return lines;
    }

    test::TempDataDir Dir;
    LinuxShell Shell;

private:
    QByteArray FOldPath;
    QByteArray FOldDataHome;
    bool FHadDataHome = false;
};

TEST_F(LinuxShellTest, ProgramGetsItsParametersLiterallyInItsFolder)
{
    const QString out = Dir.FilePath(QStringLiteral("args.txt"));
    const QString program = RecordingProgram(QStringLiteral("tools/run.sh"), out);
    const QString params
        = QStringLiteral("plain \"two words\" 'say \"hi\"' a;touch\\ pwned \"$(touch pwned)\" "
                         "`touch pwned` $HOME * | >redirected");
    ASSERT_TRUE(
        Shell.Open(program, QStringLiteral("OPEN"), params, QFileInfo(program).path(), TShowState::Normal));
    EXPECT_EQ(Recorded(out),
        (QStringList { QFileInfo(program).path(), "plain", "two words", "say \"hi\"", "a;touch pwned",
            "$(touch pwned)", "`touch", "pwned`", "$HOME", "*", "|", ">redirected" }));
    EXPECT_FALSE(Dir.Exists(QStringLiteral("tools/pwned")));
    EXPECT_FALSE(Dir.Exists(QStringLiteral("tools/redirected")));
}

TEST_F(LinuxShellTest, CommandIsFoundOnPath)
{
    const QString out = Dir.FilePath(QStringLiteral("cmd.txt"));
    RecordingProgram(QStringLiteral("bin/qb-test-cmd"), out);
    ASSERT_TRUE(Shell.Open(QStringLiteral("qb-test-cmd"), QStringLiteral("OPEN"), QStringLiteral("x"),
        QString(), TShowState::Normal));
    EXPECT_EQ(Recorded(out).mid(1), QStringList { "x" });
    EXPECT_FALSE(Shell.Open(QStringLiteral("qb-no-such-command"), QStringLiteral("OPEN"), QString(),
        QString(), TShowState::Normal));
    EXPECT_FALSE(Shell.Open(Dir.FilePath(QStringLiteral("missing/prog")), QStringLiteral("OPEN"), QString(),
        QString(), TShowState::Normal));
}

TEST_F(LinuxShellTest, DocumentsFoldersAndAddressesGoToTheDesktopsOpener)
{
    const QString out = Dir.FilePath(QStringLiteral("opened.txt"));
    RecordingProgram(QStringLiteral("bin/xdg-open"), out);
    const QString doc = Dir.Write(QStringLiteral("notes.txt"), "text");
    const struct {
        QString Target;
        QString Verb;
        QString Opened;
    } rows[] = {
        { doc, QStringLiteral("OPEN"), doc },
        { Dir.Path() + QStringLiteral("bin"), QString(), Dir.FilePath(QStringLiteral("bin")) },
        { QStringLiteral("https://example.org/?a=1;b=$(x)"), QStringLiteral("CPLOPEN"),
            QStringLiteral("https://example.org/?a=1;b=$(x)") },
        { QStringLiteral("trash:///"), QStringLiteral("OPEN"), QStringLiteral("trash:///") },
    };
    for (const auto& row : rows) {
        QFile::remove(out);
        ASSERT_TRUE(
            Shell.Open(row.Target, row.Verb, QStringLiteral("ignored"), QString(), TShowState::Normal))
            << row.Target.toStdString();
        EXPECT_EQ(Recorded(out).mid(1), QStringList { row.Opened });
    }
    // Elevation is only for programs: the caller retries with the default action.
    EXPECT_FALSE(Shell.Open(doc, QStringLiteral("RUNAS"), QString(), QString(), TShowState::Normal));
    EXPECT_FALSE(Shell.Open(QStringLiteral("https://example.org/"), QStringLiteral("runas"), QString(),
        QString(), TShowState::Normal));
}

TEST_F(LinuxShellTest, RunasGoesThroughPkexecWithFolderAndDisplay)
{
    const QString out = Dir.FilePath(QStringLiteral("pkexec.txt"));
    RecordingProgram(QStringLiteral("bin/pkexec"), out);
    const QString program
        = RecordingProgram(QStringLiteral("tools/admin.sh"), Dir.FilePath(QStringLiteral("x")));
    const QString folder = QFileInfo(program).path();
    ASSERT_TRUE(
        Shell.Open(program, QStringLiteral("RUNAS"), QStringLiteral("-v 'a b'"), folder, TShowState::Normal));

    QStringList expected { QStandardPaths::findExecutable(QStringLiteral("env")),
        QStringLiteral("--chdir=") + folder };
    for (const char* name : { "DISPLAY", "XAUTHORITY" })
        if (qEnvironmentVariableIsSet(name))
            expected << QString::fromLatin1(name) + u'=' + qEnvironmentVariable(name);
    expected << program << QStringLiteral("-v") << QStringLiteral("a b");
    const QStringList recorded = Recorded(out);
    ASSERT_FALSE(recorded.isEmpty());
    EXPECT_EQ(recorded.mid(1), expected);
}

TEST_F(LinuxShellTest, DesktopEntryRunsItsExecLine)
{
    const QString out = Dir.FilePath(QStringLiteral("entry.txt"));
    const QString program = RecordingProgram(QStringLiteral("opt/My App/run"), out);
    const QString work = Dir.Path() + QStringLiteral("work");
    QDir().mkpath(work);
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=My App\n"
                             "Exec=\""
        + program.toUtf8() + "\" --title=%c %F \"--literal=\\\\$HOME;x\"\nPath=" + work.toUtf8() + "\n";
    const QString file = Dir.Write(QStringLiteral("my.desktop"), entry);
    ASSERT_TRUE(Shell.Open(
        file, QStringLiteral("OPEN"), QStringLiteral("'one file' two"), QString(), TShowState::Normal));
    EXPECT_EQ(
        Recorded(out), (QStringList { work, "--title=My App", "one file", "two", "--literal=$HOME;x" }));
}

TEST_F(LinuxShellTest, DesktopFileIdIsLookedUpInTheDataFolders)
{
    const QString out = Dir.FilePath(QStringLiteral("id.txt"));
    RecordingProgram(QStringLiteral("bin/qb-id-app"), out);
    Dir.Write(QStringLiteral("data/applications/qbtest/viewer.desktop"),
        "[Desktop Entry]\nType=Application\nName=V\nExec=qb-id-app --from-id %u\n");
    EXPECT_EQ(LinuxShell::FindDesktopFile(QStringLiteral("qbtest-viewer.desktop")),
        Dir.FilePath(QStringLiteral("data/applications/qbtest/viewer.desktop")));
    EXPECT_TRUE(LinuxShell::FindDesktopFile(QStringLiteral("qbtest-none.desktop")).isEmpty());

    ASSERT_TRUE(Shell.Open(QStringLiteral("qbtest-viewer.desktop"), QStringLiteral("OPEN"), QString(),
        QString(), TShowState::Normal));
    EXPECT_EQ(Recorded(out).mid(1), QStringList { "--from-id" });
    QFile::remove(out);
    ASSERT_TRUE(Shell.Open(QStringLiteral("shell:AppsFolder\\qbtest-viewer"), QStringLiteral("OPEN"),
        QStringLiteral("/x"), QString(), TShowState::Normal));
    EXPECT_EQ(Recorded(out).mid(1), (QStringList { "--from-id", "file:///x" }));
}

TEST_F(LinuxShellTest, EntriesThatCannotRunStartNothing)
{
    const QString opened = Dir.FilePath(QStringLiteral("opened.txt"));
    RecordingProgram(QStringLiteral("bin/xdg-open"), opened);
    const auto open = [&](const QByteArray& body) {
        const QString file = Dir.Write(QStringLiteral("e.desktop"), "[Desktop Entry]\n" + body);
        return Shell.Open(file, QStringLiteral("OPEN"), QString(), QString(), TShowState::Normal);
    };
    EXPECT_FALSE(open("Type=Application\nExec=true\nHidden=true\n"));
    EXPECT_FALSE(open("Type=Application\nExec=true\nTryExec=qb-not-installed\n"));
    EXPECT_FALSE(open("Type=Application\nExec=qb-not-installed --x\n"));
    EXPECT_FALSE(open("Type=Application\nName=No command\n"));
    EXPECT_FALSE(open("Type=Application\nExec=\"unclosed\n"));
    // A link entry opens its address.
    EXPECT_TRUE(open("Type=Link\nURL=https://example.org/linked\n"));
    EXPECT_EQ(Recorded(opened).mid(1), QStringList { "https://example.org/linked" });
}

TEST_F(LinuxShellTest, TrashWorksWithoutADataFolderYet)
{
    const QString file = Dir.Write(QStringLiteral("old.txt"), "bye");
    // XDG_DATA_HOME names a folder that does not exist yet.
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(Dir.Path());
    const bool moved = Shell.MoveToTrash(file);
    QDir::setCurrent(oldCwd);
    ASSERT_TRUE(moved);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(Dir.Exists(QStringLiteral("data/Trash/files/old.txt")));
    EXPECT_TRUE(Dir.Exists(QStringLiteral("data/Trash/info/old.txt.trashinfo")));
    // Not where the trash ends up without the folder: beside the current folder.
    EXPECT_FALSE(Dir.Exists(QStringLiteral("files/old.txt")));
    EXPECT_FALSE(Shell.MoveToTrash(Dir.FilePath(QStringLiteral("never-there.txt"))));
}

TEST_F(LinuxShellTest, WithoutAnX11DisplayTheDesktopIsNeverShown)
{
    Shell.ShowDesktop(true);
    EXPECT_FALSE(Shell.IsDesktopShown());
}

} // namespace
} // namespace qb
