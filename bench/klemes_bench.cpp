// Benchmark of the core: whole runs of the worst-case reservoir as separate
// processes, net of the start of an empty program, and the Klemes step alone,
// for the search over segments (the production solver) and the per-segment
// solver that visits every piece, side by side. Prints figures; it is never
// run as a test.
//   klemes_bench                  every figure, both solvers
//   klemes_bench --with-scan      also the speed-up over the one-visit sample scan (about a minute)
//   klemes_bench --write CASE DIR writes a case (worst, one, long) as an installation root,
//                                 e.g. to profile PRGVELDRON on it
//   klemes_bench --run SOLVER     one run on $VELDRON_ROOT with a solver (search, per-segment)
//   klemes_bench --empty          the empty program whose start is subtracted
#include "core/run.h"
#include "exchange/exchange_paths.h"
#include "testkit/klemes_solvers.h"
#include "testkit/reservoir_case.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using veldron::testing::ReservoirCase;

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
    const char* name;
    const char* title;
    int steps;
    int rounds; // whole-process runs of each program
};
constexpr Case kCases[] = {{"worst", "worst case, 1000 steps", 1000, 31},
                           {"one", "one step, same reservoir", 1, 31},
                           {"long", "100,000 steps", 100000, 3}};

veldron::KlemesSolver solverNamed(const std::string& name) {
    return name == "per-segment" ? veldron::testing::klemesStepPerSegment : veldron::klemesStep;
}

// Where the roots go: $VELDRON_BENCH_DIR, else a file system in memory where
// there is one. On a disk, emptying a file written a moment before can wait
// for its writeback (ext4: milliseconds per file) and creating one after a
// deletion scans the recently freed inodes: costs of the file system's recent
// past, not of the program, which would drown the figures of a short run.
fs::path benchDir() {
    if (const char* dir = std::getenv("VELDRON_BENCH_DIR"); dir && *dir) return dir;
    if (fs::is_directory("/dev/shm")) return "/dev/shm";
    return fs::temp_directory_path();
}

fs::path freshRoot(const std::string& name) {
    const fs::path root = benchDir() / (name + "_" + std::to_string(::getpid()));
    fs::remove_all(root);
    return root;
}

fs::path selfPath() {
    return fs::read_symlink("/proc/self/exe");
}

// Starts a program with VELDRON_ROOT set and no console; returns wall seconds.
double runProgram(const fs::path& program, const std::vector<std::string>& args,
                  const fs::path& root, long* peakKb = nullptr, int* status = nullptr) {
    std::vector<char*> argv;
    std::vector<std::string> all{program.filename().string()};
    all.insert(all.end(), args.begin(), args.end());
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout); // the child must not write what this process has buffered
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("VELDRON_ROOT", root.c_str(), 1);
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 1) < 0) ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int raw = 0;
    rusage usage{};
    ::wait4(pid, &raw, 0, &usage);
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (peakKb) *peakKb = usage.ru_maxrss;
    return seconds;
}

