#include "storage/Lookup3.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qb {

namespace {

constexpr quint32 Rot(quint32 x, int k)
{
    return std::rotl(x, k);
}

// clang-format off
inline void MixBlock(quint32& a, quint32& b, quint32& c)
{
    a -= c; a ^= Rot(c, 4);  c += b;
    b -= a; b ^= Rot(a, 6);  a += c;
    c -= b; c ^= Rot(b, 8);  b += a;
    a -= c; a ^= Rot(c, 16); c += b;
    b -= a; b ^= Rot(a, 19); a += c;
    c -= b; c ^= Rot(b, 4);  b += a;
}

inline void FinalMix(quint32& a, quint32& b, quint32& c)
{
    c ^= b; c -= Rot(b, 14);
    a ^= c; a -= Rot(c, 11);
    b ^= a; b -= Rot(a, 25);
    c ^= b; c -= Rot(b, 16);
    a ^= c; a -= Rot(c, 4);
    b ^= a; b -= Rot(a, 14);
    c ^= b; c -= Rot(b, 24);
}
// clang-format on

inline quint32 Word(const unsigned char* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        quint32 w;
        std::memcpy(&w, p, 4);
        return w;
    } else {
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }
}

// The last 1..12 bytes; bytes beyond the key count as zero.
inline void AddTail(quint32& a, quint32& b, quint32& c, const unsigned char* p, size_t n)
{
    unsigned char block[12] = {};
    std::memcpy(block, p, n);
    a += Word(block);
    b += Word(block + 4);
    c += Word(block + 8);
}

} // namespace

quint32 HashLittle(const void* key, size_t length, quint32 initValue)
{
    quint32 a = 0xdeadbeef + static_cast<quint32>(length) + initValue;
    quint32 b = a;
    quint32 c = a;
    const auto* p = static_cast<const unsigned char*>(key);
    while (length > 12) {
        a += Word(p);
        b += Word(p + 4);
        c += Word(p + 8);
        MixBlock(a, b, c);
        length -= 12;
        p += 12;
    }
    if (length == 0)
        return c; // the empty tail takes no final mix
    AddTail(a, b, c, p, length);
    FinalMix(a, b, c);
    return c;
}

TLookup3::TLookup3(size_t totalLength, quint32 initValue)
    : FA(0xdeadbeef + static_cast<quint32>(totalLength) + initValue)
    , FB(FA)
    , FC(FA)
    , FLength(totalLength)
{
}

void TLookup3::Mix(const unsigned char* block)
{
    FA += Word(block);
    FB += Word(block + 4);
    FC += Word(block + 8);
    MixBlock(FA, FB, FC);
}

void TLookup3::Feed(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = static_cast<size_t>(bytes.size());
    if (n == 0)
        return;
    FFed += n;
    if (FPendingSize > 0 || n <= 12) {
        const size_t take = std::min(n, 12 - FPendingSize);
        std::memcpy(FPending + FPendingSize, p, take);
        FPendingSize += take;
        p += take;
        n -= take;
        if (n == 0)
            return;
        Mix(FPending); // more bytes follow, so the pending block was not the last
        FPendingSize = 0;
    }
    // Keep back the last 1..12 bytes.
    while (n > 12) {
        Mix(p);
        p += 12;
        n -= 12;
    }
    std::memcpy(FPending, p, n);
    FPendingSize = n;
}

quint32 TLookup3::Result() const
{
    Q_ASSERT(FFed == FLength);
    if (FPendingSize == 0)
        return FC;
    quint32 a = FA;
    quint32 b = FB;
    quint32 c = FC;
    AddTail(a, b, c, FPending, FPendingSize);
    FinalMix(a, b, c);
    return c;
}

} // namespace qb
