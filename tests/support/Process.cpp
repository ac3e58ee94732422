#include "support/Process.h"

#include <QProcess>

namespace qb::test {

QString OutputOf(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace qb::test
