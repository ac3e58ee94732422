#include "platform/WavInfo.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace qb {
namespace {

QByteArray Le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

// A PCM WAVE file: 22050 Hz, mono, 16 bit, `dataBytes` of samples, optional extra chunk first.
QByteArray Wave(quint32 dataBytes, const QByteArray& extraChunk = {}, quint32 claimedData = 0)
{
    QByteArray fmt = QByteArray("fmt ") + Le32(16);
    fmt += QByteArray::fromHex("01000100") + Le32(22050) + Le32(44100) + QByteArray::fromHex("02001000");
    QByteArray data
        = QByteArray("data") + Le32(claimedData ? claimedData : dataBytes) + QByteArray(dataBytes, 0);
    QByteArray body = QByteArray("WAVE") + extraChunk + fmt + data;
    return QByteArray("RIFF") + Le32(body.size()) + body;
}

TEST(WavDuration, ReadsLengthFromFormatAndData)
{
    EXPECT_EQ(WavDurationMs(Wave(44100)), 1000);
    EXPECT_EQ(WavDurationMs(Wave(4410)), 100);
    // An odd-sized chunk before the format chunk is padded to an even length.
    EXPECT_EQ(WavDurationMs(Wave(22050, QByteArray("LIST") + Le32(3) + QByteArray("abc") + '\0')), 500);
    // A data chunk that claims more than the file holds counts what is there.
    EXPECT_EQ(WavDurationMs(Wave(4410, {}, 1u << 30)), 100);
}

TEST(WavDuration, RejectsWhatIsNotAWave)
{
    EXPECT_FALSE(WavDurationMs(QByteArray()).has_value());
    EXPECT_FALSE(WavDurationMs(QByteArray("RIFF\x04\0\0\0WAVX", 12)).has_value());
    EXPECT_FALSE(WavDurationMs(Wave(100).left(30)).has_value()); // cut inside the format chunk
    // A huge chunk size must not wrap the position around.
    EXPECT_FALSE(WavDurationMs(QByteArray("RIFF\0\0\0\0WAVEjunk\xff\xff\xff\xff", 20)).has_value());
}

TEST(WavDuration, BuiltinCuesAreShortWaves)
{
    for (const char* cue : { "LTING", "CLICK", "GLICK" }) {
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(cue)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << cue;
        const auto ms = WavDurationMs(file.readAll());
        ASSERT_TRUE(ms.has_value()) << cue;
        EXPECT_GT(*ms, 10) << cue;
        EXPECT_LT(*ms, 1500) << cue;
    }
}

} // namespace
} // namespace qb
