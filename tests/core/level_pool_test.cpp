// The sample reservoir routed by the core at shorter and shorter steps against
// a fine level-pool integration written here: the same stage-volume curve, the
// outlets and the spillway from their formulas, trapezoidal steps of one minute.
// The level the core reports and the outflow it releases must describe the
// same reservoir, whatever the time step.
#include "testkit/reservoir_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

using veldron::testing::ReservoirCase;
using veldron::testing::RunRecords;

namespace {

const ReservoirCase& sample() {
    static const ReservoirCase c =
        ReservoirCase::read(std::filesystem::path(VELDRON_SOURCE_DIR) / "data/sample");
    return c;
}

double value(const char* file) {
    return std::stod(sample().values.at(file));
}

// Linear between the curve's rows, from the bottom (0, 0).
double interpolate(double x, bool byLevel) {
    double x0 = 0, y0 = 0;
    for (const auto& [h, v] : sample().curve) {
        const double x1 = byLevel ? h : v, y1 = byLevel ? v : h;
        if (x <= x1) return y0 + (x - x0) / (x1 - x0) * (y1 - y0);
        x0 = x1, y0 = y1;
    }
    return y0;
}
double volumeAt(double level) {
    return interpolate(level, true);
}
double levelAt(double volume) {
    return interpolate(volume, false);
}

// The outlets closed below the crest and open above it, as the sample's own
// options hold them in mode 0 (or open at every level), and the spillway.
double outflowAt(double level, bool openBelowCrest) { // m3/s
    const double crest = value("IN_START_RN_OWERFLOW");
    if (level < crest && !openBelowCrest) return 0.0;
    const double outlets = value("IN_TOTAL_COEFFICIENT_OUTLET") / 10000.0 * M_PI / 4.0 *
                           std::pow(value("IN_OUTLET_DIAMETER"), 2) * value("IN_NUMBER_OF_OUTLET") *
                           std::sqrt(19.62 * level);
    return outlets + value("IN_COEFFICIENT_OVERFLOW_m") / 1000.0 * value("IN_WIDTH_SPILLWAY_B0") *
                         std::sqrt(19.62) * std::pow(std::max(level - crest, 0.0), 1.5);
}

struct Extremes {
    double highestLevel = 0, peakOutflow = 0; // m, m3/s
    std::vector<double> hourlyLevel;          // m, at the end of each hour
};

// Level-pool routing of the sample's hourly flood, held constant over each
// hour, in trapezoidal steps of one minute.
Extremes routeFinely(double startLevel, bool openBelowCrest = false) {
    const double dt = 60.0; // s
    const auto outflowAt = [openBelowCrest](double level) {
        return ::outflowAt(level, openBelowCrest);
    };
    double v = volumeAt(startLevel), q = outflowAt(startLevel);
    Extremes e{startLevel, q, {}};
    for (const double qIn : sample().inflow)
        for (int minute = 0; minute < 60; ++minute) {
            // v1 = v + dt (qIn - (q + Q(v1)) / 2): the left side rises with v1
            // and the right one falls, so bisection finds it.
            double hi = v + dt * qIn;
            double lo = hi - dt / 2 * (q + outflowAt(levelAt(hi))) - 1.0;
            for (int k = 0; k < 60; ++k) {
                const double mid = (lo + hi) / 2;
                (mid - v - dt * (qIn - (q + outflowAt(levelAt(mid))) / 2) < 0 ? lo : hi) = mid;
            }
            v = hi;
            q = outflowAt(levelAt(v));
            e.highestLevel = std::max(e.highestLevel, levelAt(v));
            e.peakOutflow = std::max(e.peakOutflow, q);
            if (minute == 59) e.hourlyLevel.push_back(levelAt(v));
        }
    return e;
}

// The outlets open above the storage top RO and closed below it, the spillway
// above the crest, routed by implicit steps of one minute: where no level
// balances a step (the outflow jumps at RO), bisection ends at RO itself and
// the step releases what holds it there, as an operator would.
std::vector<double> routeHeldAtStorageTop(double startLevel, const std::vector<double>& inflow) {
    const double dt = 60.0, storageTop = value("IN_START_RO");
    const auto outflowAt = [storageTop](double level) {
        return level > storageTop ? ::outflowAt(level, true) : 0.0;
    };
    double v = volumeAt(startLevel);
    std::vector<double> hourlyLevel;
    for (const double qIn : inflow) {
        for (int minute = 0; minute < 60; ++minute) {
            // v1 + dt Q(v1) = v + dt qIn: the left side rises with v1.
            double lo = 0.0, hi = v + dt * qIn;
            for (int k = 0; k < 80; ++k) {
                const double mid = (lo + hi) / 2;
                (mid + dt * outflowAt(levelAt(mid)) < v + dt * qIn ? lo : hi) = mid;
            }
            v = hi;
        }
        hourlyLevel.push_back(levelAt(v));
    }
    return hourlyLevel;
}

// The sample in mode 0 from 11 m, its hourly flood held over each hour in
// steps of `minutes`; its own options, or the outlets open below the crest too.
RunRecords runSample(int minutes, bool openBelowCrest = false) {
    ReservoirCase c = sample();
    c.inflow.clear();
    for (const double q : sample().inflow)
        c.inflow.insert(c.inflow.end(), static_cast<std::size_t>(60 / minutes), q);
    c.values["IN_TIME_STEP_min"] = std::to_string(minutes);
    c.values["IN_MANIP_0_1_2"] = "0";
    c.values["IN_START_VYP"] = "11";
    if (openBelowCrest)
        for (const char* option : {"IN_PREDP1_0_1", "IN_PREDP2_0_1", "IN_PREDP3_0_1"})
            c.values[option] = "1";
    return veldron::testing::runCase(c);
}

} // namespace

