#include "storage/IconResource.h"

#include "storage/StorageError.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace qb {

namespace {

// Bounds-checked little-endian reads at absolute offsets of a file.
class TFileView {
public:
    explicit TFileView(QFile& file)
        : FFile(file)
        , FSize(file.size())
    {
    }

    bool Read(qint64 offset, void* into, qint64 count)
    {
        if (offset < 0 || count < 0 || offset > FSize || count > FSize - offset || !FFile.seek(offset))
            return false;
        return FFile.read(static_cast<char*>(into), count) == count;
    }
    std::optional<quint8> U8(qint64 offset)
    {
        unsigned char b = 0;
        return Read(offset, &b, 1) ? std::optional<quint8>(b) : std::nullopt;
    }
    std::optional<quint16> U16(qint64 offset)
    {
        unsigned char b[2];
        if (!Read(offset, b, 2))
            return std::nullopt;
        return static_cast<quint16>(b[0] | b[1] << 8);
    }
    std::optional<quint32> U32(qint64 offset)
    {
        unsigned char b[4];
        if (!Read(offset, b, 4))
            return std::nullopt;
        return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
    }

private:
    QFile& FFile;
    qint64 FSize;
};

constexpr quint32 KGroupIconType = 14;
constexpr quint32 KHighBit = 0x80000000u;

struct TSection {
    quint32 VirtualAddress = 0;
    quint32 VirtualSize = 0;
    quint32 RawSize = 0;
    quint32 RawOffset = 0;
};

// The file offset of a relative virtual address; only addresses backed by file data count.
std::optional<qint64> RvaToOffset(const QList<TSection>& sections, quint32 rva)
{
    for (const TSection& s : sections) {
        if (rva < s.VirtualAddress)
            continue;
        const quint32 delta = rva - s.VirtualAddress;
        if (delta < s.RawSize && delta < qMax(s.VirtualSize, s.RawSize))
            return qint64(s.RawOffset) + delta;
    }
    return std::nullopt;
}

// The width and height bytes of the first group-icon resource, or nothing.
std::optional<QList<std::pair<quint8, quint8>>> FirstGroupIconSizes(TFileView& f)
{
    if (f.U16(0) != quint16(0x5A4D)) // "MZ"
        return std::nullopt;
    const auto peOffset = f.U32(0x3C);
    if (!peOffset || f.U32(*peOffset) != quint32(0x00004550)) // "PE\0\0"
        return std::nullopt;
    const qint64 coff = qint64(*peOffset) + 4;
    const auto sectionCount = f.U16(coff + 2);
    const auto optionalSize = f.U16(coff + 16);
    const qint64 opt = coff + 20;
    const auto magic = f.U16(opt);
    if (!sectionCount || !optionalSize || !magic)
        return std::nullopt;
    qint64 directories = 0;
    qint64 directoryCountAt = 0;
    if (*magic == 0x10B) {
        directoryCountAt = opt + 92;
        directories = opt + 96;
    } else if (*magic == 0x20B) {
        directoryCountAt = opt + 108;
        directories = opt + 112;
    } else {
        return std::nullopt;
    }
    const auto directoryCount = f.U32(directoryCountAt);
    if (!directoryCount || *directoryCount < 3)
        return std::nullopt;
    const auto resourceRva = f.U32(directories + 2 * 8);
    if (!resourceRva || *resourceRva == 0)
        return std::nullopt;

    QList<TSection> sections;
    const qint64 table = opt + *optionalSize;
    for (int i = 0; i < *sectionCount; ++i) {
        const qint64 at = table + 40 * qint64(i);
        const auto vsize = f.U32(at + 8), vaddr = f.U32(at + 12), rsize = f.U32(at + 16),
                   roff = f.U32(at + 20);
        if (!vsize || !vaddr || !rsize || !roff)
            return std::nullopt;
        sections.append({ *vaddr, *vsize, *rsize, *roff });
    }
    const auto root = RvaToOffset(sections, *resourceRva);
    if (!root)
        return std::nullopt;

    // A resource directory: 16 bytes of header, then named entries, then numbered entries, 8
    // bytes each; the high bit of an entry's offset marks a subdirectory.
    const auto entryCount = [&f](qint64 dir) -> std::optional<int> {
        const auto named = f.U16(dir + 12), numbered = f.U16(dir + 14);
        if (!named || !numbered)
            return std::nullopt;
        return int(*named) + int(*numbered);
    };
    const auto subdirectory = [&](qint64 entry) -> std::optional<qint64> {
        const auto offset = f.U32(entry + 4);
        if (!offset || !(*offset & KHighBit))
            return std::nullopt;
        return *root + (*offset & ~KHighBit);
    };

    const auto typeCount = entryCount(*root);
    if (!typeCount)
        return std::nullopt;
    std::optional<qint64> names;
    for (int i = 0; i < *typeCount && !names; ++i) {
        const qint64 entry = *root + 16 + 8 * qint64(i);
        const auto id = f.U32(entry);
        if (!id)
            return std::nullopt;
        if (*id == KGroupIconType)
            names = subdirectory(entry);
    }
    if (!names)
        return std::nullopt;
    // The first group icon the enumeration yields: named ones come before numbered ones, and
    // the directory stores them in that order.
    const auto nameCount = entryCount(*names);
    if (!nameCount || *nameCount == 0)
        return std::nullopt;
    const auto languages = subdirectory(*names + 16);
    if (!languages)
        return std::nullopt;
    const auto languageCount = entryCount(*languages);
    if (!languageCount || *languageCount == 0)
        return std::nullopt;
    const auto dataEntryOffset = f.U32(*languages + 16 + 4);
    if (!dataEntryOffset || (*dataEntryOffset & KHighBit))
        return std::nullopt;
    const qint64 dataEntry = *root + *dataEntryOffset;
    const auto dataRva = f.U32(dataEntry);
    const auto dataSize = f.U32(dataEntry + 4);
    if (!dataRva || !dataSize)
        return std::nullopt;
    const auto data = RvaToOffset(sections, *dataRva);
    if (!data)
        return std::nullopt;

    // GRPICONDIR: reserved, type, count, then 14-byte entries starting with width and height.
    const auto count = f.U16(*data + 4);
    if (!count)
        return std::nullopt;
    QList<std::pair<quint8, quint8>> sizes;
    for (int i = 0; i < *count; ++i) {
        const qint64 at = *data + 6 + 14 * qint64(i);
        if (at + 14 > qint64(*data) + *dataSize)
            break;
        const auto w = f.U8(at), h = f.U8(at + 1);
        if (!w || !h)
            break;
        sizes.append({ *w, *h });
    }
    return sizes;
}

} // namespace

bool HasDesiredIcon(const QString& fileName, int iconSize)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    QFile file(fileName);
    if (ext == QStringLiteral("ico") || ext == QStringLiteral("cur")) {
        if (!file.open(QIODevice::ReadOnly))
            throw EFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
        TFileView f(file);
        const auto count = f.U16(4);
        const auto wanted = static_cast<quint8>(iconSize & 0xFF);
        for (int i = 0; count && i < *count; ++i) {
            const auto width = f.U8(6 + 16 * qint64(i));
            if (!width) // a directory cut short has no more entries
                return false;
            if (*width == wanted)
                return true;
        }
        return false;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TFileView f(file);
    const auto sizes = FirstGroupIconSizes(f);
    if (!sizes)
        return false;
    if (iconSize == 256)
        iconSize = 0;
    for (const auto& [w, h] : *sizes)
        if (w == iconSize && h == iconSize)
            return true;
    return false;
}

} // namespace qb
