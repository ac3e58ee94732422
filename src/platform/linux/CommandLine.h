#pragma once

#include <QString>
#include <QStringList>

namespace qb {

// Splits a parameter text into program arguments the way a user expects from a command line:
// blanks separate arguments; '...' and "..." group (the quote marks themselves are removed,
// an empty pair gives an empty argument); inside "..." a backslash escapes '"' and '\';
// outside quotes a backslash escapes a blank, a quote mark or another backslash and is kept
// before anything else (so "C:\dir" stays whole). Nothing else has a meaning: ';', '|', '$',
// '*', '`', '(' reach the program as they stand. An unclosed quote runs to the end.
QStringList SplitCommandLine(const QString& text);

} // namespace qb
