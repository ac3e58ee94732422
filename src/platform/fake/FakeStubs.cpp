// The fakes are header-only; this unit gives their library a body for moc's output.
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeSound.h"
