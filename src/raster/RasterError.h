#pragma once

#include <stdexcept>

namespace qb {

// Raised for a picture blob that cannot be decoded; the message is the one the program shows.
class EImageFormat : public std::runtime_error {
public:
    EImageFormat()
        : std::runtime_error("Unknown image format")
    {
    }
};

// Raised when a picture file cannot be read or written.
class EImageFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qb
