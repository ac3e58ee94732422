#pragma once

#include <stdexcept>

namespace qb
{

// Raised for a picture blob that cannot be decoded; the message is the one the program shows.
class EImageFormat : public std::runtime_error
{
public:
    EImageFormat()
        : std::runtime_error("Unknown image format")
    {
    }
};

} // namespace qb
