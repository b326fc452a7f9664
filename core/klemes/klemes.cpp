// The Klemes step: where the storage line of one time step meets a
// transformation curve, on a grid of samples one litre per second apart.
#include "core/klemes/klemes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace veldron {

std::int64_t cutTowardZero(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 0x1p63) return std::numeric_limits<std::int64_t>::max();
    if (v <= -0x1p63) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(v);
}

namespace {

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return a > 0 ? std::numeric_limits<std::int64_t>::max()
                     : std::numeric_limits<std::int64_t>::min();
    return sum;
}

// Smallest x in [lo, hi] with pred(x), or hi + 1; pred must be false...true.
template <typename Pred> std::int64_t firstTrue(std::int64_t lo, std::int64_t hi, Pred pred) {
    std::int64_t end = hi + 1;
    while (lo < end) {
        const std::int64_t mid = lo + (end - lo) / 2;
        if (pred(mid))
            end = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

} // namespace

KlemesCurve::KlemesCurve(const std::vector<float>& volume, const std::vector<float>& flow) {
    const std::size_t n = std::min(volume.size(), flow.size());
    m_x.reserve(n + 1);
    m_y.reserve(n + 1);
    m_x.push_back(0.0f);
    m_y.push_back(0.0f);
    m_x.insert(m_x.end(), volume.begin(), volume.begin() + static_cast<std::ptrdiff_t>(n));
    m_y.insert(m_y.end(), flow.begin(), flow.begin() + static_cast<std::ptrdiff_t>(n));

    const float top = m_y.back();
    m_sampleCountReal = static_cast<float>(1000.0 * top);
    // A top discharge beyond 4.6e15 m3/s has no meaning; such a curve gets no samples.
    m_sampleCount = m_sampleCountReal >= 1.0f && m_sampleCountReal < 0x1p62f
                        ? static_cast<std::int64_t>(m_sampleCountReal)
                        : 0;
    m_sampleStep = static_cast<double>(top) / m_sampleCountReal;
    if (m_sampleCount == 0) return;

    // A sample lying on several segments belongs to the last of them: walk the
    // segments from the top down and give each only what no later one covers.
    std::vector<std::pair<std::int64_t, std::int64_t>> covered; // sorted, disjoint
    for (std::size_t k = n; k-- > 0;) {
        const float y0 = m_y[k], y1 = m_y[k + 1];
        if (!(y0 < y1)) continue; // equal (or falling) discharges hold no sample
        const std::int64_t a = firstSampleAtLeast(y0);
        const std::int64_t b = firstSampleAtLeast(y1) - 1;
        if (a > b) continue;
        const bool finite = std::isfinite(m_x[k]) && std::isfinite(m_x[k + 1]) &&
                            std::isfinite(y0) && std::isfinite(y1);
        std::int64_t from = a;
        auto addPiece = [&](std::int64_t first, std::int64_t last) {
            if (first > last) return;
            const float qFirst = sampleFlow(first), qLast = sampleFlow(last);
            m_pieces.push_back({first, last, k, qFirst, qLast, curveVolume(k, qFirst),
                                curveVolume(k, qLast), finite});
        };
        for (const auto& [c0, c1] : covered) {
            if (c1 < from) continue;
            if (c0 > b) break;
            addPiece(from, std::min(b, c0 - 1));
            from = std::max(from, c1 + 1);
        }
        addPiece(from, b);
        // Merge [a, b] into the covered ranges.
        std::vector<std::pair<std::int64_t, std::int64_t>> merged;
        merged.reserve(covered.size() + 1);
        std::pair<std::int64_t, std::int64_t> span{a, b};
        bool placed = false;
        for (const auto& r : covered) {
            if (r.second + 1 < span.first) {
                merged.push_back(r);
            } else if (span.second + 1 < r.first) {
                if (!placed) merged.push_back(span), placed = true;
                merged.push_back(r);
            } else {
                span = {std::min(span.first, r.first), std::max(span.second, r.second)};
            }
        }
        if (!placed) merged.push_back(span);
        std::sort(merged.begin(), merged.end());
        covered = std::move(merged);
    }
    std::sort(m_pieces.begin(), m_pieces.end(),
              [](const Piece& p, const Piece& q) { return p.first < q.first; });
}

std::int64_t KlemesCurve::firstSampleAtLeast(float q) const {
    // q_L never falls as L rises: a product by a positive constant and a
    // rounding are both monotone.
    return firstTrue(1, m_sampleCount, [&](std::int64_t L) { return sampleFlow(L) >= q; });
}

float KlemesCurve::curveVolume(std::size_t segment, float q) const {
    const double x0 = m_x[segment], x1 = m_x[segment + 1];
    const double y0 = m_y[segment], y1 = m_y[segment + 1];
    const std::int64_t a = cutTowardZero((x1 - x0) * (q - y0));
    const std::int64_t b = cutTowardZero((y1 - y0) * x0);
    return static_cast<float>(static_cast<double>(saturatingAdd(a, b)) / (y1 - y0));
}

namespace {

struct Sample {
    KlemesRow row;
    double difference; // lineVolume - curveVolume, as computed
};

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

float gapAt(const KlemesCurve& curve, const StorageLine& line, std::size_t segment,
            std::int64_t L) {
    return evaluate(curve, line, segment, L).row.gap;
}

// What one piece contributes: its smallest gap and where its samples change
// sign (for a monotone piece), or that it must be scanned.
struct PieceMinimum {
    bool scanned = false;   // gaps are not valley-shaped here: visit every sample
    bool any = false;       // at least one gap is a number
    float gap = 0;          // smallest gap of the piece
    std::int64_t split = 0; // monotone: first sample whose signed difference is negative
    int direction =
        1; // monotone: +1 when the difference never rises with L, -1 when it never falls
};

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
                          const KlemesCurve::Piece& piece, bool forceScan) {
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
    if (!finite || forceScan) m.scanned = true;

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

std::optional<KlemesRow> solve(const KlemesCurve& curve, const StorageLine& line,
                               const RowSink* log, bool forceScan) {
    const auto& pieces = curve.pieces();
    // Reused between steps: the routing calls this 22 times per time step.
    thread_local std::vector<PieceMinimum> minima;
    minima.clear();
    float smallest = kNoGap;
    for (const auto& piece : pieces) {
        minima.push_back(pieceMinimum(curve, line, piece, forceScan));
        const PieceMinimum& m = minima.back();
        if (m.any && m.gap <= smallest) smallest = m.gap;
    }

    std::optional<KlemesRow> last;
    auto emitPiece = [&](std::size_t i, bool all) {
        const auto& piece = pieces[i];
        const PieceMinimum& m = minima[i];
        if (!m.any || !(m.gap == smallest)) return;
        if (m.scanned) {
            for (std::int64_t L = piece.first; L <= piece.last; ++L) {
                const Sample s = evaluate(curve, line, piece.segment, L);
                if (s.row.gap == smallest) {
                    if (all && log) (*log)(s.row);
                    last = s.row;
                }
            }
            return;
        }
        const auto [first, end] = tiedRun(curve, line, piece, m, smallest);
        if (all && log)
            for (std::int64_t L = first; L <= end; ++L)
                (*log)(evaluate(curve, line, piece.segment, L).row);
        last = evaluate(curve, line, piece.segment, end).row;
    };
    if (log) {
        for (std::size_t i = 0; i < pieces.size(); ++i)
            emitPiece(i, true);
    } else {
        // Silent mode keeps only the last chosen row: the last piece that has one.
        for (std::size_t i = pieces.size(); i-- > 0 && !last;)
            emitPiece(i, false);
    }
    return last;
}

} // namespace

std::optional<KlemesRow> klemesStep(const KlemesCurve& curve, const StorageLine& line,
                                    const RowSink* log) {
    return solve(curve, line, log, false);
}

std::optional<KlemesRow> klemesStepPieceScan(const KlemesCurve& curve, const StorageLine& line,
                                             const RowSink* log) {
    return solve(curve, line, log, true);
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

} // namespace veldron
