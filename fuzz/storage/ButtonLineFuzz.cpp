// Any text as the one-line form of a button.
#include "storage/ButtonList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qb::TButtonEntry entry = qb::DecodeEntryLine(line);
    if (entry.BType.isEmpty())
        std::abort();
    (void)qb::EntryLine(entry);
    return 0;
}
