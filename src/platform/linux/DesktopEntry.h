#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace qb {

// The keys of a desktop entry file's [Desktop Entry] group that starting it needs. String
// values are already unescaped (\s \n \t \r \\).
struct TDesktopEntry {
    QString Type;
    QString Name;
    QString Icon;
    QString Exec;
    QString TryExec;
    QString Path;
    QString Url;
    bool Terminal = false;
    bool Hidden = false;
};

TDesktopEntry ParseDesktopEntry(const QByteArray& bytes);

// Splits an Exec value into its arguments: blanks separate, "..." quotes, and inside quotes a
// backslash escapes '"', '`', '$' and itself. Empty when a quote is not closed.
std::optional<QStringList> SplitExec(const QString& exec);

// The command line an entry runs for `files` (paths or URLs, as the user gave them):
// %f/%u take the first, %F/%U all of them (local paths for %f/%F, URLs for %u/%U), %i the
// icon as "--icon <Icon>", %c the name, %k `entryFile`, %% a '%'; deprecated codes vanish.
// An entry whose command line has no file code gets the files appended. Empty when the Exec
// value is empty or malformed.
std::optional<QStringList> ExpandExec(
    const TDesktopEntry& entry, const QStringList& files, const QString& entryFile);

} // namespace qb
