// Independent runs of a study on the machine's cores.
#include "study/parallel_runs.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace study {

int parallelRuns(int wanted) {
    if (wanted > 0) return wanted;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void forEachAtOnce(std::size_t count, int threads, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr thrown;
    std::mutex thrownGuard;
    const auto takeItems = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(thrownGuard);
                if (!thrown) thrown = std::current_exception();
                next = count;
            }
        }
    };
    const std::size_t helpers =
        std::min(count, static_cast<std::size_t>(parallelRuns(threads))) - (count > 0 ? 1 : 0);
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < helpers; ++t)
        pool.emplace_back(takeItems);
    // The calling thread takes items too, so one thread needs no other.
    takeItems();
    for (std::thread& thread : pool)
        thread.join();
    if (thrown) std::rethrow_exception(thrown);
}

} // namespace study