// Every run consumes IN_START_VYP; the next one needs it again.
void prepareRun(const fs::path& root, const ReservoirCase& c) {
    std::ofstream(root / "PULT_na_vypocty" / "IN_START_VYP", std::ios::binary)
        << c.values.at("IN_START_VYP") << "\r\n";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double minimum(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

std::size_t records(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The Klemes step alone, silent, on the fully open curve of the worst case,
// for storage lines spread across its range: ns per step.
double nsPerStep(veldron::KlemesSolver solver, const veldron::KlemesCurve& curve,
                 double& checksum) {
    const int n = 200000;
    checksum = 0;
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) {
        const veldron::StorageLine line{static_cast<float>(i % 9000) + 0.5f, 600.0f,
                                        static_cast<std::int64_t>(i % 1000) * 90000};
        if (const auto row = solver(curve, line, nullptr)) checksum += row->flow;
    }
    return 1e9 * std::chrono::duration<double>(Clock::now() - t0).count() / n;
}

double runInProcess(const fs::path& root, veldron::KlemesSolver solver, int& status) {
    std::ostringstream console;
    std::istringstream none;
    const auto t0 = Clock::now();
    status = veldron::runCore(root, console, none, solver);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

bool compareWithScan() {
    // The worst-case reservoir for as many steps as the scan finishes in about a minute.
    const ReservoirCase small = ReservoirCase::worst(25);
    const fs::path fastRoot = freshRoot("veldron_bench_fast");
    const fs::path scanRoot = freshRoot("veldron_bench_scan");
    small.writeRoot(fastRoot);
    small.writeRoot(scanRoot);
    int fastStatus = 0, scanStatus = 0;
    const double fastTime = runInProcess(fastRoot, veldron::klemesStep, fastStatus);
    const double scanTime =
        runInProcess(scanRoot, veldron::testing::klemesStepPieceScan, scanStatus);
    const bool same =
        veldron::testing::outputFiles(fastRoot) == veldron::testing::outputFiles(scanRoot) &&
        fastStatus == scanStatus;
    std::printf("\nThe worst case for 25 steps (550 Klemes steps), in process:\n"
                "  search over segments %.4f s, one-visit-per-sample scan %.3f s: speed-up "
                "%.0fx, output %s\n",
                fastTime, scanTime, scanTime / fastTime, same ? "identical" : "DIFFERENT");
    fs::remove_all(fastRoot);
    fs::remove_all(scanRoot);
    return same;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--empty") return 0;
    if (args.size() == 2 && args[0] == "--run")
        return veldron::runCore(exchange::installationRoot(), std::cout, std::cin,
                                solverNamed(args[1]));
    if (args.size() == 3 && args[0] == "--write") {
        for (const Case& c : kCases)
            if (args[1] == c.name) {
                ReservoirCase::worst(c.steps).writeRoot(args[2]);
                return 0;
            }
        std::fprintf(stderr, "unknown case %s (worst, one, long)\n", args[1].c_str());
        return 2;
    }
    const bool withScan = args.size() == 1 && args[0] == "--with-scan";
    if (!args.empty() && !withScan) {
        std::fprintf(stderr, "usage: klemes_bench [--with-scan | --write CASE DIR | --run SOLVER "
                             "| --empty]\n");
        return 2;
    }

    const fs::path self = selfPath();
    const fs::path core = VELDRON_CORE_EXE;
    bool allSame = true;
    std::printf(
        "Whole runs as separate processes, roots in %s; ms, median / minimum of the runs.\n"
        "search: PRGVELDRON, searching over segments; per-segment: the same core with the\n"
        "solver that visits every piece; empty: this program ending at once. net: minus the\n"
        "empty program (median minus median, minimum minus minimum); speed-up: per-segment\n"
        "net / search net.\n\n",
        benchDir().c_str());
    std::printf("%-24s %4s %15s %17s %15s %17s %15s %13s\n", "case", "runs", "empty", "per-segment",
                "search", "net per-segment", "net search", "speed-up");
    auto pair = [](const std::vector<double>& v) {
        char text[32];
        std::snprintf(text, sizeof text, "%7.2f /%7.2f", 1e3 * median(v), 1e3 * minimum(v));
        return std::string(text);
    };
    for (const Case& c : kCases) {
        const ReservoirCase rc = ReservoirCase::worst(c.steps);
        const fs::path rootSearch = freshRoot(std::string("veldron_bench_search_") + c.name);
        const fs::path rootPieces = freshRoot(std::string("veldron_bench_pieces_") + c.name);
        rc.writeRoot(rootSearch);
        rc.writeRoot(rootPieces);
        std::vector<double> empty, pieces, search;
        int statusSearch = 0, statusPieces = 0;
        long peakKb = 0;
        // Interleaved, so that a change of the machine's load touches all three alike.
        for (int r = 0; r < c.rounds; ++r) {
            empty.push_back(runProgram(self, {"--empty"}, rootSearch));
            prepareRun(rootPieces, rc);
            pieces.push_back(
                runProgram(self, {"--run", "per-segment"}, rootPieces, nullptr, &statusPieces));
            prepareRun(rootSearch, rc);
            search.push_back(runProgram(core, {}, rootSearch, &peakKb, &statusSearch));
        }
        const auto filesSearch = veldron::testing::outputFiles(rootSearch);
        const bool same = filesSearch == veldron::testing::outputFiles(rootPieces) &&
                          statusSearch == 0 && statusPieces == 0;
        allSame = allSame && same;
        const double e = median(empty), o = median(pieces), n = median(search);
        const double em = minimum(empty), om = minimum(pieces), nm = minimum(search);
        std::printf("%-24s %4d %15s %17s %15s %8.2f /%7.2f %6.2f /%6.2f %5.1fx /%5.1fx%s\n",
                    c.title, c.rounds, pair(empty).c_str(), pair(pieces).c_str(),
                    pair(search).c_str(), 1e3 * (o - e), 1e3 * (om - em), 1e3 * (n - e),
                    1e3 * (nm - em), (o - e) / (n - e), (om - em) / (nm - em),
                    same ? "" : "  OUTPUT DIFFERS");
        if (c.steps == 1000) {
            std::size_t above = 0;
            std::istringstream levels(filesSearch.at("OUT_RESULT/vyska_vody"));
            for (double h; levels >> h;)
                above += h >= 20.0;
            std::printf("%24s %zu steps at or above the crest, %zu Klemes rows, peak memory "
                        "%.1f MB\n",
                        "", above, records(filesSearch.at("OUT_DATA/tab_min_radek_pro_klemese")),
                        peakKb / 1024.0);
        }
        fs::remove_all(rootSearch);
        fs::remove_all(rootPieces);
    }
    std::vector<double> trueTimes;
    for (int r = 0; r < 11; ++r)
        trueTimes.push_back(runProgram("/bin/true", {}, fs::temp_directory_path()));
    std::printf("%-24s %4d %15s\n\n", "/bin/true, for scale", 11, pair(trueTimes).c_str());

    // The Klemes step alone, and whole runs in process (no process start, no console).
    {
        const ReservoirCase rc = ReservoirCase::worst(1000);
        const fs::path root = freshRoot("veldron_bench_inprocess");
        rc.writeRoot(root);
        int status = 0;
        runInProcess(root, veldron::klemesStep, status);
        std::vector<float> volume, flow;
        std::istringstream curveFile(
            veldron::testing::outputFiles(root).at("OUT_DATA/TK/TRANSF_KRIVKA_KLEMES_100"));
        for (float v, q; curveFile >> v >> q;)
            volume.push_back(v), flow.push_back(q);
        const veldron::KlemesCurve curve(volume, flow);
        double sumPieces = 0, sumSearch = 0;
        std::vector<double> nsPieces, nsSearch, runPieces, runSearch;
        for (int r = 0; r < 5; ++r) {
            nsPieces.push_back(nsPerStep(veldron::testing::klemesStepPerSegment, curve, sumPieces));
            nsSearch.push_back(nsPerStep(veldron::klemesStep, curve, sumSearch));
            prepareRun(root, rc);
            runPieces.push_back(runInProcess(root, veldron::testing::klemesStepPerSegment, status));
            prepareRun(root, rc);
            runSearch.push_back(runInProcess(root, veldron::klemesStep, status));
        }
        std::printf("In process (no process start, console to memory), median / minimum of 5:\n");
        std::printf("%-48s %17s %15s %13s\n", "", "per-segment", "search", "speed-up");
        std::printf("%-48s %8.0f /%7.0f %6.0f /%7.0f %5.1fx /%5.1fx%s\n",
                    "Klemes step alone, silent, ns per step", median(nsPieces), minimum(nsPieces),
                    median(nsSearch), minimum(nsSearch), median(nsPieces) / median(nsSearch),
                    minimum(nsPieces) / minimum(nsSearch),
                    sumPieces == sumSearch ? "" : "  RESULTS DIFFER");
        std::printf("%-48s %17s %15s %5.1fx /%5.1fx\n", "worst case whole run, ms",
                    pair(runPieces).c_str(), pair(runSearch).c_str(),
                    median(runPieces) / median(runSearch), minimum(runPieces) / minimum(runSearch));
        std::printf("(the step alone: the fully open curve, %zu segments, %lld samples; storage "
                    "lines across its range)\n",
                    curve.segmentCount(), static_cast<long long>(curve.sampleCount()));
        allSame = allSame && sumPieces == sumSearch;
        fs::remove_all(root);
    }
    if (withScan) allSame = compareWithScan() && allSame;
    return allSame ? 0 : 1;
}
