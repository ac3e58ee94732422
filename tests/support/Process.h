#pragma once

#include <QString>
#include <QStringList>

namespace qb::test {

// Runs a program to its end (at most `timeoutMs`) and returns its trimmed standard output;
// empty when it could not run or did not end in time.
QString OutputOf(const QString& program, const QStringList& args, int timeoutMs = 5000);

} // namespace qb::test
