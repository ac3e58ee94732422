#pragma once

#include "storage/ButtonEntry.h"
#include "storage/MiniIni.h"

#include <ostream>

// Readable test failures: gtest finds these through the printed type's namespace.
namespace qb {

inline void PrintTo(const TIniLine& line, std::ostream* os)
{
    *os << line.Name.toStdString() << "=" << line.Value.toStdString();
}

inline void PrintTo(const TButtonEntry& e, std::ostream* os)
{
    *os << "{" << e.BType.toStdString() << "|" << e.Flags.toStdString() << "|" << e.Path.toStdString() << "|"
        << e.Params.toStdString() << "|" << e.Hint.toStdString() << "|" << e.WinPos.toStdString() << "}";
}

} // namespace qb
