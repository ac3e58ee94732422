#include "storage/BitmapCollection.h"

#include "raster/Bmp.h"
#include "raster/RasterError.h"
#include "storage/Lookup3.h"
#include "storage/StorageError.h"
#include "support/TempDataDir.h"

#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace qb {
namespace {

QByteArray Int32(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A bitmap whose every pixel differs, alpha included.
TBitmap32 Pattern(int w, int h, int seed)
{
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, Color32(x * 7 + seed, y * 13, x + y + seed, (x * 31 + y * 17 + seed) & 0xFF));
    return b;
}

void Fill(TBitmapCollection& store, std::initializer_list<TBitmap32> bitmaps)
{
    for (const TBitmap32& b : bitmaps)
        store.Add().Assign(b.ToImage());
}

TEST(BitmapCollection, BlankImagesHaveTheirExactSize)
{
    TBitmapCollection store;
    const QByteArray one = [&] {
        store.Add();
        return store.StreamBytes();
    }();
    ASSERT_EQ(one.size(), 4 + 4 + 126) << "a 1 x 1 blob is 126 bytes";
    // The blob in the form the file fixes: header fields, then one pixel B G R A.
    QByteArray blob = "BM" + Int32(126) + Int32(0) + Int32(122) + Int32(108) + Int32(1) + Int32(1);
    blob += QByteArray("\x01\x00\x20\x00", 4) + Int32(3) + Int32(4) + Int32(0) + Int32(0) + Int32(0)
        + Int32(0);
    blob += Int32(0x00FF0000) + Int32(0x0000FF00) + Int32(0x000000FF)
        + Int32(static_cast<qint32>(0xFF000000u));
    blob += "BGRs" + QByteArray(36 + 12, '\0') + QByteArray(4, '\0');
    EXPECT_EQ(one, Int32(1) + Int32(126) + blob);

    for (int n : { 0, 2, 64 }) {
        TBitmapCollection blank;
        blank.TopUp(n);
        EXPECT_EQ(blank.StreamBytes().size(), 4 + n * 130) << n << " blank images";
    }
}

TEST(BitmapCollection, WrittenImagesReadBackEqual)
{
    const test::TempDataDir dir;
    const QString name = dir.FilePath(QStringLiteral("Bitmaps.Stream"));
    TBitmapCollection store;
    Fill(store, { Pattern(48, 48, 1), Pattern(1, 1, 2), Pattern(3, 17, 3), Pattern(256, 2, 4) });
    store.WriteMaps(name);
    EXPECT_EQ(dir.Read(QStringLiteral("Bitmaps.Stream")), store.StreamBytes());
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList { "Bitmaps.Stream" });

    TBitmapCollection back;
    back.Add(); // reading appends
    back.ReadMaps(name);
    ASSERT_EQ(back.Count(), 5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(back.GetBitmap(i + 1) == store.GetBitmap(i)) << "image " << i;
        EXPECT_EQ(back.GetBitmap(i + 1).CombineMode(), TCombineMode::Merge);
    }
    EXPECT_EQ(back.GetBitmap(1).Pixel(5, 6), Pattern(48, 48, 1).Pixel(5, 6)) << "alpha kept exactly";
    EXPECT_EQ(back.Hash(), [&] {
        TBitmapCollection same;
        same.ReadMaps(name);
        same.Insert(0);
        return same.Hash();
    }());
}

