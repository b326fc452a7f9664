// Klemes solvers that give klemesStep's rows another way, for the tests that
// compare them and for the benchmark that times them against it.
#include "testkit/klemes_solvers.h"

#include "core/klemes/piece_search.h"

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
    const std::int64_t count = curve.sampleCount();
    if (count == 0) return std::nullopt;
    const auto size = static_cast<std::size_t>(count) + 1;
    std::vector<float> sampleFlow(size), sampleLine(size), sampleCurve(size), sampleGap(size);
    std::vector<char> filled(size, 0);
    for (std::int64_t L = 1; L <= count; ++L)
        sampleFlow[L] = curve.sampleFlow(L);

    for (std::size_t k = 0; k < curve.segmentCount(); ++k) {
        const float y0 = curve.y()[k], y1 = curve.y()[k + 1];
        for (std::int64_t L = 1; L <= count; ++L) {
            const float q = sampleFlow[L];
            if (!(y0 <= q && q < y1)) continue;
            const Sample s = evaluate(curve, line, k, L);
            sampleLine[L] = s.row.lineVolume;
            sampleCurve[L] = s.row.curveVolume;
            sampleGap[L] = s.row.gap;
            filled[L] = 1;
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
