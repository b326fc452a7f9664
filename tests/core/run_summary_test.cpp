// The run summary's figures against a hand calculation.
#include "core/summary/summary_lines.h"

#include <gtest/gtest.h>

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
    // Levels 5, 6, 8 follow the balance; the last one (7.75 instead of 7.5)
    // holds 900 m3 more than steps 1 ... 3 brought in.
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
    run.curve = &kPrism;
    run.stop = ErrorExit{ErrorExit::Overtopping, 5};

    // Peaks: the first step holding the largest value (the inflow 3 of step 4
    // ties with step 2; the whole flood's 9 first in step 5). Attenuation
    // 100 (1 - 2.5 / 3); lag step 3 - step 2. No freeboard after overtopping.
    // Flood (1 + 3 + 2 + 3) x 3600, released (0 + 1 + 2.5 + 2) x 3600; steps
    // 1 ... 3 bring (1 + 2 - 0.5) x 3600 = 9000 m3, the curve says 3600 x
    // (7.75 - 5) = 9900 m3: an error of -900 m3, -900 / 32400 of the flood.
    EXPECT_EQ(joined(summaryLines(run)), "Kroků výpočtu:                   4 z 6\n"
                                         "Časový krok:                60.000 min\n"
                                         "Kulminace přítoku:           3.000 m3/s v kroku 2\n"
                                         "Kulminace celé povodně:      9.000 m3/s v kroku 5\n"
                                         "Kulminace odtoku:            2.500 m3/s v kroku 3\n"
                                         "Transformace kulminace:       16.7 %\n"
                                         "Zpoždění kulminace:          1.000 h (1 krok)\n"
                                         "Nejvyšší hladina:            8.000 m v kroku 3\n"
                                         "Hladina přelití nádrže:      8.500 m\n"
                                         "Rezerva do přelití:     žádná, nádrž přelita v kroku 5\n"
                                         "Objem povodně:             32400.0 m3\n"
                                         "Objem odtoku:              19800.0 m3\n"
                                         "Přítok mínus odtok:         9000.0 m3\n"
                                         "Změna objemu nádrže:        9900.0 m3\n"
                                         "Chyba bilance objemů:      -2.7778 % (-900.0 m3)\n"
                                         "Výpočet zastaven:       přelití nádrže v kroku 5\n");
}

TEST(RunSummary, LinesWithoutTheirQuantityAreLeftOut) {
    // One step of no inflow: no balance (it needs two levels), no attenuation.
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
    EXPECT_NE(one.find("Zpoždění kulminace:          0.000 h (0 kroků)\n"), std::string::npos);
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
