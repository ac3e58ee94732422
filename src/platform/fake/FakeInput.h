#pragma once

#include "platform/IInput.h"

#include <QSet>

namespace qb {

class FakeInput final : public IInput {
public:
    TInputState State() const override { return Held; }
    QPoint PointerPos() const override { return Pointer; }
    bool KeyHeld(int key) const override { return HeldKeys.contains(key); }
    void SendPasteChord() override { ++Pastes; }

    TInputState Held;
    QPoint Pointer;
    QSet<int> HeldKeys;
    int Pastes = 0;
};

} // namespace qb
