// The Klemes step on one piece of a curve: a sample evaluated as the step
// evaluates it, and the smallest gap of a piece and its tied samples.
#include "core/klemes/piece_search.h"

#include "core/klemes/sample_search.h"

#include <cmath>
#include <limits>
#include <utility>

namespace veldron {

Sample evaluate(const KlemesCurve& curve, const StorageLine& line, std::size_t segment,
                std::int64_t L) {
    Sample s;
    s.row.sample = L;
    s.row.flow = curve.sampleFlow(L);
    s.row.lineVolume = lineVolume(line, s.row.flow);
    s.row.curveVolume = curve.curveVolume(segment, s.row.flow);
    s.difference = static_cast<double>(s.row.lineVolume) - s.row.curveVolume;
    s.row.gap = static_cast<float>(std::fabs(s.difference));
    return s;
}

namespace {

float gapAt(const KlemesCurve& curve, const StorageLine& line, std::size_t segment,
            std::int64_t L) {
    return evaluate(curve, line, segment, L).row.gap;
}

// The run of samples of a monotone piece whose gap equals g (g is the piece's minimum).
std::pair<std::int64_t, std::int64_t> tiedRun(const KlemesCurve& curve, const StorageLine& line,
                                              const KlemesCurve::Piece& piece,
                                              const PieceMinimum& m, float g) {
    auto gap = [&](std::int64_t L) { return gapAt(curve, line, piece.segment, L); };
    std::int64_t first = m.split, last = m.split - 1;
    if (m.split > piece.first && gap(m.split - 1) == g)
        first = firstTrue(piece.first, m.split - 1, [&](std::int64_t L) { return gap(L) <= g; });
    if (m.split <= piece.last && gap(m.split) == g)
        last = firstTrue(m.split, piece.last, [&](std::int64_t L) { return gap(L) > g; }) - 1;
    return {first, last};
}

} // namespace

/// Why the monotone search is exact. On a piece of segment k every sample has
/// y0 <= q_L < y1. Each operation in the sample formulas is a monotone function
/// of its varying input: q_L -> q_L - y0 (rising), x (x1 - x0) (rising when
/// x1 >= x0, falling when x1 <= x0), cut toward zero and the saturating add of
/// the constant B (rising), conversion to double, division by y1 - y0 > 0 and
/// rounding to float (rising). So the curve volume moves with sign(x1 - x0).
/// The line volume W + (q_in - q_L) dt moves against sign(dt) by the same
/// reasoning. The difference line - curve, rounded to double, is monotone in
/// each operand, so with dt >= 0 and x1 >= x0 it never rises with L, and with
/// dt <= 0 and x1 <= x0 it never falls. With finite end values every value in
/// between is finite too (it lies between them), so the rounded |difference|,
/// the gap, never rises up to the sign change and never falls after it: the
/// smallest gap sits on one of the two samples beside the change, and the
/// samples with any given gap at or below the piece's minimum form one run.
PieceMinimum pieceMinimum(const KlemesCurve& curve, const StorageLine& line,
                          const KlemesCurve::Piece& piece, bool scan) {
    PieceMinimum m;
    const double dx = static_cast<double>(curve.x()[piece.segment + 1]) - curve.x()[piece.segment];
    const double dt = line.timeStep;
    // The end samples' values are exactly what evaluate() gives for them.
    const float lineFirst = lineVolume(line, piece.flowFirst);
    const float lineLast = lineVolume(line, piece.flowLast);
    const bool finite = piece.finite && std::isfinite(lineFirst) && std::isfinite(lineLast) &&
                        std::isfinite(piece.curveFirst) && std::isfinite(piece.curveLast);
    if (dt >= 0 && dx >= 0)
        m.direction = 1;
    else if (dt <= 0 && dx <= 0)
        m.direction = -1;
    else
        m.scanned = true;
    if (!finite || scan) m.scanned = true;

    if (m.scanned) {
        float best = std::numeric_limits<float>::infinity();
        for (std::int64_t L = piece.first; L <= piece.last; ++L) {
            const float g = gapAt(curve, line, piece.segment, L);
            if (g <= best) best = g, m.any = true;
        }
        m.gap = best;
        return m;
    }

    m.any = true;
    const double differenceFirst = static_cast<double>(lineFirst) - piece.curveFirst;
    const double differenceLast = static_cast<double>(lineLast) - piece.curveLast;
    if (m.direction * differenceFirst < 0) {
        m.split = piece.first; // the whole piece lies past the sign change
        m.gap = static_cast<float>(std::fabs(differenceFirst));
        return m;
    }
    if (m.direction * differenceLast >= 0) {
        m.split = piece.last + 1; // the whole piece lies before it
        m.gap = static_cast<float>(std::fabs(differenceLast));
        return m;
    }
    m.split = firstTrue(piece.first + 1, piece.last, [&](std::int64_t L) {
        return m.direction * evaluate(curve, line, piece.segment, L).difference < 0;
    });
    m.gap = std::min(gapAt(curve, line, piece.segment, m.split - 1),
                     gapAt(curve, line, piece.segment, m.split));
    return m;
}

std::optional<KlemesRow> pieceRows(const KlemesCurve& curve, const StorageLine& line,
                                   const KlemesCurve::Piece& piece, const PieceMinimum& m,
                                   float smallest, const RowSink* log) {
    if (!m.any || !(m.gap == smallest)) return std::nullopt;
    std::optional<KlemesRow> last;
    if (m.scanned) {
        for (std::int64_t L = piece.first; L <= piece.last; ++L) {
            const Sample s = evaluate(curve, line, piece.segment, L);
            if (s.row.gap == smallest) {
                if (log) (*log)(s.row);
                last = s.row;
            }
        }
        return last;
    }
    const auto [first, end] = tiedRun(curve, line, piece, m, smallest);
    if (log)
        for (std::int64_t L = first; L <= end; ++L)
            (*log)(evaluate(curve, line, piece.segment, L).row);
    return evaluate(curve, line, piece.segment, end).row;
}

} // namespace veldron
