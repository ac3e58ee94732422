// Writes a data folder for the start-up measurement: the settings of a bar with eight pages of
// 2 x 8 buttons at 48-pixel icons, one "Exec" button per cell and one distinct icon image each,
// in the very files and formats the bar reads at start-up.
//   qb-startup-fixture <data folder> [--settings-only] [Section/Key=Value...]
// --settings-only leaves out the icon store and the button list (the bar then starts with blank
// buttons), so the cost of reading them shows; each Section/Key=Value is one more setting.
#include "storage/BitmapCollection.h"
#include "storage/ButtonList.h"
#include "storage/MiniIni.h"

#include <QColor>
#include <QDir>
#include <QList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>

namespace qb {
namespace {

constexpr int KRows = 2;
constexpr int KCols = 8;
constexpr int KBanks = 8;
constexpr int KIconSizeIndex = 4; // 48 pixels
constexpr int KIconPixels = 48;
constexpr int KButtons = KRows * KCols * KBanks;

TColor32 Hue(int degrees, int saturation, int value)
{
    return QColor::fromHsv(degrees % 360, saturation, value).rgba();
}

// A rounded tile in its own hue with a disc, a bar or a diamond on it, so every image differs
// and carries transparent corners and soft and hard edges like real icons do.
void PaintIcon(TBitmap32& icon, int index)
{
    icon.SetSize(KIconPixels, KIconPixels);
    icon.Clear(0);
    const TColor32 face = Hue(index * 137, 160 + index % 96, 200);
    const TColor32 mark = Hue(index * 137 + 180, 255, 255 - index % 64);
    const double centre = (KIconPixels - 1) / 2.0;
    for (int y = 0; y < KIconPixels; ++y) {
        for (int x = 0; x < KIconPixels; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            // Rounded square: corners cut by a radius of 8.
            const double cx = std::max(std::abs(dx) - (centre - 8), 0.0);
            const double cy = std::max(std::abs(dy) - (centre - 8), 0.0);
            if (cx * cx + cy * cy > 64.0)
                continue;
            bool onMark = false;
            switch (index % 3) {
            case 0:
                onMark = dx * dx + dy * dy <= 14.0 * 14.0;
                break;
            case 1:
                onMark = std::abs(dy) <= 5 + index % 7;
                break;
            default:
                onMark = std::abs(dx) + std::abs(dy) <= 16;
                break;
            }
            icon.SetPixel(x, y, onMark ? mark : face);
        }
    }
}

struct TFixtureOptions {
    QString DataDir;
    bool SettingsOnly = false;
    QList<std::array<QString, 3>> Extra; // section, key, value
};

void WriteFixture(const TFixtureOptions& options)
{
    const QString& dataDir = options.DataDir;
    if (!QDir().mkpath(dataDir))
        throw std::runtime_error("cannot create the data folder");

    TMiniIni settings;
    const QString size = QStringLiteral("Size");
    settings.SetValue(size, QStringLiteral("Rows"), KRows);
    settings.SetValue(size, QStringLiteral("Cols"), KCols);
    settings.SetValue(size, QStringLiteral("Banks"), KBanks);
    settings.SetValue(size, QStringLiteral("IconSize"), KIconSizeIndex);
    for (const auto& [section, key, value] : options.Extra)
        settings.SetValue(section, key, value);
    settings.Save(QDir(dataDir).filePath(QStringLiteral("quillbar.ini")));
    if (options.SettingsOnly)
        return;

    TBitmapCollection icons;
    for (int i = 0; i < KButtons; ++i)
        PaintIcon(icons.Add(), i);
    icons.WriteMaps(QDir(dataDir).filePath(KBitmapsStream));

    TButtonList buttons(KButtons);
    for (int i = 0; i < KButtons; ++i) {
        TButtonEntry& entry = buttons[i];
        entry.BType = QStringLiteral("Exec");
        entry.Path = QStringLiteral("/usr/bin/true");
        entry.Params = QStringLiteral("--page=%1").arg(i / (KRows * KCols) + 1);
        entry.Hint = QStringLiteral("Button %1").arg(i + 1);
    }
    SaveButtonList(dataDir, buttons);
}

} // namespace
} // namespace qb

int main(int argc, char** argv)
{
    qb::TFixtureOptions options;
    bool usage = argc < 2;
    for (int i = 1; i < argc && !usage; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const qsizetype slash = arg.indexOf(u'/');
        const qsizetype equals = arg.indexOf(u'=');
        if (i == 1)
            options.DataDir = arg;
        else if (arg == QLatin1String("--settings-only"))
            options.SettingsOnly = true;
        else if (slash > 0 && equals > slash + 1)
            options.Extra.append(
                { arg.left(slash), arg.mid(slash + 1, equals - slash - 1), arg.mid(equals + 1) });
        else
            usage = true;
    }
    if (usage) {
        std::fprintf(
            stderr, "usage: qb-startup-fixture <data folder> [--settings-only] [Section/Key=Value...]\n");
        return 2;
    }
    try {
        qb::WriteFixture(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qb-startup-fixture: %s\n", error.what());
        return 1;
    }
    return 0;
}
