#include "storage/ShortCut.h"

#include <QSet>

#include <gtest/gtest.h>

namespace qb {
namespace {

constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Alt = Qt::AltModifier;

TEST(ShortCut, ReadsModifiersInAnyOrderAndCase)
{
    struct {
        const char* Text;
        std::optional<QKeyCombination> Expected;
    } const cases[] = {
        { "Strg+F1", QKeyCombination(Ctrl, Qt::Key_F1) },
        { "Umsch+Strg+Alt+F24", QKeyCombination(Shift | Ctrl | Alt, Qt::Key_F24) },
        { "alt+STRG+umsch+x", QKeyCombination(Shift | Ctrl | Alt, Qt::Key_X) },
        { "Strg+p", QKeyCombination(Ctrl, Qt::Key_P) },
        { "P", QKeyCombination(Qt::NoModifier, Qt::Key_P) },
        { "Alt+7", QKeyCombination(Alt, Qt::Key_7) },
        { "Strg+RÜCK", QKeyCombination(Ctrl, Qt::Key_Backspace) },
        { "Umsch+Entf", QKeyCombination(Shift, Qt::Key_Delete) },
        { "f12", QKeyCombination(Qt::NoModifier, Qt::Key_F12) },
        // no shortcut
        { "", std::nullopt },
        { "Strg+", std::nullopt },
        { "Umsch+Strg+Alt+", std::nullopt },
        { "Strg+F25", std::nullopt },
        { "F0", std::nullopt },
        { "F01", std::nullopt },
        { "Strg+ F1", std::nullopt },
        { "Ctrl+F1", std::nullopt },
        { "Strg+Foo", std::nullopt },
        { "Strg+XY", std::nullopt },
        { "Strg+AB", QKeyCombination(Qt::ControlModifier, Qt::Key_Down) }, // "Ab" in other letters
        { "Strg+Ä", std::nullopt },
        { "F1+Strg", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToShortCut(QString::fromUtf8(c.Text)), c.Expected) << c.Text;
}

TEST(ShortCut, EveryNamedKeyReadsBackFromItsText)
{
    const char* names[] = { "Rück", "Tab", "Esc", "Eingabe", "Leer", "BildAuf", "BildAb", "Ende", "Pos1",
        "Links", "Auf", "Rechts", "Ab", "Einfg", "Entf", "A", "Z", "0", "9", "F1", "F9", "F10", "F24" };
    QSet<int> keys;
    for (const char* name : names) {
        const QString text = QStringLiteral("Umsch+Alt+") + QString::fromUtf8(name);
        const auto keysOf = TextToShortCut(text);
        ASSERT_TRUE(keysOf.has_value()) << name;
        keys.insert(keysOf->key());
        EXPECT_EQ(ShortCutToText(*keysOf), text);
    }
    EXPECT_EQ(keys.size(), static_cast<qsizetype>(std::size(names))) << "each name is a key of its own";
}

TEST(ShortCut, WritesModifiersInTheirFixedOrder)
{
    EXPECT_EQ(ShortCutToText(QKeyCombination(Alt | Shift | Ctrl, Qt::Key_Return)),
        QStringLiteral("Umsch+Strg+Alt+Eingabe"));
    EXPECT_EQ(
        ShortCutToText(QKeyCombination(Alt | Ctrl, Qt::Key_PageDown)), QStringLiteral("Strg+Alt+BildAb"));
    EXPECT_EQ(ShortCutToText(QKeyCombination(Ctrl, Qt::Key_F5)), QStringLiteral("Strg+F5"));
    EXPECT_EQ(ShortCutToText(QKeyCombination(Ctrl, Qt::Key_Print)), QString())
        << "a key the notation cannot name";
}

} // namespace
} // namespace qb
