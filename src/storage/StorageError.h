#pragma once

#include <QString>

#include <stdexcept>

namespace qb {

// Raised when a file cannot be read or written. Loading and saving code lets it reach the
// caller, which decides whether the failure matters (at start-up and shutdown it does not).
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

} // namespace qb
