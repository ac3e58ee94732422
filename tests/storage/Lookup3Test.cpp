#include "storage/Lookup3.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(Lookup3, MatchesThePublishedVectors)
{
    struct {
        QByteArray Key;
        quint32 Init;
        quint32 Hash;
    } const cases[] = {
        { "", 0, 0xdeadbeef },
        { "", 0xdeadbeef, 0xbd5b7dde },
        { "Four score and seven years ago", 0, 0x17770551 },
        { "Four score and seven years ago", 1, 0xcd628161 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(HashLittle(c.Key.constData(), static_cast<size_t>(c.Key.size()), c.Init), c.Hash)
            << c.Key.constData();
}

TEST(Lookup3, PiecesHashLikeTheWhole)
{
    QByteArray data(1000, Qt::Uninitialized);
    QRandomGenerator random(11);
    for (char& b : data)
        b = static_cast<char>(random.bounded(256));
    // Lengths around the 12-byte block, and piece sizes that do and do not line up with it.
    for (const qsizetype length : { 1, 11, 12, 13, 24, 25, 999, 1000 }) {
        const QByteArrayView whole = QByteArrayView(data).first(length);
        const quint32 expected = HashLittle(whole.data(), static_cast<size_t>(length), 0);
        for (const qsizetype piece : { 1, 5, 12, 13, 24, 100, 1000 }) {
            TLookup3 hash(static_cast<size_t>(length), 0);
            for (qsizetype at = 0; at < length; at += piece) {
                hash.Feed({}); // empty pieces change nothing
                hash.Feed(whole.sliced(at, std::min(piece, length - at)));
            }
            EXPECT_EQ(hash.Result(), expected) << "length " << length << " piece " << piece;
        }
    }
    EXPECT_EQ(TLookup3(0, 0).Result(), 0xdeadbeefu);
}

} // namespace
} // namespace qb
