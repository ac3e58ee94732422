#include "platform/linux/DesktopEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace qb {

namespace {

QString UnescapeString(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        case '\\':
            out += u'\\';
            break;
        default:
            // Not a string escape: left for the Exec quoting (\" \$ \`) to read.
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

bool IsTrue(const QString& value)
{
    return value.trimmed() == QStringLiteral("true");
}

QString AsUrl(const QString& file)
{
    const QUrl url(file);
    if (url.isValid() && url.scheme().size() > 1)
        return file;
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString AsPath(const QString& file)
{
    const QUrl url(file);
    if (url.isLocalFile())
        return url.toLocalFile();
    return file;
}

} // namespace

TDesktopEntry ParseDesktopEntry(const QByteArray& bytes)
{
    TDesktopEntry entry;
    bool inMainGroup = false;
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inMainGroup || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = UnescapeString(line.mid(eq + 1).trimmed());
        if (key == QStringLiteral("Type"))
            entry.Type = value;
        else if (key == QStringLiteral("Name"))
            entry.Name = value;
        else if (key == QStringLiteral("Icon"))
            entry.Icon = value;
        else if (key == QStringLiteral("Exec"))
            entry.Exec = value;
        else if (key == QStringLiteral("TryExec"))
            entry.TryExec = value;
        else if (key == QStringLiteral("Path"))
            entry.Path = value;
        else if (key == QStringLiteral("URL"))
            entry.Url = value;
        else if (key == QStringLiteral("Terminal"))
            entry.Terminal = IsTrue(value);
        else if (key == QStringLiteral("Hidden"))
            entry.Hidden = IsTrue(value);
    }
    return entry;
}

std::optional<QStringList> SplitExec(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument)
                args << std::exchange(current, QString());
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c != u'"') {
            current += c;
            continue;
        }
        bool closed = false;
        for (++i; i < exec.size(); ++i) {
            const QChar q = exec.at(i);
            if (q == u'"') {
                closed = true;
                break;
            }
            if (q == u'\\' && i + 1 < exec.size()) {
                const QChar next = exec.at(i + 1);
                if (next == u'"' || next == u'`' || next == u'$' || next == u'\\') {
                    current += next;
                    ++i;
                    continue;
                }
            }
            current += q;
        }
        if (!closed)
            return std::nullopt;
    }
    if (inArgument)
        args << current;
    return args;
}

std::optional<QStringList> ExpandExec(
    const TDesktopEntry& entry, const QStringList& files, const QString& entryFile)
{
    const std::optional<QStringList> tokens = SplitExec(entry.Exec);
    if (!tokens || tokens->isEmpty())
        return std::nullopt;

    QStringList paths;
    QStringList urls;
    for (const QString& f : files) {
        paths << AsPath(f);
        urls << AsUrl(f);
    }

    QStringList args;
    bool tookFiles = false;
    for (const QString& token : *tokens) {
        if (token == QStringLiteral("%F") || token == QStringLiteral("%U")) {
            args << (token == QStringLiteral("%F") ? paths : urls);
            tookFiles = true;
            continue;
        }
        if (token == QStringLiteral("%f") || token == QStringLiteral("%u")) {
            if (!files.isEmpty())
                args << (token == QStringLiteral("%f") ? paths.first() : urls.first());
            tookFiles = true;
            continue;
        }
        if (token == QStringLiteral("%i")) {
            if (!entry.Icon.isEmpty())
                args << QStringLiteral("--icon") << entry.Icon;
            continue;
        }
        if (token.isEmpty()) {
            args << token;
            continue;
        }
        // An argument made of codes alone that expand to nothing vanishes.
        QString arg;
        bool literal = false;
        for (qsizetype i = 0; i < token.size(); ++i) {
            if (token.at(i) != u'%' || i + 1 >= token.size()) {
                arg += token.at(i);
                literal = true;
                continue;
            }
            const char16_t code = token.at(++i).unicode();
            switch (code) {
            case '%':
                arg += u'%';
                literal = true;
                break;
            case 'f':
                tookFiles = true;
                arg += paths.value(0);
                break;
            case 'u':
                tookFiles = true;
                arg += urls.value(0);
                break;
            case 'F':
                tookFiles = true;
                arg += paths.join(u' ');
                break;
            case 'U':
                tookFiles = true;
                arg += urls.join(u' ');
                break;
            case 'i':
                arg += entry.Icon;
                break;
            case 'c':
                arg += entry.Name;
                break;
            case 'k':
                arg += entryFile;
                break;
            default:
                // %d %D %n %N %v %m are deprecated and unknown codes have no value.
                break;
            }
        }
        if (literal || !arg.isEmpty())
            args << arg;
    }
    if (!tookFiles)
        args << paths;
    if (args.isEmpty() || args.first().isEmpty())
        return std::nullopt;
    return args;
}

} // namespace qb
