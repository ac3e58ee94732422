#include "storage/ShortCut.h"

#include <array>

namespace qb {

namespace {

struct TKeyName {
    const char16_t* Name;
    Qt::Key Key;
};

constexpr std::array<TKeyName, 15> KNamedKeys = { {
    { u"Rück", Qt::Key_Backspace },
    { u"Tab", Qt::Key_Tab },
    { u"Esc", Qt::Key_Escape },
    { u"Eingabe", Qt::Key_Return },
    { u"Leer", Qt::Key_Space },
    { u"BildAuf", Qt::Key_PageUp },
    { u"BildAb", Qt::Key_PageDown },
    { u"Ende", Qt::Key_End },
    { u"Pos1", Qt::Key_Home },
    { u"Links", Qt::Key_Left },
    { u"Auf", Qt::Key_Up },
    { u"Rechts", Qt::Key_Right },
    { u"Ab", Qt::Key_Down },
    { u"Einfg", Qt::Key_Insert },
    { u"Entf", Qt::Key_Delete },
} };

struct TModifierName {
    const char16_t* Prefix;
    Qt::KeyboardModifier Modifier;
};

// Also the order in which the prefixes are written.
constexpr std::array<TModifierName, 3> KModifiers = { {
    { u"Umsch+", Qt::ShiftModifier },
    { u"Strg+", Qt::ControlModifier },
    { u"Alt+", Qt::AltModifier },
} };

std::optional<Qt::Key> KeyFromName(QStringView name)
{
    if (name.size() == 1) {
        const char16_t c = name[0].toUpper().unicode();
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            return static_cast<Qt::Key>(c); // Qt's codes of letters and digits are their ASCII codes
    }
    if (name.size() >= 2 && name.size() <= 3 && (name[0] == u'F' || name[0] == u'f') && name[1] != u'0') {
        int number = 0;
        for (QChar c : name.mid(1))
            number = c.isDigit() && c.unicode() < 0x80 ? number * 10 + (c.unicode() - u'0') : -1000;
        if (number >= 1 && number <= 24)
            return static_cast<Qt::Key>(Qt::Key_F1 + number - 1);
    }
    for (const TKeyName& entry : KNamedKeys)
        if (name.compare(QStringView(entry.Name), Qt::CaseInsensitive) == 0)
            return entry.Key;
    return std::nullopt;
}

} // namespace

std::optional<QKeyCombination> TextToShortCut(const QString& text)
{
    QStringView rest(text);
    Qt::KeyboardModifiers modifiers;
    for (bool found = true; found;) {
        found = false;
        for (const TModifierName& m : KModifiers) {
            const QStringView prefix(m.Prefix);
            if (rest.startsWith(prefix, Qt::CaseInsensitive)) {
                modifiers |= m.Modifier;
                rest = rest.mid(prefix.size());
                found = true;
            }
        }
    }
    const auto key = KeyFromName(rest);
    if (!key)
        return std::nullopt;
    return QKeyCombination(modifiers, *key);
}

QString ShortCutToText(QKeyCombination keys)
{
    const Qt::Key key = keys.key();
    QString name;
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        name = QChar(static_cast<char16_t>(key));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        name = u'F' + QString::number(key - Qt::Key_F1 + 1);
    else
        for (const TKeyName& entry : KNamedKeys)
            if (entry.Key == key)
                name = QString::fromUtf16(entry.Name);
    if (name.isEmpty())
        return {};
    QString text;
    for (const TModifierName& m : KModifiers)
        if (keys.keyboardModifiers().testFlag(m.Modifier))
            text += QString::fromUtf16(m.Prefix);
    return text + name;
}

} // namespace qb
