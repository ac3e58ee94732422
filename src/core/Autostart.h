#pragma once

#include <QString>

namespace qb {

// The desktop entry that starts the program with the session:
// $XDG_CONFIG_HOME (or ~/.config) + "/autostart/" + bareName + ".desktop".
QString AutostartFile(const QString& bareName);

// Without `toggle`: returns whether the entry exists. With `toggle`: creates the entry (program
// file as command, its folder as working folder) when `on` is false, removes it when `on` is
// true, and returns the new state. A failed write leaves the state as it was.
bool CopyLinkToAutostart(bool toggle, bool on, const QString& exeFile, const QString& bareName);

// The text of the entry for `exeFile`.
QString AutostartEntry(const QString& exeFile);

} // namespace qb
