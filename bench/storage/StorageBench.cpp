// Speed of the persistence paths that run at start-up and at every save: the settings file,
// the button list of the largest layout (4096 buttons) and the icon store of 4096 48 x 48 images.
#include "platform/fake/FakeHotKeys.h"
#include "storage/BitmapCollection.h"
#include "storage/ButtonList.h"
#include "storage/FileIo.h"
#include "storage/Lookup3.h"
#include "storage/MiniIni.h"
#include "storage/SettingsAccess.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace qb {
namespace {

constexpr int KButtons = 4096;

class TQuietHost final : public ISettingsHost {
public:
    void ApplyPosition(int, int, int) override { }
    void ApplyOnTop(bool) override { }
    void ApplyTrayIcon(bool) override { }
    void ApplyOpacity(int) override { }
    void RequestWeatherRefresh() override { }
    void ApplySoundNames(const TSoundNames&) override { }
    QString AreaCodePlaceholder() const override { return QStringLiteral("..."); }
    void SaveButtonList() override { }
    void SaveIconStoreIfChanged() override { }
    TBarPosition CurrentPosition() const override { return { 12, 34 }; }
    void PositionSaved(TBarPosition) override { }
    int NearestMonitor() const override { return 0; }
    void ClearModified() override { }
};

const QTemporaryDir& Folder()
{
    static const QTemporaryDir dir;
    return dir;
}

QString SettingsFile()
{
    static const QString name = [] {
        // Every key of the catalogue with non-default values, plus a Weather section.
        TMiniIni store;
        TSettings settings;
        settings.Banks = 8;
        settings.HideWnd = QStringLiteral("Editor");
        settings.GenParams = QStringLiteral("Sound:@CLICK BGColor:$FF2040");
        TQuietHost host;
        FakeHotKeys hotKeys;
        for (int id = 0; id < KHotKeyCount; ++id)
            settings.HotKeyCodes[static_cast<size_t>(id)] = RegisterKey(hotKeys, id, DefaultHotKeyText(id));
        store.SetValue(QStringLiteral("Weather"), QStringLiteral("WxCity"), QStringLiteral("Berlin"));
        TSettingsAccess(store, settings, host, hotKeys).Write();
        const QString file = Folder().filePath(QStringLiteral("quillbar.ini"));
        store.Save(file);
        return file;
    }();
    return name;
}

void ParseAndReadSettings(benchmark::State& state)
{
    const QString file = SettingsFile();
    TQuietHost host;
    FakeHotKeys hotKeys;
    for (auto _ : state) {
        TMiniIni store;
        TSettings settings;
        store.Parse(file);
        TSettingsAccess(store, settings, host, hotKeys).IniAccess(QStringLiteral("Read"));
        benchmark::DoNotOptimize(settings.Rows);
    }
}
BENCHMARK(ParseAndReadSettings)->Unit(benchmark::kMicrosecond);

TButtonList ManyButtons()
{
    TButtonList buttons(KButtons);
    for (int i = 0; i < KButtons; ++i) {
        TButtonEntry& e = buttons[i];
        if (i % 4 == 3)
            continue; // some cells stay empty
        e.BType = QStringLiteral("Exec");
        e.Path = QStringLiteral("/usr/share/applications/program-%1.desktop").arg(i);
        e.Params = i % 2 ? QStringLiteral("--new-window %U") : QString();
        e.Hint = QStringLiteral("Program number %1").arg(i);
        e.Flags = i % 8 == 0 ? QStringLiteral("Protected") : QString();
        e.WinPos = i % 16 == 0 ? QStringLiteral("10,20,810,620") : QString();
    }
    return buttons;
}

void LoadButtonList4096(benchmark::State& state)
{
    const QString dir = Folder().path();
    SaveButtonList(dir, ManyButtons());
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadButtonList(dir, KButtons));
}
BENCHMARK(LoadButtonList4096)->Unit(benchmark::kMillisecond);

void SaveButtonList4096(benchmark::State& state)
{
    const QString dir = Folder().path();
    const TButtonList buttons = ManyButtons();
    for (auto _ : state)
        SaveButtonList(dir, buttons);
}
BENCHMARK(SaveButtonList4096)->Unit(benchmark::kMillisecond);

void FillStore(TBitmapCollection& store)
{
    store.Clear();
    for (int i = 0; i < KButtons; ++i) {
        TBitmap32& b = store.Add();
        b.SetSize(48, 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                b.SetPixelU(x, y, Color32(x * 5 + i, y * 5, i, (x + y) * 2));
    }
}

QString StoreFile()
{
    static const QString name = [] {
        TBitmapCollection store;
        FillStore(store);
        const QString file = Folder().filePath(QStringLiteral("Bitmaps.Stream"));
        store.WriteMaps(file);
        return file;
    }();
    return name;
}

void ReadMaps4096(benchmark::State& state)
{
    const QString file = StoreFile();
    TBitmapCollection store;
    for (auto _ : state) {
        store.Clear();
        store.ReadMaps(file);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(file).size());
    state.counters["images"] = store.Count();
}
BENCHMARK(ReadMaps4096)->Unit(benchmark::kMillisecond);

void WriteMaps4096(benchmark::State& state)
{
    TBitmapCollection store;
    FillStore(store);
    const QString file = Folder().filePath(QStringLiteral("Written.Stream"));
    for (auto _ : state)
        store.WriteMaps(file);
    state.SetBytesProcessed(state.iterations() * QFileInfo(file).size());
}
BENCHMARK(WriteMaps4096)->Unit(benchmark::kMillisecond);

void StoreHash4096(benchmark::State& state)
{
    TBitmapCollection store;
    FillStore(store);
    const qint64 bytes = store.StreamBytes().size() - 4 - 4 * KButtons;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.Hash());
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(StoreHash4096)->Unit(benchmark::kMillisecond);

void HashLittleOfStoreSize(benchmark::State& state)
{
    const QByteArray data(KButtons * (122 + 48 * 48 * 4), '\x5A');
    for (auto _ : state)
        benchmark::DoNotOptimize(HashLittle(data.constData(), static_cast<size_t>(data.size()), 0));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(HashLittleOfStoreSize)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qb

BENCHMARK_MAIN();