TEST(LevelPool, ShorterStepsApproachTheFineIntegration) {
    const Extremes fine = routeFinely(11.0);
    double levelError = 1e9, peakError = 1e9;
    for (const int minutes : {60, 30, 10, 5}) {
        const RunRecords run = runSample(minutes);
        ASSERT_EQ(run.status, 0) << minutes;
        const double highest = *std::max_element(run.level.begin(), run.level.end());
        const double peak = *std::max_element(run.outflow.begin(), run.outflow.end());
        EXPECT_LT(std::fabs(highest - fine.highestLevel), levelError) << minutes << " min";
        EXPECT_LT(std::fabs(peak - fine.peakOutflow), peakError) << minutes << " min";
        levelError = std::fabs(highest - fine.highestLevel);
        peakError = std::fabs(peak - fine.peakOutflow);
        if (minutes == 5) {
            EXPECT_NEAR(highest, fine.highestLevel, 0.02);
            EXPECT_NEAR(peak, fine.peakOutflow, 0.015 * fine.peakOutflow);
        }
    }
}

TEST(LevelPool, OpenOutletsLowerTheLevelBelowTheCrestAfterTheFlood) {
    // All three options 1: the outlets are open at every level, and after the
    // flood they draw the reservoir down below the crest and on, as the fine
    // integration does (the core's levels lag it by the outlets' one-step
    // delay below the crest).
    const RunRecords run = runSample(60, true);
    ASSERT_EQ(run.status, 0);
    const Extremes fine = routeFinely(11.0, true);
    // Record k is the level at the start of step k, after hour k - 1.
    const std::size_t last = run.level.size() - 1;
    EXPECT_LT(run.level[last], value("IN_START_RN_OWERFLOW"));
    EXPECT_NEAR(run.level[last], fine.hourlyLevel[last - 1], 0.1);
}

TEST(LevelPool, AStorageTopHeldApproachesTheFineIntegration) {
    // Open above RO, closed below it before and after the peak: the level
    // falls to RO after the flood and stays there with the outflow equal to
    // the inflow, at every step length, never swinging around it.
    // The flood and two days of its base flow after it, long enough to reach RO.
    std::vector<double> hourly = sample().inflow;
    hourly.insert(hourly.end(), 48, hourly.back());
    const std::vector<double> fine = routeHeldAtStorageTop(11.0, hourly);
    double error = 1e9;
    for (const int minutes : {60, 30, 10, 5}) {
        ReservoirCase c = sample();
        c.inflow.clear();
        for (const double q : hourly)
            c.inflow.insert(c.inflow.end(), static_cast<std::size_t>(60 / minutes), q);
        c.values["IN_TIME_STEP_min"] = std::to_string(minutes);
        c.values["IN_MANIP_0_1_2"] = "0";
        c.values["IN_START_VYP"] = "11";
        c.values["IN_PREDP1_0_1"] = "0";
        c.values["IN_PREDP2_0_1"] = "1";
        c.values["IN_PREDP3_0_1"] = "0";
        const RunRecords run = veldron::testing::runCase(c);
        ASSERT_EQ(run.status, 0) << minutes;
        // Record k is the level at the start of step k: hour h ends at record h * 60 / minutes.
        double worst = 0;
        const std::size_t perHour = static_cast<std::size_t>(60 / minutes);
        for (std::size_t h = 1; h < fine.size(); ++h)
            worst = std::max(worst, std::fabs(run.level[h * perHour] - fine[h - 1]));
        EXPECT_LT(worst, error) << minutes << " min";
        error = worst;
        EXPECT_EQ(run.level.back(), value("IN_START_RO")) << minutes << " min";
        EXPECT_NEAR(run.outflow.back(), c.inflow.back(), 1e-6) << minutes << " min";
    }
    EXPECT_LT(error, 0.02);
}
