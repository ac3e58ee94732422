#pragma once

#include <QByteArrayView>
#include <optional>

namespace qb {

// Playing time in milliseconds of a RIFF/WAVE file's bytes; empty when the bytes are not a WAVE
// file with a format chunk before its data chunk.
std::optional<int> WavDurationMs(QByteArrayView bytes);

} // namespace qb
