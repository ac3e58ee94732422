#pragma once

namespace qb {

// Process-wide flags every subsystem may read: settings or buttons changed since they were last
// written, and shutdown has begun (background work tests it before handing results back).
struct TAppState {
    bool Modified = false;
    bool Closing = false;
};

} // namespace qb
