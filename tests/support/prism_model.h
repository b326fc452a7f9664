// A prismatic reservoir worked out apart from the core: its outlets, spillway
// and transformation curves from their formulas in double, the storage line's
// exact meeting with a curve (no samples, no whole numbers), and a whole run
// by the operating rules. The yardstick of the tests of what the rules do.
#pragma once

#include "testkit/reservoir_case.h"

#include <optional>
#include <vector>

namespace veldron::testing {

/// The operator's choices, as the option files hold them.
struct PrismOptions {
    int mode = 0;       // IN_MANIP_0_1_2
    int keepClosed = 0; // IN_MANIP1_0_1
    double zone = 0.5;  // IN_MANPR, m above the crest
    int preStorage = 0; // IN_PREDP1_0_1
    int preControlled = 0;
    int emptyAfter = 0;
};

struct Prism {
    double area = 1000.0; // m2 at every level: volume = area x level
    double crest = 10.0;  // RN, m above the bottom
    double retention = 2.0;
    double storageTop = 8.0; // RO
    double outletCount = 1.0;
    double outletDiameter = 0.5; // m
    double outletMu = 0.6;
    double spillwayWidth = 20.0; // m
    double spillwayM = 0.38;
    double dt = 600.0; // s
    PrismOptions options;

    double outlets(double level) const;  // m3/s, every outlet fully open
    double spillway(double level) const; // m3/s

    /// Where the storage line v = w + (inflow - q) dt meets the curve of
    /// `opening` (0 ... 20): the polyline through the origin and the crest
    /// grid's points (volume above the crest, p/20 outlets + spillway). Empty
    /// when the line passes above the curve's top.
    struct Meeting {
        double flow;   // q, m3/s
        double volume; // v above the crest, m3
    };
    std::optional<Meeting> meet(int opening, double inflow, double w) const;

    /// The inputs as an installation root's files: curve rows every metre
    /// up to 20 m, the dam, the options, the start level and the inflow.
    ReservoirCase files(double startLevel, const std::vector<double>& inflow) const;

    /// One step of a run: the level at its start and its mean outflow.
    struct Step {
        double level;   // m
        double outflow; // m3/s
        int rule;       // 1 ... 16, the operating rule that decided the step
    };
    /// The steps of a run from `startLevel`, by the operating rules that a
    /// run with valid options and inflows can reach, up to the step that
    /// overtops (not included).
    std::vector<Step> run(double startLevel, const std::vector<double>& inflow) const;
};

} // namespace veldron::testing
