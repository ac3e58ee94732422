// The pixel work the bar repeats most, each next to the Qt call that does the same job.
#include "raster/Bitmap32.h"
#include "raster/Bmp.h"
#include "raster/Filters.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace qb;

// An icon-like picture: a disc with soft translucent edges and transparent corners, colours
// varying across it.
TBitmap32 Icon(int size)
{
    TBitmap32 b(size, size);
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c) / c;
            const int a = d >= 1.0 ? 0 : (d > 0.8 ? static_cast<int>((1.0 - d) / 0.2 * 255) : 255);
            b.SetPixel(x, y, Color32(x * 255 / size, y * 255 / size, (x + y) * 127 / size, a));
        }
    }
    return b;
}

void StretchOurs(benchmark::State& state, int from, int to, TResamplerKind kind)
{
    TBitmap32 src = Icon(from);
    src.SetResampler(kind);
    TBitmap32 dst(to, to);
    for (auto _ : state) {
        dst.Draw(dst.BoundsRect(), src.BoundsRect(), src);
        benchmark::DoNotOptimize(dst.Bits());
    }
}

void StretchQt(benchmark::State& state, int from, int to, bool backToStraight)
{
    const QImage src = Icon(from).ToImage();
    for (auto _ : state) {
        QImage out = src.scaled(to, to, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (backToStraight)
            out = std::move(out).convertToFormat(QImage::Format_ARGB32);
        benchmark::DoNotOptimize(out.constBits());
    }
}

BENCHMARK_CAPTURE(StretchOurs, Linear_256_to_48, 256, 48, TResamplerKind::Linear);
BENCHMARK_CAPTURE(StretchOurs, Draft_256_to_48, 256, 48, TResamplerKind::Draft);
BENCHMARK_CAPTURE(StretchQt, Smooth_256_to_48, 256, 48, false);
BENCHMARK_CAPTURE(StretchQt, SmoothToARGB32_256_to_48, 256, 48, true);
BENCHMARK_CAPTURE(StretchOurs, Linear_48_to_72, 48, 72, TResamplerKind::Linear);
BENCHMARK_CAPTURE(StretchOurs, Draft_48_to_72, 48, 72, TResamplerKind::Draft);
BENCHMARK_CAPTURE(StretchQt, Smooth_48_to_72, 48, 72, false);
BENCHMARK_CAPTURE(StretchQt, SmoothToARGB32_48_to_72, 48, 72, true);

// A 48 x 48 icon drawn with alpha onto an opaque page.
void BlendIconOurs(benchmark::State& state)
{
    TBitmap32 icon = Icon(48);
    icon.SetDrawMode(TDrawMode::Blend);
    icon.SetCombineMode(TCombineMode::Merge);
    TBitmap32 page(304, 72, 0xFFD4D0C8);
    for (auto _ : state) {
        page.Draw(10, 12, icon);
        benchmark::DoNotOptimize(page.Bits());
    }
}
BENCHMARK(BlendIconOurs);

void BlendIconQt(benchmark::State& state, QImage::Format pageFormat)
{
    const QImage icon = Icon(48).ToImage();
    QImage page(304, 72, pageFormat);
    page.fill(0xFFD4D0C8);
    for (auto _ : state) {
        QPainter p(&page);
        p.drawImage(10, 12, icon);
        p.end();
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK_CAPTURE(BlendIconQt, OntoARGB32, QImage::Format_ARGB32);
BENCHMARK_CAPTURE(BlendIconQt, OntoPremultiplied, QImage::Format_ARGB32_Premultiplied);

void GrayscaleOurs(benchmark::State& state)
{
    const TBitmap32 src = Icon(256);
    TBitmap32 work;
    for (auto _ : state) {
        state.PauseTiming();
        work = src;
        state.ResumeTiming();
        Grayscale(work);
        benchmark::DoNotOptimize(work.Bits());
    }
}
BENCHMARK(GrayscaleOurs);

// Qt's nearest job: its grey conversion (which drops alpha).
void GrayscaleQt(benchmark::State& state)
{
    const QImage src = Icon(256).ToImage();
    for (auto _ : state) {
        QImage grey = src.convertToFormat(QImage::Format_Grayscale8);
        benchmark::DoNotOptimize(grey.constBits());
    }
}
BENCHMARK(GrayscaleQt);

void BmpRoundTripOurs(benchmark::State& state)
{
    const TBitmap32 icon = Icon(48);
    TBitmap32 back;
    for (auto _ : state) {
        const QByteArray blob = EncodeBmp(icon);
        DecodeBmp(blob, back);
        benchmark::DoNotOptimize(back.Bits());
    }
}
BENCHMARK(BmpRoundTripOurs);

void BmpRoundTripQt(benchmark::State& state)
{
    const QImage icon = Icon(48).ToImage();
    for (auto _ : state) {
        QByteArray blob;
        QBuffer buffer(&blob);
        buffer.open(QIODevice::WriteOnly);
        icon.save(&buffer, "BMP");
        QImage back = QImage::fromData(blob, "BMP");
        benchmark::DoNotOptimize(back.constBits());
    }
}
BENCHMARK(BmpRoundTripQt);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
