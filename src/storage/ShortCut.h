#pragma once

#include <QKeyCombination>
#include <QString>

#include <optional>

namespace qb {

// The shortcut notation of the settings file: optional modifier prefixes "Umsch+" (Shift),
// "Strg+" (Ctrl) and "Alt+" in any order and letter case, then one key name: a letter or digit,
// "F1" to "F24", or one of the German names "Rück", "Tab", "Esc", "Eingabe", "Leer", "BildAuf",
// "BildAb", "Ende", "Pos1", "Links", "Auf", "Rechts", "Ab", "Einfg", "Entf".
// Text without a key, or with a key outside that list, gives no shortcut.
std::optional<QKeyCombination> TextToShortCut(const QString& text);

// The text of a shortcut, modifiers in the order "Umsch+", "Strg+", "Alt+". Empty for a
// combination without a key the notation can name.
QString ShortCutToText(QKeyCombination keys);

} // namespace qb
