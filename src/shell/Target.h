#pragma once

#include <QString>

#include <functional>

namespace qb {

// Tells whether a file exists; QFileInfo::exists when not given.
using TFileExists = std::function<bool(const QString&)>;

// Replaces the environment references $NAME, ${NAME} and %NAME% by the variables' values.
// References to variables that are not set stay as written, and so does the whole text when
// the expansion would exceed 32767 characters.
QString ExpandEnvironment(const QString& text);

// The extension of a target's last path component, with its dot ("" when it has none).
QString TargetExtension(const QString& target);

// The folder a target lies in: the target without its last path component and without a
// trailing separator unless that is the root ("/", "C:\"). Empty for a bare name.
QString TargetFolder(const QString& target);

// True for texts like "C:\tools\x.exe" or "d:/x".
bool LooksLikeWindowsPath(const QString& text);

// Makes "./" and "../" targets absolute against the data folder. A Windows path to a file
// that does not exist is tried once more on the drive of the program's own folder, when that
// folder has a drive letter at all; the text is returned unchanged when that does not exist
// either.
QString NormalizeTarget(
    const QString& text, const QString& dataDir, const QString& exeDir, const TFileExists& exists = {});

} // namespace qb
