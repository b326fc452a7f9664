// Independent runs of a study on the machine's cores: each item on a thread
// of its own, at most as many at once as the machine has cores.
#pragma once

#include <cstddef>
#include <functional>

namespace study {

/// How many runs go at once: `wanted` when above 0, otherwise the machine's
/// cores (at least 1).
int parallelRuns(int wanted);

/// Calls `work(i)` for every i below `count`, on up to `threads` threads at
/// once (parallelRuns), and returns when every call has returned. `work`
/// must be callable from several threads at once. The first exception a
/// call throws is thrown again once every thread has ended; the items not
/// begun by then are skipped.
void forEachAtOnce(std::size_t count, int threads, const std::function<void(std::size_t)>& work);

} // namespace study
