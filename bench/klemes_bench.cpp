// Benchmark of the Klemes solver: the worst-case calculation, the cost of one
// Klemes step, and the speed-up over the sample scan on a case the scan can
// finish. Prints figures; it is never run as a test.
//   klemes_bench            worst case + comparison
#include "../tests/support/reservoir_case.h"
#include "core/run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;
using veldron::testing::ReservoirCase;

namespace {

using Clock = std::chrono::steady_clock;

long g_klemesCalls = 0;

std::optional<veldron::KlemesRow> countingStep(const veldron::KlemesCurve& curve,
                                               const veldron::StorageLine& line,
                                               const veldron::RowSink* log) {
    ++g_klemesCalls;
    return veldron::klemesStep(curve, line, log);
}

// A wide valley held in the manipulation zone by an inflow that swings around
// the outlets' capacity: every step above the crest runs 22 Klemes steps.
ReservoirCase worstCase(double scale, int steps) {
    ReservoirCase c;
    for (double h = 0.5; h <= 30.0001; h += 0.5)
        c.curve.push_back({h, scale * 2.0e7 * h});
    c.values = {{"IN_START_VYP", "20.5"},
                {"IN_START_RN_OWERFLOW", "20"},
                {"IN_TOTAL_HEIGHT_OWERFLOW", "5.0"},
                {"IN_START_RO", "15"},
                {"IN_NUMBER_OF_OUTLET", "4"},
                {"IN_TOTAL_COEFFICIENT_OUTLET", "6000"},
                {"IN_COEFFICIENT_OVERFLOW_m", "380"},
                {"IN_TIME_STEP_min", "10"},
                {"IN_MANIP_0_1_2", "2"},
                {"IN_MANIP1_0_1", "0"},
                {"IN_MANPR", "5.0"},
                {"IN_PREDP1_0_1", "0"},
                {"IN_PREDP2_0_1", "0"},
                {"IN_PREDP3_0_1", "1"}};
    c.values["IN_OUTLET_DIAMETER"] = scale == 1.0 ? "3" : "0.3";
    c.values["IN_WIDTH_SPILLWAY_B0"] = scale == 1.0 ? "480" : "4.8";
    const double diameter = scale == 1.0 ? 3.0 : 0.3;
    const double outlets = 0.6 * 4 * M_PI * diameter * diameter / 4 * std::sqrt(19.62 * 20.5);
    for (int i = 0; i < steps; ++i)
        c.inflow.push_back(outlets * (1.0 + 0.3 * std::sin(2.0 * M_PI * i / 100.0)));
    return c;
}

fs::path freshRoot(const std::string& name) {
    const fs::path root = fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    fs::remove_all(root);
    return root;
}

double runInProcess(const fs::path& root, veldron::KlemesSolver solver, int& status) {
    std::ostringstream console;
    std::istringstream none;
    const auto t0 = Clock::now();
    status = veldron::runCore(root, console, none, solver);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Runs the real PRGVELDRON; returns wall seconds and its peak memory in kB.
double runExecutable(const fs::path& root, long& peakKb, int& status) {
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("VELDRON_ROOT", root.c_str(), 1);
        if (std::freopen("/dev/null", "r", stdin) == nullptr ||
            std::freopen("/dev/null", "w", stdout) == nullptr)
            ::_exit(127);
        ::execl(VELDRON_CORE_EXE, "PRGVELDRON", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int raw = 0;
    rusage usage{};
    ::wait4(pid, &raw, 0, &usage);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    peakKb = usage.ru_maxrss;
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

std::size_t records(const std::string& text) {
    std::size_t n = 0;
    for (char ch : text)
        n += ch == '\n';
    return n;
}

} // namespace

int main() {
    // 1. The worst case.
    const ReservoirCase worst = worstCase(1.0, 1000);
    const fs::path root = freshRoot("veldron_bench_worst");
    worst.writeRoot(root);
    int status = 0;
    long peakKb = 0;
    const double wall = runExecutable(root, peakKb, status);
    const auto files = veldron::testing::outputFiles(root);
    const std::string& top = files.at("OUT_DATA/suma_odtoku_pro_h_nad_prelivem_100");
    const double topFlow = std::stod(top.substr(top.rfind("\r\n", top.size() - 3) + 2));
    std::size_t above = 0;
    std::istringstream levels(files.at("OUT_RESULT/vyska_vody"));
    for (double h; levels >> h;)
        above += h >= 20.0;
    std::printf("Worst case: mode 2, %zu steps (%zu at or above the crest), 100 grid levels, "
                "Q_top %.1f m3/s, exit status %d\n",
                records(files.at("OUT_RESULT/vyska_vody")), above, topFlow, status);
    std::printf("  PRGVELDRON whole run: %.3f s wall, peak memory %.1f MB\n", wall,
                peakKb / 1024.0);

    // The Klemes step alone, silent, on the fully open curve of the worst case
    // (read back from its curve file), for storage lines across its range.
    {
        std::vector<float> volume, flow;
        std::istringstream curveFile(files.at("OUT_DATA/TK/TRANSF_KRIVKA_KLEMES_100"));
        for (float v, q; curveFile >> v >> q;)
            volume.push_back(v), flow.push_back(q);
        const veldron::KlemesCurve curve(volume, flow);
        const int n = 200000;
        double checksum = 0;
        const auto t0 = Clock::now();
        for (int i = 0; i < n; ++i) {
            const veldron::StorageLine line{static_cast<float>(i % 9000) + 0.5f, 600.0f,
                                            static_cast<std::int64_t>(i % 1000) * 90000};
            if (const auto row = veldron::klemesStep(curve, line)) checksum += row->flow;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("  Klemes step alone (silent, %zu segments, %lld samples): %.3f us per step "
                    "(checksum %.1f)\n",
                    curve.segmentCount(), static_cast<long long>(curve.sampleCount()),
                    1e6 * seconds / n, checksum);
    }

    worst.writeRoot(root); // the run consumed IN_START_VYP
    g_klemesCalls = 0;
    const double inProcess = runInProcess(root, countingStep, status);
    std::printf("  in process: %.3f s for %ld Klemes steps, %.2f us per Klemes step (whole run / "
                "steps)\n",
                inProcess, g_klemesCalls, 1e6 * inProcess / static_cast<double>(g_klemesCalls));
    fs::remove_all(root);

    // 2. Side by side with the sample scan: the worst-case reservoir for as
    // many steps as the scan finishes in under a minute.
    const ReservoirCase small = worstCase(1.0, 25);
    const fs::path fastRoot = freshRoot("veldron_bench_fast");
    const fs::path scanRoot = freshRoot("veldron_bench_scan");
    small.writeRoot(fastRoot);
    small.writeRoot(scanRoot);
    int fastStatus = 0, scanStatus = 0;
    g_klemesCalls = 0;
    const double fastTime = runInProcess(fastRoot, countingStep, fastStatus);
    const long calls = g_klemesCalls;
    const double scanTime = runInProcess(scanRoot, veldron::klemesStepPieceScan, scanStatus);
    const bool same =
        veldron::testing::outputFiles(fastRoot) == veldron::testing::outputFiles(scanRoot) &&
        fastStatus == scanStatus;
    std::printf("Comparison case: the worst case for 25 steps, %ld Klemes steps\n", calls);
    std::printf("  fast %.4f s, one-visit-per-sample scan %.3f s: speed-up %.0fx, output %s\n",
                fastTime, scanTime, scanTime / fastTime, same ? "identical" : "DIFFERENT");
    fs::remove_all(fastRoot);
    fs::remove_all(scanRoot);
    return same ? 0 : 1;
}
