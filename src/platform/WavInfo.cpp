#include "platform/WavInfo.h"

#include <QtEndian>

namespace qb {

std::optional<int> WavDurationMs(QByteArrayView bytes)
{
    if (bytes.size() < 12 || bytes.first(4) != "RIFF" || bytes.sliced(8, 4) != "WAVE")
        return std::nullopt;

    quint32 byteRate = 0;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArrayView id = bytes.sliced(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.data() + pos + 4);
        const qsizetype body = pos + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > bytes.size())
                return std::nullopt;
            byteRate = qFromLittleEndian<quint32>(bytes.data() + body + 8);
        } else if (id == "data") {
            if (byteRate == 0)
                return std::nullopt;
            // A data chunk may claim more than the file holds (streams written before their end
            // was known); only what is there can play.
            const qint64 available = qMin<qint64>(size, bytes.size() - body);
            return int(available * 1000 / byteRate);
        }
        // Chunks are padded to an even length.
        pos = body + qint64(size) + (size & 1);
    }
    return std::nullopt;
}

} // namespace qb