TEST(BitmapCollection, ReadingStopsAtDamageAndKeepsWhatCameBefore)
{
    const QByteArray a = EncodeBmp(Pattern(4, 4, 1));
    const QByteArray b = EncodeBmp(Pattern(2, 3, 2));
    const QByteArray good = Int32(a.size()) + a + Int32(b.size()) + b;
    QByteArray lying = EncodeBmp(Pattern(2, 2, 3));
    qToLittleEndian<qint32>(100, lying.data() + 18); // claims 100 x 2 pixels, carries 2 x 2
    QByteArray huge = EncodeBmp(Pattern(1, 1, 4));
    qToLittleEndian<qint32>(20000, huge.data() + 18);
    qToLittleEndian<qint32>(20000, huge.data() + 22);

    struct {
        const char* Name;
        QByteArray Stream;
        int Images; // images appended
        bool Raises; // EImageFormat
    } const cases[] = {
        { "complete", Int32(2) + good, 2, false },
        { "count larger than the images present", Int32(3) + good, 2, false },
        { "count smaller: the rest is not read", Int32(1) + good, 1, false },
        { "inside the third blob", Int32(3) + good + Int32(a.size()) + a.left(50), 2, false },
        { "inside a size field", Int32(3) + good + QByteArray("\x10\x00", 2), 2, false },
        { "size 0 with data after it", Int32(3) + Int32(a.size()) + a + Int32(0) + Int32(b.size()) + b, 1,
            false },
        { "negative size", Int32(2) + Int32(a.size()) + a + Int32(-5) + b, 1, false },
        { "size beyond the end", Int32(2) + Int32(a.size()) + a + Int32(b.size() + 1) + b, 1, false },
        { "negative count", Int32(-2) + good, 0, false },
        { "no complete count", QByteArray("\x02\x00\x00", 3), 0, false },
        { "empty", QByteArray(), 0, false },
        { "blob with a lying header",
            Int32(3) + Int32(a.size()) + a + Int32(lying.size()) + lying + Int32(b.size()) + b, 2, true },
        { "blob beyond the side limit", Int32(2) + Int32(a.size()) + a + Int32(huge.size()) + huge, 2, true },
        { "blob that is no picture", Int32(2) + Int32(a.size()) + a + Int32(9) + QByteArray("not a bmp"), 2,
            true },
    };
    for (const auto& c : cases) {
        TBitmapCollection store;
        store.Add().Assign(Pattern(5, 5, 9).ToImage());
        if (c.Raises) {
            try {
                store.ReadMapsFrom(c.Stream);
                ADD_FAILURE() << c.Name << ": no error";
            } catch (const EImageFormat& e) {
                EXPECT_STREQ(e.what(), "Unknown image format") << c.Name;
            }
        } else {
            EXPECT_NO_THROW(store.ReadMapsFrom(c.Stream)) << c.Name;
        }
        ASSERT_EQ(store.Count(), 1 + c.Images) << c.Name;
        EXPECT_TRUE(store.GetBitmap(0) == Pattern(5, 5, 9)) << c.Name << ": what was there stays";
        if (c.Images >= 1) {
            EXPECT_TRUE(store.GetBitmap(1) == Pattern(4, 4, 1)) << c.Name;
        }
        if (c.Raises) {
            EXPECT_EQ(store.GetBitmap(c.Images).Width(), 1)
                << c.Name << ": the bad blob leaves a blank image";
            EXPECT_EQ(store.GetBitmap(c.Images).Pixel(0, 0), 0u) << c.Name;
        } else if (c.Images == 2) {
            EXPECT_TRUE(store.GetBitmap(2) == Pattern(2, 3, 2)) << c.Name;
        }
    }
}

TEST(BitmapCollection, FileFailuresRaise)
{
    const test::TempDataDir dir;
    TBitmapCollection store;
    EXPECT_THROW(store.ReadMaps(dir.FilePath(QStringLiteral("missing.Stream"))), EFileError);
    store.Add();
    EXPECT_THROW(store.WriteMaps(dir.FilePath(QStringLiteral("no/folder/Bitmaps.Stream"))), EFileError);
}

