// A study asked to stop by the system (SIGINT, SIGTERM, SIGHUP: Ctrl+C, a
// kill, a closed terminal) first ends its core and removes its temporary
// roots, then ends as it was asked.
#pragma once

#include <array>

namespace study {

/// While an object lives, the stop signals are noted instead of ending the
/// process at once; the study polls received() and winds down. When the
/// object goes, the handling there was before comes back and a signal noted
/// meanwhile is raised again, so the process ends as it was asked to (C
/// streams flushed first), after its owner has cleaned up. A signal the
/// process ignored stays ignored. One object at a time.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// The signal noted, 0 while none came.
    static int received();

private:
    using Handler = void (*)(int);
    std::array<Handler, 3> m_previous{};
};

} // namespace study
