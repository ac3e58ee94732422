#pragma once

#include <QImage>
#include <QString>

namespace qb {

// Icons and display names of files, desktop entries and icon references. UI thread.
class IIconSource {
public:
    virtual ~IIconSource() = default;
    // The icon of `target` at about `size` pixels; a null image when none is found.
    virtual QImage IconFor(const QString& target, int size) const = 0;
    virtual QString DisplayName(const QString& target) const = 0;
};

} // namespace qb
