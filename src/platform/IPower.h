#pragma once

namespace qb {

// The machine's power and session commands. `forced` asks the system not to wait for programs
// that object. Results are not reported: a refused command simply has no effect. UI thread.
class IPower {
public:
    virtual ~IPower() = default;
    virtual void Reboot(bool forced) = 0;
    virtual void PowerOff(bool forced) = 0;
    virtual void Hibernate(bool forced) = 0;
    virtual void Suspend(bool forced) = 0;
    virtual void LogOff(bool forced) = 0;
};

} // namespace qb
