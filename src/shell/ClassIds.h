#pragma once

#include <QString>

namespace qb {

// The braced class identifier a "::{...}" target names: the last one when several are chained
// ("::{A}\::{B}\rest" names "{B}"). Empty when no closing brace is left.
QString ClassIdOfTarget(const QString& target);

// The location of the desktop that stands in for a well-known shell folder class identifier
// (computer:///, trash:///, network:/// or a file URL of a user folder); empty when unknown.
QString ClassIdLocation(const QString& classId);

} // namespace qb
