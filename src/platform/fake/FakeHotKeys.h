#pragma once

#include "platform/IHotKeys.h"

#include <QHash>
#include <QSet>

namespace qb {

class FakeHotKeys final : public IHotKeys {
    Q_OBJECT
public:
    using IHotKeys::IHotKeys;

    bool Register(int id, QKeyCombination keys) override
    {
        if (Taken.contains(keys))
            return false;
        Registered.insert(id, keys);
        return true;
    }
    void Unregister(int id) override { Registered.remove(id); }

    // Presses a registered combination.
    void Press(QKeyCombination keys)
    {
        for (auto it = Registered.cbegin(); it != Registered.cend(); ++it)
            if (it.value() == keys)
                Q_EMIT Activated(it.key());
    }

    QHash<int, QKeyCombination> Registered;
    // Combinations that another program holds.
    QSet<QKeyCombination> Taken;
};

} // namespace qb
