// Noting the stop signals while a study cleans up.
#include "study/stop_signals.h"

#include <csignal>
#include <cstdio>
#include <iterator>

namespace study {

namespace {

volatile std::sig_atomic_t g_received = 0;

extern "C" void noteStop(int signal) {
    g_received = signal;
}

#ifdef SIGHUP
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
#else
constexpr int kStopSignals[] = {SIGINT, SIGTERM};
#endif
constexpr std::size_t kCount = std::size(kStopSignals);

} // namespace

StopSignals::StopSignals() {
    g_received = 0;
    static_assert(kCount <= std::tuple_size_v<decltype(m_previous)>);
    for (std::size_t i = 0; i < kCount; ++i) {
        m_previous[i] = std::signal(kStopSignals[i], noteStop);
        // A signal ignored (a job started in the background) stays ignored.
        if (m_previous[i] == SIG_IGN) std::signal(kStopSignals[i], SIG_IGN);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kCount; ++i)
        if (m_previous[i] != SIG_ERR) std::signal(kStopSignals[i], m_previous[i]);
    const int signal = g_received;
    g_received = 0;
    if (signal != 0) {
        std::fflush(nullptr);
        std::raise(signal);
    }
}

int StopSignals::received() {
    return g_received;
}

} // namespace study
