// A prismatic reservoir worked out apart from the core: its outlets, spillway
// and transformation curves from their formulas in double, the storage line's
// exact meeting with a curve (no samples, no whole numbers), and a whole run
// by the operating rules. The yardstick of the tests of what the rules do.
#include "tests/support/prism_model.h"

#include <cmath>
#include <string>

namespace veldron::testing {

double Prism::outlets(double level) const {
    const double area = M_PI * outletDiameter * outletDiameter / 4.0 * outletCount;
    return outletMu * area * std::sqrt(19.62 * level);
}

double Prism::spillway(double level) const {
    const double head = level - crest;
    return head > 0 ? spillwayM * spillwayWidth * std::sqrt(19.62) * std::pow(head, 1.5) : 0.0;
}

std::optional<Prism::Meeting> Prism::meet(int opening, double inflow, double w) const {
    // The line falls with v, the curve rises: they meet once.
    auto line = [&](double v) { return inflow - (v - w) / dt; };
    const int levels = static_cast<int>(std::lround(20.0 * retention));
    double x0 = 0.0, y0 = 0.0; // the origin
    for (int k = 1; k <= levels; ++k) {
        const double h = crest + (k - 1.0) / (levels - 1.0) * retention;
        const double x1 = area * (h - crest);
        const double y1 = opening / 20.0 * outlets(h) + spillway(h);
        if (line(x1) <= y1) {
            // On this segment: y0 + t (y1 - y0) = line(x0 + t (x1 - x0)).
            const double t = (line(x0) - y0) / ((y1 - y0) + (x1 - x0) / dt);
            const double v = x0 + t * (x1 - x0);
            return Meeting{line(v), v};
        }
        x0 = x1;
        y0 = y1;
    }
    return std::nullopt;
}

ReservoirCase Prism::files(double startLevel, const std::vector<double>& inflow) const {
    ReservoirCase c;
    for (int h = 1; h <= 20; ++h)
        c.curve.push_back({h, area * h});
    c.inflow = inflow;
    c.values = {{"IN_START_VYP", number(startLevel)},
                {"IN_START_RN_OWERFLOW", number(crest)},
                {"IN_TOTAL_HEIGHT_OWERFLOW", number(retention)},
                {"IN_START_RO", number(storageTop)},
                {"IN_NUMBER_OF_OUTLET", number(outletCount)},
                {"IN_OUTLET_DIAMETER", number(outletDiameter)},
                {"IN_TOTAL_COEFFICIENT_OUTLET", number(std::round(outletMu * 10000.0))},
                {"IN_WIDTH_SPILLWAY_B0", number(spillwayWidth)},
                {"IN_COEFFICIENT_OVERFLOW_m", number(spillwayM * 1000.0)},
                {"IN_TIME_STEP_min", number(dt / 60.0)},
                {"IN_MANIP_0_1_2", std::to_string(options.mode)},
                {"IN_MANIP1_0_1", std::to_string(options.keepClosed)},
                {"IN_MANPR", number(options.zone)},
                {"IN_PREDP1_0_1", std::to_string(options.preStorage)},
                {"IN_PREDP2_0_1", std::to_string(options.preControlled)},
                {"IN_PREDP3_0_1", std::to_string(options.emptyAfter)}};
    return c;
}

std::vector<Prism::Step> Prism::run(double startLevel, const std::vector<double>& inflow) const {
    // The peak: the last step holding the largest inflow of at least 0.01.
    std::size_t peak = 0;
    double top = 0.01;
    for (std::size_t i = 0; i < inflow.size(); ++i)
        if (inflow[i] >= top) top = inflow[i], peak = i + 1;

    const PrismOptions& o = options;
    std::vector<Step> steps;
    double volume = area * startLevel, previousLevel = startLevel, previousOutflow = 0.0;
    double w = 0.0;             // volume above the crest on the transformation curves
    double spillwayAlone = 0.0; // m3/s, the last meeting with the spillway's curve
    bool heldAtTop = false;     // the step before ended at the storage top RO
    for (std::size_t i = 1; i <= inflow.size(); ++i) {
        const double h = volume / area, qIn = inflow[i - 1], qo = outlets(previousLevel);
        if (h >= crest + retention) break;
        // Entering the spillway range, the curves start from what the prism
        // holds above the crest.
        if (h >= crest && (i == 1 || previousLevel < crest))
            w = std::max(0.0, volume - area * crest);
        auto klemes = [&](int p) {
            const auto m = meet(p, qIn, w);
            if (!m) return 0.0;
            w = m->volume;
            return m->flow;
        };
        // A step on curve p that starts and ends at the crest releases at
        // least the curve's discharge there: the open outlets drain below it.
        auto drained = [&](int p, double wBefore, double q) {
            const bool atCrest = std::trunc(wBefore) == 0 && std::trunc(w) == 0;
            return atCrest ? std::max(q, p / 20.0 * outlets(crest) + spillway(crest)) : q;
        };
        auto manipulate = [&] { // the outlets' capacity, or the spillway where it passes more
            if (const auto m = meet(0, qIn, w)) spillwayAlone = m->flow;
            if (spillwayAlone > qo) return klemes(0);
            w += (qIn - qo) * dt; // W follows what left the prism
            return qo;
        };
        const bool beforePeak = i < peak;
        const bool closedBelowTop = (beforePeak ? o.preStorage : o.emptyAfter) == 0;
        const bool keptAtTop =
            heldAtTop && h <= storageTop && closedBelowTop && o.preControlled == 1 && qIn <= qo;
        double q = 0.0;
        int rule = 0;
        const double wBefore = w;
        if (h >= crest && o.mode == 0) {
            q = drained(20, wBefore, klemes(20)), rule = 1;
        } else if (h >= crest && o.mode == 1) {
            rule = o.keepClosed == 1 ? 2 : previousOutflow < qIn ? 3 : 4;
            q = klemes(0);
            if (rule == 4 && q < qo) q = qo, w = wBefore + (qIn - qo) * dt;
            q = drained(0, wBefore, q);
        } else if (h >= crest) {
            const double zoneTop = crest + o.zone;
            rule = h <= zoneTop && previousOutflow <= qIn ? 5 : h >= zoneTop ? 6 : 7;
            q = rule == 6 ? drained(0, wBefore, klemes(0)) : manipulate();
        } else if (h <= storageTop) {
            rule = beforePeak ? 8 + o.preStorage : 15 + o.emptyAfter;
            q = closedBelowTop ? 0.0 : qo;
            // Held at RO, the outlets open above it pass the inflow.
            if (keptAtTop) q = qIn;
        } else {
            rule = 10 + o.preControlled;
            q = o.preControlled == 1 ? qo : 0.0;
        }
        // Where the outlets close below the crest, a release above it ends
        // at the crest at the lowest: the inflow and what lies above it.
        const double crestVolume = area * crest;
        if (h >= crest && o.preControlled == 0 && storageTop < crest &&
            volume + (qIn - q) * dt < crestVolume) {
            const double held = qIn + std::max(volume - crestVolume, 0.0) / dt;
            if (q > held) q = held, w = 0.0;
        }
        // Where they close below RO, a release from above it ends at RO.
        const double topVolume = area * storageTop;
        heldAtTop = keptAtTop;
        if (!keptAtTop && h > storageTop && storageTop < crest && closedBelowTop &&
            volume + (qIn - q) * dt < topVolume) {
            const double held = qIn + (volume - topVolume) / dt;
            if (q > held) q = held, heldAtTop = true;
        }
        steps.push_back({h, q, rule});
        volume += (qIn - q) * dt;
        previousLevel = h;
        previousOutflow = q;
    }
    return steps;
}

} // namespace veldron::testing
