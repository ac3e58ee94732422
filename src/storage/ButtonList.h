#pragma once

#include "storage/ButtonEntry.h"

#include <QList>
#include <QString>

namespace qb {

// The buttons of all pages; entry (page x Rows + row) x Cols + column, entry i uses icon
// image i.
using TButtonList = QList<TButtonEntry>;

inline const QString KIconListIni = QStringLiteral("IconList.ini");
inline const QString KIconListTxt = QStringLiteral("IconList.txt");

// `count` (Rows x Cols x Banks) entries from "IconList.ini" in `dataDir`: section i + 1 gives
// entry i; missing sections and a missing file give "Empty" buttons, sections beyond `count`
// are ignored. A file that exists but cannot be read raises EFileError.
TButtonList LoadButtonList(const QString& dataDir, int count);

// Replaces "IconList.ini" in `dataDir` with the whole list; raises EFileError on failure.
void SaveButtonList(const QString& dataDir, const TButtonList& buttons);

// The one-line form: an optional prefix ("!" Admin, "*" Protected, "-" Disabled), the base
// ("Popup|", "Timer|" or "Events|" + Params, or Path [+ "|" + Params with "|" written as "¤"]),
// then "¦" + Hint and "®" + WinPos. Blank text is an "Empty" entry.
TButtonEntry DecodeEntryLine(const QString& line);

// The display form of an entry (the raw hint): prefix, base, "®" + WinPos, "¦" + Hint; empty
// for an "Empty" entry. It is shown, never decoded again.
QString EntryLine(const TButtonEntry& entry);

// Converts the legacy "IconList.txt" of `dataDir` into "IconList.ini", once: only when the
// latter does not exist and the former does. True when it converted. "IconList.txt" stays.
bool MigrateIconListToIni(const QString& dataDir);

} // namespace qb
