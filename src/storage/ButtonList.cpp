#include "storage/ButtonList.h"

#include "storage/FileIo.h"
#include "storage/MiniIni.h"
#include "storage/TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace qb {

namespace {

const QString KType = QStringLiteral("Type");
const QString KFlags = QStringLiteral("Flags");
const QString KPath = QStringLiteral("Path");
const QString KParams = QStringLiteral("Params");
const QString KHint = QStringLiteral("Hint");
const QString KWinPos = QStringLiteral("WinPos");
const QString KEmpty = QStringLiteral("Empty");

constexpr char16_t KParamsBar = u'¤'; // stands for "|" inside the parameters of the one-line form
constexpr char16_t KHintMark = u'¦';
constexpr char16_t KWinPosMark = u'®';

QString FileIn(const QString& dataDir, const QString& name)
{
    return QDir(dataDir).filePath(name);
}

bool IsType(const TButtonEntry& entry, const char16_t* type)
{
    return entry.BType.compare(QStringView(type), Qt::CaseInsensitive) == 0;
}

} // namespace

TButtonList LoadButtonList(const QString& dataDir, int count)
{
    TButtonList buttons(qMax(count, 0));
    TMiniIni store;
    if (!store.Parse(FileIn(dataDir, KIconListIni)))
        return buttons;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const QString section = QString::number(i + 1);
        TButtonEntry& e = buttons[i];
        e.BType = store.GetValue(section, KType, KEmpty);
        e.Flags = store.GetValue(section, KFlags, QString());
        e.Path = store.GetValue(section, KPath, QString());
        e.Params = store.GetValue(section, KParams, QString());
        e.Hint = store.GetValue(section, KHint, QString());
        e.WinPos = store.GetValue(section, KWinPos, QString());
    }
    return buttons;
}

void SaveButtonList(const QString& dataDir, const TButtonList& buttons)
{
    TMiniIni store;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const QString section = QString::number(i + 1);
        const TButtonEntry& e = buttons[i];
        store.SetValue(section, KType, e.BType);
        const std::pair<const QString*, const QString*> fields[] = {
            { &KFlags, &e.Flags },
            { &KPath, &e.Path },
            { &KParams, &e.Params },
            { &KHint, &e.Hint },
            { &KWinPos, &e.WinPos },
        };
        for (const auto& [key, value] : fields)
            if (!value->isEmpty())
                store.SetValue(section, *key, *value);
    }
    store.Save(FileIn(dataDir, KIconListIni));
}

TButtonEntry DecodeEntryLine(const QString& line)
{
    TButtonEntry e;
    if (TrimControls(line).isEmpty())
        return e;
    QString rest = line;
    if (!rest.isEmpty()) {
        const QChar prefix = rest.front();
        if (prefix == u'!')
            e.Flags = QStringLiteral("Admin");
        else if (prefix == u'*')
            e.Flags = QStringLiteral("Protected");
        else if (prefix == u'-')
            e.Flags = QStringLiteral("Disabled");
        if (!e.Flags.isEmpty())
            rest.remove(0, 1);
    }
    if (const qsizetype at = rest.indexOf(KWinPosMark); at >= 0) {
        e.WinPos = rest.mid(at + 1);
        rest.truncate(at);
    }
    if (const qsizetype at = rest.indexOf(KHintMark); at >= 0) {
        e.Hint = rest.mid(at + 1);
        rest.truncate(at);
    }
    if (rest.startsWith(QStringLiteral("Popup|"))) {
        e.BType = QStringLiteral("Popup");
        e.Params = rest.mid(6);
    } else if (rest.startsWith(QStringLiteral("Timer|"))) {
        e.BType = QStringLiteral("Timer");
        e.Params = rest.mid(6);
    } else if (rest.startsWith(QStringLiteral("Events|"))) {
        e.BType = QStringLiteral("Events");
        e.Params = rest.mid(7);
    } else {
        e.BType = QStringLiteral("Exec");
        const qsizetype bar = rest.indexOf(u'|');
        if (bar < 0) {
            e.Path = rest;
        } else {
            e.Path = rest.left(bar);
            e.Params = rest.mid(bar + 1).replace(KParamsBar, u'|');
        }
    }
    return e;
}

QString EntryLine(const TButtonEntry& entry)
{
    if (entry.IsEmpty())
        return {};
    QString line;
    if (entry.Flags.contains(QStringLiteral("Disabled")))
        line = QStringLiteral("-");
    else if (entry.Flags.contains(QStringLiteral("Admin")))
        line = QStringLiteral("!");
    else if (entry.Flags.contains(QStringLiteral("Protected")))
        line = QStringLiteral("*");
    if (IsType(entry, u"Popup"))
        line += QStringLiteral("Popup|") + entry.Params;
    else if (IsType(entry, u"Timer"))
        line += QStringLiteral("Timer|") + entry.Params;
    else if (IsType(entry, u"Events"))
        line += QStringLiteral("Events|") + entry.Params;
    else {
        line += entry.Path;
        if (!entry.Params.isEmpty())
            line += u'|' + QString(entry.Params).replace(u'|', KParamsBar);
    }
    if (!entry.WinPos.isEmpty())
        line += KWinPosMark + entry.WinPos;
    if (!entry.Hint.isEmpty())
        line += KHintMark + entry.Hint;
    return line;
}

bool MigrateIconListToIni(const QString& dataDir)
{
    const QString iniName = FileIn(dataDir, KIconListIni);
    const QString txtName = FileIn(dataDir, KIconListTxt);
    if (QFileInfo::exists(iniName) || !QFileInfo::exists(txtName))
        return false;
    // "||" was the hint separator of older lists.
    const QString text
        = DecodeUtf8Utf16OrAnsi(ReadWholeFile(txtName)).replace(QStringLiteral("||"), QString(KHintMark));
    const QStringList lines = SplitLines(text);
    QString out;
    const auto add = [&out](const QString& key, const QString& value) {
        if (!value.isEmpty())
            out += key + u'=' + value + QStringLiteral("\r\n");
    };
    for (qsizetype n = 0; n < lines.size(); ++n) {
        out += u'[' + QString::number(n + 1) + QStringLiteral("]\r\n");
        const TButtonEntry e = DecodeEntryLine(lines[n]);
        out += QStringLiteral("Type=") + e.BType + QStringLiteral("\r\n");
        add(KFlags, e.Flags);
        add(KPath, e.Path);
        add(KParams, e.Params);
        add(KHint, e.Hint);
        add(KWinPos, e.WinPos);
        out += QStringLiteral("\r\n");
    }
    WriteFileAtomically(iniName, EncodeUtf8WithBom(out));
    return true;
}

} // namespace qb
