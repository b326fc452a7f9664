// Benchmark of a run's file work: a run in a fresh root and a re-run in the
// same root right after (which replaces the set the first one wrote), for one
// or more builds of PRGVELDRON side by side. Prints figures; never run as a test.
//   rerun_bench [CORE ...]   default: this build's PRGVELDRON
// Roots go to $VELDRON_BENCH_DIR, else /dev/shm where there is one (see
// klemes_bench for why); set VELDRON_BENCH_DIR=/tmp to see a disk's costs.
#include "testkit/reservoir_case.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using veldron::testing::ReservoirCase;

namespace {

using Clock = std::chrono::steady_clock;

fs::path benchDir() {
    if (const char* dir = std::getenv("VELDRON_BENCH_DIR"); dir && *dir) return dir;
    return fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// One run of `core` on `root`, console to /dev/null; wall seconds, or a
// negative number when the run did not end normally.
double timedRun(const fs::path& core, const fs::path& root) {
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("VELDRON_ROOT", root.c_str(), 1);
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 1) < 0) ::_exit(127);
        ::execl(core.c_str(), "PRGVELDRON", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

struct Timings {
    std::vector<double> fresh, again;
};

std::string figures(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    char text[48];
    std::snprintf(text, sizeof text, "%8.2f /%8.2f", 1e3 * v[v.size() / 2], 1e3 * v.front());
    return text;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> cores(argv + 1, argv + argc);
    if (cores.empty()) cores.push_back(VELDRON_CORE_EXE);
    ReservoirCase longFlood = ReservoirCase::valley(1.0);
    longFlood.inflow.assign(100000, 4.0);
    const struct {
        const char* title;
        ReservoirCase rc;
        int rounds;
    } cases[] = {{"sample reservoir, 48 steps", ReservoirCase::valley(1.0), 101},
                 {"worst case, 1000 steps of gradual manipulation", ReservoirCase::worst(1000), 51},
                 {"100,000 steps of 4 m3/s", longFlood, 11}};

    std::printf("A run in a fresh root, then a re-run in the same root; roots in %s.\n"
                "ms, median / minimum of the rounds; the builds interleaved round by round.\n\n",
                benchDir().c_str());
    bool allRan = true;
    for (const auto& c : cases) {
        std::vector<Timings> timings(cores.size());
        for (int r = 0; r < c.rounds; ++r)
            for (std::size_t k = 0; k < cores.size(); ++k) {
                const fs::path root = benchDir() / ("veldron_rerun_" + std::to_string(::getpid()));
                fs::remove_all(root);
                c.rc.writeRoot(root);
                timings[k].fresh.push_back(timedRun(cores[k], root));
                std::ofstream(root / "PULT_na_vypocty" / "IN_START_VYP", std::ios::binary)
                    << c.rc.values.at("IN_START_VYP") << "\r\n";
                timings[k].again.push_back(timedRun(cores[k], root));
                fs::remove_all(root);
            }
        std::printf("%s, %d rounds\n%-52s %19s %19s\n", c.title, c.rounds, "core", "fresh root",
                    "re-run");
        for (std::size_t k = 0; k < cores.size(); ++k) {
            const auto failed = [](const std::vector<double>& v) {
                return std::any_of(v.begin(), v.end(), [](double s) { return s < 0; });
            };
            allRan = allRan && !failed(timings[k].fresh) && !failed(timings[k].again);
            std::printf("%-52s %19s %19s\n", cores[k].string().substr(0, 52).c_str(),
                        figures(timings[k].fresh).c_str(), figures(timings[k].again).c_str());
        }
        std::printf("\n");
    }
    if (!allRan) std::printf("A RUN DID NOT END NORMALLY\n");
    return allRan ? 0 : 1;
}
