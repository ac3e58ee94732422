// Drawing one page of the bar: the work every pointer move over a cell, press and page switch
// costs on the user-interface thread.
#include "toolbar/BarLayers.h"
#include "toolbar/Markers.h"
#include "toolbar/PageRender.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <vector>

namespace qb {
namespace {

// A 2 x 8 page of 48-pixel icons with frames, a page colour and the switcher caption; icons
// with soft round edges so blending does real work.
struct TBenchBar {
    TSettings Settings;
    TLayout Layout;
    QList<TButtonEntry> Buttons;
    std::vector<TBitmap32> Icons;
    TBitmap32 Admin;
    TBitmap32 Sound;
    TPageState State;

    explicit TBenchBar(int showFrames, int fontSize = 0)
    {
        Settings.IconSize = 4;
        Settings.ShowFrames = showFrames;
        Settings.SkinColor[0] = 0xFFFFD0A0;
        Settings.FontSize = fontSize;
        Layout.NewSize(Settings);
        for (int i = 0; i < Layout.CellsPerPage; ++i) {
            TButtonEntry e;
            e.BType = QStringLiteral("Exec");
            e.Hint = QStringLiteral("Button %1").arg(i);
            if (i == 3)
                e.Flags = QStringLiteral("Admin");
            Buttons << e;
            TBitmap32 icon(48, 48);
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 48; ++x) {
                    const int d = (x - 24) * (x - 24) + (y - 24) * (y - 24);
                    const int a = d < 400 ? 255 : (d < 576 ? (576 - d) * 255 / 176 : 0);
                    icon.SetPixel(x, y, Color32(10 * i, 4 * x, 4 * y, a));
                }
            icon.SetDrawMode(TDrawMode::Blend);
            icon.SetCombineMode(TCombineMode::Merge);
            icon.SetResampler(TResamplerKind::Linear);
            Icons.push_back(icon);
        }
        Admin = MakeAdminMarker(48);
        Sound = MakeSoundMarker(48);
        State.TakeSettings(Settings);
        State.Buttons = Buttons;
        State.Icons = TIconImages(Icons);
        State.AdminMarker = &Admin;
        State.SoundMarker = &Sound;
        State.Mp3Button = 5;
    }
};

void BM_DrawBank(benchmark::State& s)
{
    TBenchBar bar(static_cast<int>(s.range(0)));
    bar.State.HoverCell = static_cast<int>(s.range(1));
    bar.State.PointerOverBar = true;
    bar.State.PointerInside = true;
    TBitmap32 page;
    for (auto _ : s) {
        DrawBank(page, bar.Layout, bar.State);
        benchmark::DoNotOptimize(page.Bits());
    }
    s.SetLabel(QStringLiteral("%1 x %2").arg(bar.Layout.BarW).arg(bar.Layout.BarH).toStdString());
}
// Frames 1 and etched 3; no hover, and the pointer over cell 4 (its icon on the float layer).
BENCHMARK(BM_DrawBank)->Args({ 1, -1 })->Args({ 3, -1 })->Args({ 1, 4 })->Unit(benchmark::kMicrosecond);

void BM_DrawHintLayer(benchmark::State& s)
{
    TBenchBar bar(1, 4);
    TBitmap32 layer;
    for (auto _ : s) {
        DrawHintLayer(layer, bar.Layout, bar.State);
        benchmark::DoNotOptimize(layer.Bits());
    }
}
BENCHMARK(BM_DrawHintLayer)->Unit(benchmark::kMicrosecond);

void BM_HoverLayer(benchmark::State& s)
{
    TBenchBar bar(1);
    const THoverEffect effect = bar.Layout.HoverEffect(4, bar.Layout.CalcRect(4).center(), 1, 16);
    TBitmapLayer hover;
    for (auto _ : s) {
        MakeHoverLayer(hover, bar.Layout, effect, bar.Icons[4], false);
        benchmark::DoNotOptimize(hover.Bitmap.Bits());
    }
}
BENCHMARK(BM_HoverLayer)->Unit(benchmark::kMicrosecond);

void BM_ComposeBar(benchmark::State& s)
{
    TBenchBar bar(1, 4);
    TBitmap32 page;
    TBitmap32 labels;
    DrawBank(page, bar.Layout, bar.State);
    DrawHintLayer(labels, bar.Layout, bar.State);
    TBitmapLayer hover;
    MakeHoverLayer(hover, bar.Layout, bar.Layout.HoverEffect(4, bar.Layout.CalcRect(4).center(), 1, 16),
        bar.Icons[4], false);
    TBitmap32 out;
    for (auto _ : s) {
        ComposeBar(out, 0xFFF0F0F0, page, &labels, { &hover });
        benchmark::DoNotOptimize(out.Bits());
    }
}
BENCHMARK(BM_ComposeBar)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace qb

int main(int argc, char** argv)
{
    // Text needs a font database, which needs a (headless) GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
