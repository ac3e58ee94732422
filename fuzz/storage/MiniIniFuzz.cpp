// Any bytes as a settings or button list file: parsing never fails, and what the store saves
// parses back into the same store.
#include "storage/MiniIni.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qb::TMiniIni ini;
    ini.ParseBytes(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QByteArray saved = ini.ToBytes();
    for (const QString& section : ini.Sections())
        for (const qb::TIniLine& line : ini.SectionLines(section)) {
            (void)ini.GetValue(section, line.Name, 0);
            (void)ini.GetValue(section, line.Name, false);
        }
    qb::TMiniIni again;
    again.ParseBytes(saved);
    if (again.ToBytes() != saved)
        std::abort();
    return 0;
}
