// Any bytes as a settings or button list file: parsing never fails, and what the store saves
// parses back into the same keys and values (only sections left without keys disappear).
#include "storage/MiniIni.h"

#include <cstdint>
#include <cstdlib>

namespace {

QList<std::pair<QString, QList<qb::TIniLine>>> Content(const qb::TMiniIni& ini)
{
    QList<std::pair<QString, QList<qb::TIniLine>>> content;
    for (const QString& section : ini.Sections()) {
        const QList<qb::TIniLine> lines = ini.SectionLines(section);
        if (!lines.isEmpty())
            content.append({ section, lines });
    }
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qb::TMiniIni ini;
    ini.ParseBytes(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (const QString& section : ini.Sections())
        for (const qb::TIniLine& line : ini.SectionLines(section)) {
            (void)ini.GetValue(section, line.Name, 0);
            (void)ini.GetValue(section, line.Name, false);
        }
    qb::TMiniIni again;
    again.ParseBytes(ini.ToBytes());
    if (Content(again) != Content(ini))
        std::abort();
    return 0;
}
