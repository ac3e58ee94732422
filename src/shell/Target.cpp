#include "shell/Target.h"

#include <QDir>
#include <QFileInfo>

namespace qb {

namespace {

constexpr qsizetype KMaxExpandedLength = 32767;

bool IsNameStart(QChar c)
{
    return c == u'_' || (c.unicode() < 128 && c.isLetter());
}

bool IsNameChar(QChar c)
{
    return IsNameStart(c) || (c.unicode() < 128 && c.isDigit());
}

bool Lookup(const QString& name, QString& value)
{
    const QByteArray key = name.toLocal8Bit();
    if (name.isEmpty() || !qEnvironmentVariableIsSet(key.constData()))
        return false;
    value = qEnvironmentVariable(key.constData());
    return true;
}

qsizetype LastSeparator(const QString& text)
{
    return std::max(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
}

} // namespace

QString ExpandEnvironment(const QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        QString value;
        if (c == u'%') {
            const qsizetype end = text.indexOf(u'%', i + 1);
            if (end > i + 1 && Lookup(text.mid(i + 1, end - i - 1), value)) {
                out += value;
                i = end + 1;
                continue;
            }
            // An unknown name keeps its first '%'; the second one may open the next reference.
        } else if (c == u'$' && i + 1 < n) {
            if (text.at(i + 1) == u'{') {
                const qsizetype end = text.indexOf(u'}', i + 2);
                if (end > i + 2 && Lookup(text.mid(i + 2, end - i - 2), value)) {
                    out += value;
                    i = end + 1;
                    continue;
                }
            } else if (IsNameStart(text.at(i + 1))) {
                qsizetype end = i + 1;
                while (end < n && IsNameChar(text.at(end)))
                    ++end;
                if (Lookup(text.mid(i + 1, end - i - 1), value)) {
                    out += value;
                    i = end;
                    continue;
                }
            }
        }
        out += c;
        ++i;
        if (out.size() > KMaxExpandedLength)
            return text;
    }
    return out.size() > KMaxExpandedLength ? text : out;
}

QString TargetExtension(const QString& target)
{
    const qsizetype dot = target.lastIndexOf(u'.');
    if (dot < 0 || dot < LastSeparator(target))
        return {};
    return target.mid(dot);
}

QString TargetFolder(const QString& target)
{
    const qsizetype sep = LastSeparator(target);
    if (sep < 0)
        return {};
    if (sep == 0)
        return target.left(1);
    // "C:\x" keeps the backslash: "C:" alone would mean the drive's current folder.
    if (sep == 2 && LooksLikeWindowsPath(target))
        return target.left(3);
    return target.left(sep);
}

bool LooksLikeWindowsPath(const QString& text)
{
    return text.size() >= 3 && text.at(0).unicode() < 128 && text.at(0).isLetter() && text.at(1) == u':'
        && (text.at(2) == u'\\' || text.at(2) == u'/');
}

QString NormalizeTarget(
    const QString& text, const QString& dataDir, const QString& exeDir, const TFileExists& exists)
{
    const auto fileExists
        = [&](const QString& path) { return exists ? exists(path) : QFileInfo::exists(path); };

    if (text.startsWith(QStringLiteral("./")) || text.startsWith(QStringLiteral("../")))
        return QDir::cleanPath(QDir(dataDir).absoluteFilePath(text));

    // A button list brought from a Windows machine names files by drive letter; a copy of the
    // program that was moved to another drive still finds the files it carried along.
    if (!LooksLikeWindowsPath(text) || !LooksLikeWindowsPath(exeDir) || TargetExtension(text).isEmpty()
        || fileExists(text))
        return text;
    const QString moved = exeDir.at(0).toUpper() + text.mid(1);
    return fileExists(moved) ? moved : text;
}

} // namespace qb
