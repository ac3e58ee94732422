#pragma once

#include <functional>

namespace qb::test {

// Runs the event loop until `done` holds or `timeoutMs` has passed; returns whether it holds.
// For events from outside the test (a window manager, a sound device, another process), never
// for the program's own timing, which tests step with the fake clock.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

} // namespace qb::test
