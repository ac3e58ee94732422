#include "platform/linux/CommandLine.h"

namespace qb {

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

QStringList SplitCommandLine(const QString& text)
{
    QStringList args;
    QString current;
    bool inArgument = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (IsBlank(c)) {
            if (inArgument)
                args << std::exchange(current, QString());
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == u'\'') {
            const qsizetype end = text.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? n : end;
            current += text.mid(i + 1, stop - i - 1);
            i = stop;
        } else if (c == u'"') {
            for (++i; i < n && text.at(i) != u'"'; ++i) {
                if (text.at(i) == u'\\' && i + 1 < n && (text.at(i + 1) == u'"' || text.at(i + 1) == u'\\'))
                    ++i;
                current += text.at(i);
            }
        } else if (c == u'\\' && i + 1 < n
            && (IsBlank(text.at(i + 1)) || text.at(i + 1) == u'"' || text.at(i + 1) == u'\''
                || text.at(i + 1) == u'\\')) {
            current += text.at(++i);
        } else {
            current += c;
        }
    }
    if (inArgument)
        args << current;
    return args;
}

} // namespace qb
