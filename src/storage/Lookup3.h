#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace qb {

// Bob Jenkins' lookup3 hash of a byte string, the little-endian byte-wise variant
// ("hashlittle"). The icon store uses it with initial value 0 to notice changes.
quint32 HashLittle(const void* key, size_t length, quint32 initValue);

// The same hash over bytes that arrive in pieces (the total length must be known first, as the
// hash starts from it). Feeding the pieces of a string gives HashLittle of the whole string.
class TLookup3 {
public:
    TLookup3(size_t totalLength, quint32 initValue);
    void Feed(QByteArrayView bytes);
    // The hash once exactly totalLength bytes were fed.
    quint32 Result() const;

private:
    void Mix(const unsigned char* block);

    quint32 FA;
    quint32 FB;
    quint32 FC;
    // Up to one block: the last block gets the final mix, not the ordinary one, so a full
    // block is only mixed once more bytes are known to follow it.
    unsigned char FPending[12] = {};
    size_t FPendingSize = 0;
    size_t FLength;
    size_t FFed = 0;
};

} // namespace qb
