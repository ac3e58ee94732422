#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qb {

// Replaces the file as a whole: the bytes go to a temporary file beside it, which then takes
// the file's place, so a crash or a full disk never leaves a truncated file behind. Raises
// EFileError when the file cannot be written.
void WriteFileAtomically(const QString& fileName, QByteArrayView bytes);

// The whole content of a file; raises EFileError when it cannot be opened or read.
QByteArray ReadWholeFile(const QString& fileName);

} // namespace qb
