#include "storage/MiniIni.h"

#include "storage/FileIo.h"
#include "storage/TextCodec.h"

#include <QFileInfo>

#include <cmath>

namespace qb {

namespace {

QString Folded(const QString& name)
{
    return name.toCaseFolded();
}

std::optional<bool> ParseBoolean(const QString& text)
{
    if (const auto number = ParseInteger(text))
        return *number != 0;
    bool ok = false;
    const double real = text.toDouble(&ok); // a decimal fraction such as "0.0" is a number too
    if (ok && std::isfinite(real))
        return real != 0.0;
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace

std::optional<int> ParseInteger(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    }
    if (i == n)
        return std::nullopt;
    quint64 value = 0;
    const quint64 limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < n; ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0 || (!hex && digit > 9))
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<quint64>(digit);
        if (value > limit)
            return std::nullopt;
    }
    // Hexadecimal text names the 32 bits themselves.
    const auto bits = static_cast<quint32>(value);
    const auto magnitude = static_cast<qint64>(hex ? static_cast<qint32>(bits) : static_cast<qint64>(value));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// --- sections

const QString* TMiniIni::TSection::Find(const QString& key) const
{
    const auto it = Index.constFind(Folded(key));
    return it == Index.cend() ? nullptr : &Slots[static_cast<size_t>(*it)].Line.Value;
}

void TMiniIni::TSection::Set(const QString& key, const QString& value)
{
    const QString folded = Folded(key);
    const auto it = Index.constFind(folded);
    if (it != Index.cend()) {
        // The first position stays; the spelling and the value are the latest ones.
        Slots[static_cast<size_t>(*it)].Line = TIniLine { key, value };
        return;
    }
    Index.insert(folded, static_cast<qsizetype>(Slots.size()));
    Slots.push_back(TSlot { TIniLine { key, value }, false });
}

void TMiniIni::TSection::Remove(const QString& key)
{
    const auto it = Index.constFind(Folded(key));
    if (it == Index.cend())
        return;
    TSlot& slot = Slots[static_cast<size_t>(*it)];
    slot.Removed = true;
    slot.Line = {};
    Index.erase(it);
    if (++RemovedCount > 16 && RemovedCount * 2 > static_cast<qsizetype>(Slots.size()))
        Compact();
}

void TMiniIni::TSection::Compact()
{
    std::vector<TSlot> kept;
    kept.reserve(Slots.size() - static_cast<size_t>(RemovedCount));
    Index.clear();
    for (TSlot& slot : Slots) {
        if (slot.Removed)
            continue;
        Index.insert(Folded(slot.Line.Name), static_cast<qsizetype>(kept.size()));
        kept.push_back(std::move(slot));
    }
    Slots = std::move(kept);
    RemovedCount = 0;
}

const TMiniIni::TSection* TMiniIni::FindSection(const QString& name) const
{
    const auto it = FSectionIndex.constFind(Folded(name));
    return it == FSectionIndex.cend() ? nullptr : &FSections[static_cast<size_t>(*it)];
}

TMiniIni::TSection& TMiniIni::FindOrAddSection(const QString& name)
{
    const QString folded = Folded(name);
    const auto it = FSectionIndex.constFind(folded);
    if (it != FSectionIndex.cend())
        return FSections[static_cast<size_t>(*it)];
    FSectionIndex.insert(folded, static_cast<qsizetype>(FSections.size()));
    FSections.push_back(TSection { name, {}, {}, 0 });
    return FSections.back();
}

// --- store

void TMiniIni::Clear()
{
    FSections.clear();
    FSectionIndex.clear();
}

bool TMiniIni::Parse(const QString& fileName)
{
    Clear();
    if (!QFileInfo::exists(fileName))
        return false;
    ParseBytes(ReadWholeFile(fileName));
    return true;
}

void TMiniIni::ParseBytes(QByteArrayView bytes)
{
    ParseText(DecodeUtf8OrAnsi(bytes));
}

void TMiniIni::ParseText(QStringView text)
{
    Clear();
    // A header only names the section; the section comes into being with its first key, so an
    // empty section of the file disappears.
    QString current;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start <= n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString line = TrimControls(text.mid(start, end - start));
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        start = end + 1;

        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.size() >= 2 && line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString name = TrimControls(QStringView(line).left(eq));
        const QString value = TrimControls(QStringView(line).mid(eq + 1));
        TSection& section = FindOrAddSection(current);
        if (value.isEmpty())
            section.Remove(name);
        else
            section.Set(name, value);
    }
}

QByteArray TMiniIni::ToBytes() const
{
    QString text;
    for (const TSection& section : FSections) {
        text += u'[' + section.Name + QStringLiteral("]\r\n");
        for (const TSection::TSlot& slot : section.Slots)
            if (!slot.Removed)
                text += slot.Line.Name + u'=' + slot.Line.Value + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    return EncodeUtf8WithBom(text);
}

bool TMiniIni::Save(const QString& fileName) const
{
    WriteFileAtomically(fileName, ToBytes());
    return true;
}

QString TMiniIni::GetValue(const QString& section, const QString& key, const QString& defaultValue) const
{
    const TSection* s = FindSection(section);
    const QString* value = s ? s->Find(key) : nullptr;
    return value && !value->isEmpty() ? *value : defaultValue;
}

int TMiniIni::GetValue(const QString& section, const QString& key, int defaultValue) const
{
    const TSection* s = FindSection(section);
    const QString* value = s ? s->Find(key) : nullptr;
    if (!value)
        return defaultValue;
    return ParseInteger(*value).value_or(defaultValue);
}

bool TMiniIni::GetValue(const QString& section, const QString& key, bool defaultValue) const
{
    const TSection* s = FindSection(section);
    const QString* value = s ? s->Find(key) : nullptr;
    if (!value)
        return defaultValue;
    return ParseBoolean(*value).value_or(defaultValue);
}

void TMiniIni::SetValue(const QString& section, const QString& key, const QString& value)
{
    FindOrAddSection(section).Set(key, value);
}

void TMiniIni::SetValue(const QString& section, const QString& key, int value)
{
    SetValue(section, key, QString::number(value));
}

void TMiniIni::SetValue(const QString& section, const QString& key, bool value)
{
    SetValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TMiniIni::Sections() const
{
    QStringList names;
    names.reserve(static_cast<qsizetype>(FSections.size()));
    for (const TSection& section : FSections)
        names.append(section.Name);
    return names;
}

QList<TIniLine> TMiniIni::SectionLines(const QString& section) const
{
    QList<TIniLine> lines;
    if (const TSection* s = FindSection(section))
        for (const TSection::TSlot& slot : s->Slots)
            if (!slot.Removed)
                lines.append(slot.Line);
    return lines;
}

} // namespace qb
