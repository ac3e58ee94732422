#pragma once

#include <QImage>
#include <QRect>

namespace qb {

// Pictures of what the screen shows. UI thread.
class IScreenCapture {
public:
    virtual ~IScreenCapture() = default;
    // The screen content of `rect` (screen pixels); a null image when it cannot be read.
    virtual QImage Grab(const QRect& rect) const = 0;
};

} // namespace qb