TEST(BitmapCollection, ListOperationsKeepImagesInButtonOrder)
{
    TBitmapCollection store;
    TBitmap32& first = store.Add();
    EXPECT_EQ(first.Width(), 1);
    EXPECT_EQ(first.Height(), 1);
    EXPECT_EQ(first.Pixel(0, 0), 0u);
    EXPECT_EQ(first.DrawMode(), TDrawMode::Blend);
    EXPECT_EQ(first.CombineMode(), TCombineMode::Merge);
    EXPECT_EQ(first.Resampler(), TResamplerKind::Linear);

    store.Clear();
    for (int i = 0; i < 4; ++i)
        store.Add().SetPixel(0, 0, static_cast<TColor32>(i + 1));
    const auto order = [&store] {
        std::vector<TColor32> pixels;
        for (int i = 0; i < store.Count(); ++i)
            pixels.push_back(store.GetBitmap(i).Pixel(0, 0));
        return pixels;
    };
    store.Insert(1).SetPixel(0, 0, 9);
    EXPECT_EQ(order(), (std::vector<TColor32> { 1, 9, 2, 3, 4 }));
    store.Insert(5).SetPixel(0, 0, 7);
    store.Delete(0);
    EXPECT_EQ(order(), (std::vector<TColor32> { 9, 2, 3, 4, 7 }));
    TBitmap32* second = &store.GetBitmap(1);
    store.Swap(1, 4);
    EXPECT_EQ(order(), (std::vector<TColor32> { 9, 7, 3, 4, 2 }));
    EXPECT_EQ(&store.GetBitmap(4), second) << "swapping moves the images themselves";

    EXPECT_THROW(store.GetBitmap(5), std::out_of_range);
    EXPECT_THROW(store.GetBitmap(-1), std::out_of_range);
    EXPECT_THROW(store.Insert(6), std::out_of_range);
    EXPECT_THROW(store.Delete(5), std::out_of_range);
    EXPECT_THROW(store.Swap(0, 5), std::out_of_range);
    EXPECT_EQ(order(), (std::vector<TColor32> { 9, 7, 3, 4, 2 }));

    store.TopUp(3);
    EXPECT_EQ(store.Count(), 5) << "never shortened";
    store.TopUp(7);
    EXPECT_EQ(store.Count(), 7);
    store.PrepareForDrawing();
    EXPECT_EQ(store.GetBitmap(0).PixelAccess(), TPixelAccess::TransparentEdge);
    EXPECT_EQ(store.GetBitmap(6).PixelAccess(), TPixelAccess::TransparentEdge);
}

TEST(BitmapCollection, HashCoversTheBlobsInOrder)
{
    TBitmapCollection store;
    EXPECT_EQ(store.Hash(), 0u) << "an empty store";
    Fill(store, { Pattern(48, 48, 1), Pattern(7, 3, 2) });
    const QByteArray blobs = EncodeBmp(store.GetBitmap(0)) + EncodeBmp(store.GetBitmap(1));
    const quint32 hash = store.Hash();
    EXPECT_EQ(hash, HashLittle(blobs.constData(), static_cast<size_t>(blobs.size()), 0));

    store.Swap(0, 1);
    EXPECT_NE(store.Hash(), hash);
    store.Swap(0, 1);
    store.GetBitmap(1).SetPixel(6, 2, store.GetBitmap(1).Pixel(6, 2) ^ 0x01000000u); // one alpha bit
    EXPECT_NE(store.Hash(), hash);
}

TEST(BitmapCollection, StoreIsWrittenOnlyWhenItChanged)
{
    const test::TempDataDir dir;
    const QString name = dir.FilePath(QStringLiteral("Bitmaps.Stream"));
    TBitmapCollection store;
    Fill(store, { Pattern(8, 8, 1) });
    quint32 stored = store.Hash();
    EXPECT_FALSE(WriteMapsIfChanged(store, stored, name));
    EXPECT_FALSE(dir.Exists(QStringLiteral("Bitmaps.Stream")));

    store.GetBitmap(0).SetPixel(0, 0, 0xFF00FF00u);
    const quint32 changed = store.Hash();
    const QString unwritable = dir.FilePath(QStringLiteral("no/folder/Bitmaps.Stream"));
    EXPECT_THROW(WriteMapsIfChanged(store, stored, unwritable), EFileError);
    EXPECT_NE(stored, changed) << "a failed write is tried again next time";

    EXPECT_TRUE(WriteMapsIfChanged(store, stored, name));
    EXPECT_EQ(stored, changed);
    EXPECT_EQ(dir.Read(QStringLiteral("Bitmaps.Stream")), store.StreamBytes());
    EXPECT_FALSE(WriteMapsIfChanged(store, stored, name));
}

} // namespace
} // namespace qb
