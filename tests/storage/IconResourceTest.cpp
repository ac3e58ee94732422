#include "storage/IconResource.h"

#include "storage/StorageError.h"
#include "support/TempDataDir.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace qb {
namespace {

void Put16(QByteArray& b, qsizetype at, quint16 v)
{
    if (b.size() < at + 2)
        b.resize(at + 2, '\0');
    qToLittleEndian(v, b.data() + at);
}

void Put32(QByteArray& b, qsizetype at, quint32 v)
{
    if (b.size() < at + 4)
        b.resize(at + 4, '\0');
    qToLittleEndian(v, b.data() + at);
}

// An icon or cursor file whose directory lists the given width bytes (height is another value,
// as only the width counts).
QByteArray IconFile(std::initializer_list<int> widths)
{
    QByteArray b;
    Put16(b, 0, 0);
    Put16(b, 2, 1);
    Put16(b, 4, static_cast<quint16>(widths.size()));
    qsizetype at = 6;
    for (int w : widths) {
        b.resize(at + 16, '\0');
        b[at] = static_cast<char>(w);
        b[at + 1] = 7;
        at += 16;
    }
    return b;
}

TEST(HasDesiredIcon, IconFilesCompareTheWidthByte)
{
    const test::TempDataDir dir;
    struct {
        const char* Name;
        QByteArray File;
        int Size;
        bool Expected;
    } const cases[] = {
        { "a.ico", IconFile({ 16, 32, 48 }), 48, true },
        { "a.ico", IconFile({ 16, 32 }), 48, false },
        { "big.ico", IconFile({ 16, 0 }), 256, true },
        { "big.ico", IconFile({ 16, 0 }), 512, true }, // taken modulo 256
        { "small.ico", IconFile({ 16, 32 }), 256, false },
        { "upper.ICO", IconFile({ 24 }), 24, true },
        { "pointer.cur", IconFile({ 32 }), 32, true },
        { "cut.ico", IconFile({ 16, 32, 48 }).left(6 + 16 + 5), 48, false }, // directory cut short
        { "short.ico", QByteArray("\0\0", 2), 16, false },
    };
    for (const auto& c : cases) {
        const QString path = dir.Write(QString::fromUtf8(c.Name), c.File);
        EXPECT_EQ(HasDesiredIcon(path, c.Size), c.Expected) << c.Name << " " << c.Size;
    }
    EXPECT_THROW(HasDesiredIcon(dir.FilePath(QStringLiteral("missing.ico")), 16), EFileError);
}

struct TGroup {
    bool Named = false;
    QList<std::pair<int, int>> Sizes; // width and height bytes
};

// A minimal Windows program file: one ".rsrc" section whose resource tree holds a group-icon
// type (14) with the given groups, in directory order. `pe32plus` chooses the 64-bit header.
QByteArray ProgramFile(bool pe32plus, const QList<TGroup>& groups, quint32 resourceType = 14)
{
    constexpr quint32 KSectionRva = 0x1000;
    constexpr quint32 KSectionFile = 0x200;
    QByteArray b;
    b.append("MZ");
    Put32(b, 0x3C, 0x40);
    b.resize(0x40, '\0');
    b.append(QByteArray("PE\0\0", 4));
    const qsizetype coff = 0x44;
    const quint16 optionalSize = pe32plus ? 240 : 224;
    Put16(b, coff, pe32plus ? 0x8664 : 0x14C);
    Put16(b, coff + 2, 1);
    Put16(b, coff + 16, optionalSize);
    const qsizetype opt = coff + 20;
    Put16(b, opt, pe32plus ? 0x20B : 0x10B);
    const qsizetype dirs = opt + (pe32plus ? 112 : 96);
    Put32(b, opt + (pe32plus ? 108 : 92), 16);

    // The resource tree, addressed from its start.
    QByteArray r;
    const auto directory = [&r](qsizetype at, int named, int numbered) {
        Put16(r, at + 12, static_cast<quint16>(named));
        Put16(r, at + 14, static_cast<quint16>(numbered));
    };
    const int groupCount = static_cast<int>(groups.size());
    const qsizetype typeDir = 16 + 8; // after the root and its one entry
    const qsizetype langDirs = typeDir + 16 + 8 * groupCount;
    const qsizetype dataEntries = langDirs + groupCount * (16 + 8);
    qsizetype data = dataEntries + groupCount * 16;
    directory(0, 0, 1);
    Put32(r, 16, resourceType);
    Put32(r, 20, 0x80000000u | static_cast<quint32>(typeDir));
    int named = 0;
    for (const TGroup& g : groups)
        named += g.Named ? 1 : 0;
    directory(typeDir, named, groupCount - named);
    for (int i = 0; i < groupCount; ++i) {
        const qsizetype entry = typeDir + 16 + 8 * i;
        Put32(r, entry, groups[i].Named ? 0x80000000u | 0x300u : static_cast<quint32>(100 + i));
        const qsizetype lang = langDirs + i * 24;
        Put32(r, entry + 4, 0x80000000u | static_cast<quint32>(lang));
        directory(lang, 0, 1);
        Put32(r, lang + 16, 0x409);
        const qsizetype dataEntry = dataEntries + 16 * i;
        Put32(r, lang + 20, static_cast<quint32>(dataEntry));
        const quint32 groupSize = static_cast<quint32>(6 + 14 * groups[i].Sizes.size());
        Put32(r, dataEntry, KSectionRva + static_cast<quint32>(data));
        Put32(r, dataEntry + 4, groupSize);
        Put16(r, data + 2, 1);
        Put16(r, data + 4, static_cast<quint16>(groups[i].Sizes.size()));
        qsizetype at = data + 6;
        for (const auto& [w, h] : groups[i].Sizes) {
            r.resize(at + 14, '\0');
            r[at] = static_cast<char>(w);
            r[at + 1] = static_cast<char>(h);
            at += 14;
        }
        data += groupSize;
    }

    Put32(b, dirs + 16, KSectionRva);
    Put32(b, dirs + 20, static_cast<quint32>(r.size()));
    const qsizetype section = opt + optionalSize;
    b.resize(section + 40, '\0');
    std::memcpy(b.data() + section, ".rsrc", 5);
    Put32(b, section + 8, static_cast<quint32>(r.size()));
    Put32(b, section + 12, KSectionRva);
    Put32(b, section + 16, static_cast<quint32>(r.size()));
    Put32(b, section + 20, KSectionFile);
    b.resize(KSectionFile, '\0');
    return b + r;
}

TEST(HasDesiredIcon, ProgramFilesUseTheirFirstGroupIcon)
{
    const test::TempDataDir dir;
    const TGroup sizes { false, { { 16, 16 }, { 48, 48 }, { 0, 0 }, { 32, 24 } } };
    struct {
        const char* Name;
        QByteArray File;
        int Size;
        bool Expected;
    } const cases[] = {
        { "app.exe", ProgramFile(false, { sizes }), 48, true },
        { "app.exe", ProgramFile(false, { sizes }), 256, true },
        { "app.exe", ProgramFile(false, { sizes }), 32, false }, // width alone is not enough
        { "app.exe", ProgramFile(false, { sizes }), 24, false },
        { "app64.dll", ProgramFile(true, { sizes }), 48, true },
        { "app64.dll", ProgramFile(true, { sizes }), 64, false },
        // Only the first group counts; named groups come first.
        { "two.exe", ProgramFile(false, { { true, { { 32, 32 } } }, { false, { { 48, 48 } } } }), 48, false },
        { "two.exe", ProgramFile(false, { { true, { { 32, 32 } } }, { false, { { 48, 48 } } } }), 32, true },
        { "none.exe", ProgramFile(false, {}), 48, false },
        { "cursors.exe", ProgramFile(false, { sizes }, 12), 48, false }, // group cursors, not icons
        { "any.name", ProgramFile(false, { sizes }), 16, true },
        { "cut.exe", ProgramFile(false, { sizes }).left(0x200 + 40), 48, false },
        { "text.exe", QByteArray("MZ but nothing else"), 48, false },
        { "script.sh", QByteArray("#!/bin/sh\n"), 48, false },
    };
    for (const auto& c : cases) {
        const QString path = dir.Write(QString::fromUtf8(c.Name), c.File);
        EXPECT_EQ(HasDesiredIcon(path, c.Size), c.Expected) << c.Name << " " << c.Size;
    }
    EXPECT_FALSE(HasDesiredIcon(dir.FilePath(QStringLiteral("missing.exe")), 48));
}

} // namespace
} // namespace qb
