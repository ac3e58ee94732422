#pragma once

#include "platform/IInput.h"

namespace qb {

class FakeInput final : public IInput {
public:
    TInputState State() const override { return Held; }
    QPoint PointerPos() const override { return Pointer; }
    void SendPasteChord() override { ++Pastes; }

    TInputState Held;
    QPoint Pointer;
    int Pastes = 0;
};

} // namespace qb
