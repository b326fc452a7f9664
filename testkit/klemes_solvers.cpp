// Klemes solvers that give klemesStep's rows another way, for the tests that
// compare them and for the benchmark that times them against it.
#include "testkit/klemes_solvers.h"

#include "core/klemes/piece_search.h"

#include <cmath>
#include <vector>

namespace veldron::testing {

namespace {

std::optional<KlemesRow> piecewise(const KlemesCurve& curve, const StorageLine& line,
                                   const RowSink* log, bool scan) {
    // Reused between steps, as klemesStep reuses its own, so the benchmark
    // times the search and not the allocation.
    thread_local std::vector<PieceMinimum> minima;
    minima.clear();
    float smallest = kNoGap;
    for (const KlemesCurve::Piece& piece : curve.pieces()) {
        const PieceMinimum& m = minima.emplace_back(pieceMinimum(curve, line, piece, scan));
        if (m.any && m.gap <= smallest) smallest = m.gap;
    }
    std::optional<KlemesRow> last;
    for (std::size_t j = 0; j < minima.size(); ++j)
        if (const auto row = pieceRows(curve, line, curve.pieces()[j], minima[j], smallest, log))
            last = row;
    return last;
}

} // namespace

std::optional<KlemesRow> klemesStepPerSegment(const KlemesCurve& curve, const StorageLine& line,
                                              const RowSink* log) {
    return piecewise(curve, line, log, false);
}

std::optional<KlemesRow> klemesStepPieceScan(const KlemesCurve& curve, const StorageLine& line,
                                             const RowSink* log) {
    return piecewise(curve, line, log, true);
}

std::optional<KlemesRow> klemesStepReference(const KlemesCurve& curve, const StorageLine& line,
                                             const RowSink* log) {
    // Worked out here from the method's own formulas, apart from the
    // product's sample count and evaluation: each formula in double from its
    // float operands, rounded to float once; the products cut toward zero.
    const std::vector<float>& x = curve.x();
    const std::vector<float>& y = curve.y();
    const float top = y.back();
    const auto samplesReal = static_cast<float>(1000.0 * top);
    if (!(samplesReal >= 1.0f)) return std::nullopt;
    const auto count = static_cast<std::int64_t>(samplesReal);
    const auto size = static_cast<std::size_t>(count) + 1;
    std::vector<float> sampleFlow(size), sampleLine(size), sampleCurve(size), sampleGap(size);
    std::vector<char> filled(size, 0);
    for (std::int64_t L = 1; L <= count; ++L)
        sampleFlow[L] =
            static_cast<float>(static_cast<double>(L) * (static_cast<double>(top) / samplesReal));

    for (std::size_t k = 0; k + 1 < x.size(); ++k) {
        const double x0 = x[k], x1 = x[k + 1], y0 = y[k], y1 = y[k + 1];
        for (std::int64_t L = 1; L <= count; ++L) {
            const float q = sampleFlow[L];
            if (!(y0 <= q && q < y1)) continue;
            const auto a = static_cast<std::int64_t>(std::trunc((x1 - x0) * (q - y0)));
            const auto b = static_cast<std::int64_t>(std::trunc((y1 - y0) * x0));
            sampleCurve[L] = static_cast<float>(static_cast<double>(a + b) / (y1 - y0));
            sampleLine[L] =
                static_cast<float>(static_cast<double>(line.volume) +
                                   (static_cast<double>(line.inflow) - q) * line.timeStep);
            sampleGap[L] =
                static_cast<float>(std::fabs(static_cast<double>(sampleLine[L]) - sampleCurve[L]));
            filled[L] = 1; // a later segment overwrites an earlier one
        }
    }
    float smallest = kNoGap;
    for (std::int64_t L = 1; L <= count; ++L)
        if (filled[L] && sampleGap[L] <= smallest) smallest = sampleGap[L];
    std::optional<KlemesRow> last;
    for (std::int64_t L = 1; L <= count; ++L) {
        if (!filled[L] || !(sampleGap[L] == smallest)) continue;
        const KlemesRow row{L, sampleFlow[L], sampleLine[L], sampleCurve[L], sampleGap[L]};
        if (log) (*log)(row);
        last = row;
    }
    return last;
}

} // namespace veldron::testing
