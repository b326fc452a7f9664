// The run summary's figures against a hand calculation.
#include "core/summary/summary_lines.h"
#include "testkit/reservoir_case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace veldron;

namespace {

// A prism of 3600 m2 up to 20 m, so one m3/s for an hour moves the level 1 m.
const std::vector<CurveRow> kPrism{{320.0f, 20.0f, 72000.0f, 3600.0f}};

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

TEST(RunSummary, FiguresOfASmallRunByHand) {
    const std::vector<float> inflow{1, 3, 2, 3, 9, 9};
    const std::vector<float> outflow{0, 1, 2.5f, 2};
    // Levels 5, 6, 8 follow the balance; step 4 ends at 8.75 (instead of
    // 8.5), 900 m3 more than steps 1 ... 4 brought in.
    const std::vector<float> level{5, 6, 8, 7.75f};
    RunFigures run;
    run.stepsGiven = 6;
    run.timeStepMinutes = 60;
    run.timeStepSeconds = 3600;
    run.crestHeight = 7;
    run.retentionHeight = 1.5f;
    run.inflow = std::span<const float>(inflow).first(4);
    run.flood = inflow;
    run.outflow = outflow;
    run.level = level;
    run.endLevel = 8.75f;
    run.curve = &kPrism;
    run.stop = ErrorExit{ErrorExit::Overtopping, 5};

    // Peaks: the first step holding the largest value (the inflow 3 of step 4
    // ties with step 2; the whole flood's 9 first in step 5). Stopped: no
    // attenuation, no lag, no freeboard. Flood (1 + 3 + 2 + 3) x 3600,
    // released (0 + 1 + 2.5 + 2) x 3600, their difference 12,600 m3; the
    // curve says 3600 x (8.75 - 5) = 13,500 m3: an error of -900 m3, -900 /
    // 32400 of the flood.
    EXPECT_EQ(joined(summaryLines(run)), "Kroků výpočtu:                   4 z 6\n"
                                         "Časový krok:                60.000 min\n"
                                         "Kulminace přítoku:           3.000 m3/s v kroku 2\n"
                                         "Kulminace celé povodně:      9.000 m3/s v kroku 5\n"
                                         "Kulminace odtoku:            2.500 m3/s v kroku 3\n"
                                         "Nejvyšší hladina:            8.000 m v kroku 3\n"
                                         "Hladina přelití nádrže:      8.500 m\n"
                                         "Rezerva do přelití:     žádná, nádrž přelita v kroku 5\n"
                                         "Objem povodně:             32400.0 m3\n"
                                         "Objem odtoku:              19800.0 m3\n"
                                         "Přítok mínus odtok:        12600.0 m3\n"
                                         "Změna objemu nádrže:       13500.0 m3\n"
                                         "Chyba bilance objemů:      -2.7778 % (-900.0 m3)\n"
                                         "Výpočet zastaven:       přelití nádrže v kroku 5\n");
}

// Two floods: the outflow peaks in the second, and the lag pairs it with the
// second flood's peak (step 7), not the first's larger one (step 2): between
// them the reservoir let out more than came in (step 5).
TEST(RunSummary, TheLagPairsTheOutflowPeakWithTheFloodItFollows) {
    const std::vector<float> inflow{2, 9, 2, 0, 0, 2, 8, 3};
    const std::vector<float> outflow{0, 2, 4, 1, 0.5f, 0.5f, 3, 5};
    const std::vector<float> level{5, 5, 6, 6, 6, 6, 6, 7};
    RunFigures run;
    run.stepsGiven = 8;
    run.timeStepMinutes = 30;
    run.timeStepSeconds = 1800;
    run.crestHeight = 7;
    run.retentionHeight = 1.5f;
    run.inflow = run.flood = inflow;
    run.outflow = outflow;
    run.level = level;
    run.curve = &kPrism;
    const std::string text = joined(summaryLines(run));
    EXPECT_NE(text.find("Kulminace přítoku:           9.000 m3/s v kroku 2\n"), std::string::npos);
    EXPECT_NE(text.find("Zpoždění kulminace:          0.500 h (1 krok)\n"), std::string::npos)
        << text;
}

TEST(RunSummary, LinesWithoutTheirQuantityAreLeftOut) {
    // One step of no inflow, stopped by ERROR 3: no storage change (no level
    // the step ended at), no attenuation, no lag.
    const std::vector<float> zero{0}, level{5};
    RunFigures run;
    run.stepsGiven = 3;
    run.timeStepMinutes = 10;
    run.timeStepSeconds = 600;
    run.crestHeight = 7;
    run.retentionHeight = 1.5f;
    run.inflow = zero;
    run.outflow = zero;
    run.level = level;
    run.curve = &kPrism;
    run.stop = ErrorExit{ErrorExit::StepLevelOffCurve, 2};
    const std::string one = joined(summaryLines(run));
    EXPECT_EQ(one.find("Transformace"), std::string::npos);
    EXPECT_EQ(one.find("bilance"), std::string::npos);
    EXPECT_EQ(one.find("Zpoždění"), std::string::npos);
    EXPECT_NE(one.find("Výpočet zastaven:       ERROR 3 v kroku 2\n"), std::string::npos);
    EXPECT_NE(one.find("Rezerva do přelití:     neurčena, výpočet zastaven v kroku 2\n"),
              std::string::npos);

    // Nothing routed: the step line, the settings and why it stopped.
    run.inflow = run.outflow = run.level = {};
    run.stop = ErrorExit{ErrorExit::CrestGridOffCurve};
    EXPECT_EQ(joined(summaryLines(run)), "Kroků výpočtu:                   0 z 3\n"
                                         "Časový krok:                10.000 min\n"
                                         "Hladina přelití nádrže:      8.500 m\n"
                                         "Výpočet zastaven:       ERROR 1\n");
}

namespace {

// A volume of the summary in tenths of a cubic metre, as printed.
long long tenths(const std::string& summary, const char* label) {
    const std::size_t at = summary.find(std::string(label) + ":");
    if (at == std::string::npos) return -1;
    return std::llround(10.0 * std::strtod(summary.c_str() + at + std::strlen(label) + 1, nullptr));
}

long long balanceTenths(const std::string& summary) {
    const std::size_t at = summary.find("% (", summary.find("Chyba bilance"));
    return at == std::string::npos
               ? -1
               : std::llround(10.0 * std::strtod(summary.c_str() + at + 3, nullptr));
}

} // namespace

// Whole runs: the flood, the outflow and their difference add up to the
// printed digit, the balance is the difference and the storage change, and a
// series of two floods pairs the outflow peak with its own flood.
TEST(RunSummary, VolumeLinesAddUpOnWholeRuns) {
    using veldron::testing::ReservoirCase;
    ReservoirCase longFlood = ReservoirCase::valley(1.0);
    longFlood.inflow.assign(100000, 4.0);
    ReservoirCase twoFloods = ReservoirCase::valley(1.0);
    twoFloods.inflow.insert(twoFloods.inflow.end(), twoFloods.inflow.begin(),
                            twoFloods.inflow.end());
    for (const ReservoirCase* c : {&longFlood, &twoFloods}) {
        const veldron::testing::RunRecords r = veldron::testing::runCase(*c);
        ASSERT_EQ(r.status, 0) << r.summary;
        EXPECT_EQ(tenths(r.summary, "Objem povodně") - tenths(r.summary, "Objem odtoku"),
                  tenths(r.summary, "Přítok mínus odtok"))
            << r.summary;
        EXPECT_EQ(tenths(r.summary, "Přítok mínus odtok") -
                      tenths(r.summary, "Změna objemu nádrže"),
                  balanceTenths(r.summary))
            << r.summary;
    }
    const std::string twice = veldron::testing::runCase(twoFloods).summary;
    EXPECT_NE(twice.find("Zpoždění kulminace:          2.000 h (2 kroky)"), std::string::npos)
        << twice;
}
