#pragma once

#include <QString>

namespace qb {

// One button of the bar. Entry i of the button list uses icon image i.
struct TButtonEntry {
    QString BType = QStringLiteral("Empty"); // "Empty", "Exec", "Popup", "Timer", "Events"
    QString Flags; // may contain "Protected", "Admin", "Disabled"
    QString Path;
    QString Params;
    QString Hint;
    QString WinPos; // "left,top,right,bottom[,delay]"

    bool IsEmpty() const { return BType.compare(QStringLiteral("Empty"), Qt::CaseInsensitive) == 0; }
    friend bool operator==(const TButtonEntry&, const TButtonEntry&) = default;
};

} // namespace qb
