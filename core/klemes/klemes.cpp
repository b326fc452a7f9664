// The Klemes step: where the storage line of one time step meets a
// transformation curve, on a grid of samples one litre per second apart.
#include "core/klemes/klemes.h"

#include <algorithm>
#include <array>
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

// The same, starting from a guess: steps of 1, 2, 4, ... away from it until
// the answer is bracketed, then a binary search. O(log distance); a good guess
// costs two calls of pred.
template <typename Pred>
std::int64_t firstTrueNear(std::int64_t lo, std::int64_t hi, std::int64_t guess, Pred pred) {
    if (lo > hi) return lo;
    guess = std::clamp(guess, lo, hi);
    if (pred(guess)) { // the answer lies in [lo, guess]
        std::int64_t b = guess;
        for (std::int64_t step = 1;; step *= 2) {
            if (b - lo < step) return firstTrue(lo, b - 1, pred);
            const std::int64_t a = b - step;
            if (!pred(a)) return firstTrue(a + 1, b - 1, pred);
            b = a;
        }
    }
    std::int64_t a = guess; // the answer lies in (guess, hi + 1]
    for (std::int64_t step = 1;; step *= 2) {
        if (hi - a < step) return firstTrue(a + 1, hi, pred);
        const std::int64_t b = a + step;
        if (pred(b)) return firstTrue(a + 1, b - 1, pred);
        a = b;
    }
}

// A guess at a whole number from a real, kept within [lo, hi] (NaN gives lo).
std::int64_t clampedGuess(double v, std::int64_t lo, std::int64_t hi) {
    if (!(v >= static_cast<double>(lo))) return lo;
    if (!(v <= static_cast<double>(hi))) return hi;
    return static_cast<std::int64_t>(v);
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
    using Span = std::pair<std::int64_t, std::int64_t>;
    std::vector<Span> covered; // sorted, disjoint and not touching
    m_pieces.reserve(n);
    std::optional<std::int64_t> above; // first sample at or above y[k + 1], from segment k + 1
    for (std::size_t k = n; k-- > 0;) {
        const float y0 = m_y[k], y1 = m_y[k + 1];
        if (!(y0 < y1)) { // equal (or falling) discharges hold no sample
            above.reset();
            continue;
        }
        const std::int64_t a = firstSampleAtLeast(y0);
        const std::int64_t b = (above ? *above : firstSampleAtLeast(y1)) - 1;
        above = a;
        if (a > b) continue;
        const bool finite = std::isfinite(m_x[k]) && std::isfinite(m_x[k + 1]) &&
                            std::isfinite(y0) && std::isfinite(y1);
        auto addPiece = [&](std::int64_t first, std::int64_t last) {
            if (first > last) return;
            const float qFirst = sampleFlow(first), qLast = sampleFlow(last);
            m_pieces.push_back({first, last, k, qFirst, qLast, curveVolume(k, qFirst),
                                curveVolume(k, qLast), finite});
        };
        // The covered spans that touch [a, b] or lie above it, from the lowest.
        const auto touching =
            std::lower_bound(covered.begin(), covered.end(), a,
                             [](const Span& r, std::int64_t v) { return r.second + 1 < v; });
        std::int64_t from = a;
        auto past = touching;
        for (; past != covered.end() && past->first <= b + 1; ++past) {
            addPiece(from, std::min(b, past->first - 1));
            from = std::max(from, past->second + 1);
        }
        addPiece(from, b);
        // Merge [a, b] with the spans it touches.
        if (touching == past) {
            covered.insert(touching, Span{a, b});
        } else {
            touching->first = std::min(touching->first, a);
            touching->second = std::max(std::prev(past)->second, b);
            covered.erase(std::next(touching), past);
        }
    }
    std::sort(m_pieces.begin(), m_pieces.end(),
              [](const Piece& p, const Piece& q) { return p.first < q.first; });

    // Rising stretches: the argument of klemesStep holds across each of them.
    for (std::size_t j = 0; j < m_pieces.size(); ++j) {
        const Piece& piece = m_pieces[j];
        const bool rising = piece.finite && m_x[piece.segment] <= m_x[piece.segment + 1] &&
                            std::isfinite(piece.curveFirst) && std::isfinite(piece.curveLast);
        if (!m_stretches.empty() && m_stretches.back().rising == rising &&
            (!rising || m_pieces[j - 1].curveLast <= piece.curveFirst))
            m_stretches.back().end = j + 1;
        else
            m_stretches.push_back({j, j + 1, rising});
    }
}

std::int64_t KlemesCurve::firstSampleAtLeast(float q) const {
    // q_L never falls as L rises: a product by a positive constant and a
    // rounding are both monotone. q / step is where it lies, give or take a rounding.
    return firstTrueNear(1, m_sampleCount,
                         clampedGuess(std::ceil(q / m_sampleStep), 1, m_sampleCount),
                         [&](std::int64_t L) { return sampleFlow(L) >= q; });
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

// A sample of a stretch: the piece it belongs to (an index into pieces()) and L.
struct Position {
    std::size_t piece;
    std::int64_t sample;
};

/// Why the search over segments is exact. On a rising stretch the curve
/// volume, as computed, never falls as L rises: inside each piece by the
/// argument of pieceMinimum (x1 >= x0), and from one piece to the next because
/// the stretch was cut where the volume at a piece's last sample, computed as
/// here, exceeds the one at the next piece's first sample (truncating B can
/// put a segment's start below its corner point, so this is checked, not
/// assumed). With dt >= 0 the line volume never rises with q_L, hence with L,
/// over all samples: the same operations, none of them depending on the
/// segment. So the difference line - curve never rises along the whole
/// stretch, and with finite line volumes at its two ends (the curve volumes
/// were checked when the curve was built) every value is finite. As in one
/// piece, the gap falls to the sign change and rises after it: the smallest
/// gap sits on the samples beside the change, found by a binary search over
/// the pieces (their end values are precomputed) and one inside the piece
/// that holds it, and the samples of any gap at or below the stretch's
/// minimum form one run, which may reach over several pieces.
class RisingStretch {
public:
    RisingStretch(const KlemesCurve& curve, const StorageLine& line,
                  const KlemesCurve::Stretch& stretch)
        : m_curve(curve), m_line(line), m_pieces(curve.pieces()), m_begin(stretch.begin),
          m_end(stretch.end) {}

    bool finite() const {
        return std::isfinite(lineVolume(m_line, m_pieces[m_begin].flowFirst)) &&
               std::isfinite(lineVolume(m_line, m_pieces[m_end - 1].flowLast));
    }

    Position end() const { return {m_end, 0}; }
    bool isEnd(const Position& p) const { return p.piece == m_end; }
    bool before(const Position& a, const Position& b) const {
        return a.piece < b.piece || (a.piece == b.piece && a.sample < b.sample);
    }
    std::optional<Position> previous(const Position& p) const {
        if (isEnd(p)) return Position{m_end - 1, m_pieces[m_end - 1].last};
        if (p.sample > m_pieces[p.piece].first) return Position{p.piece, p.sample - 1};
        if (p.piece > m_begin) return Position{p.piece - 1, m_pieces[p.piece - 1].last};
        return std::nullopt;
    }
    Position next(const Position& p) const {
        if (p.sample < m_pieces[p.piece].last) return {p.piece, p.sample + 1};
        if (p.piece + 1 < m_end) return {p.piece + 1, m_pieces[p.piece + 1].first};
        return end();
    }
    Sample at(const Position& p) const {
        // The two samples evaluated last are kept: a search that ends on the
        // sign change has just evaluated both samples beside it.
        for (const Recent& r : m_recent)
            if (r.sample.row.sample == p.sample && r.piece == p.piece) return r.sample;
        const Sample s = evaluate(m_curve, m_line, m_pieces[p.piece].segment, p.sample);
        m_recent[m_older] = {p.piece, s};
        m_older ^= 1;
        return s;
    }

    /// The first sample whose difference is negative, or end().
    Position split() const {
        const std::size_t j = firstPiece([&](std::size_t k) { return differenceLast(k) < 0; });
        if (j == m_end) return end();
        const KlemesCurve::Piece& piece = m_pieces[j];
        const double first = differenceFirst(j);
        if (first < 0) return {j, piece.first};
        // The difference is nearly linear in L: where it would reach zero is the guess.
        const double last = differenceLast(j);
        const double zero =
            static_cast<double>(piece.first) +
            static_cast<double>(piece.last - piece.first) * (first / (first - last));
        const std::int64_t guess = clampedGuess(std::floor(zero) + 1, piece.first + 1, piece.last);
        return {j, firstTrueNear(piece.first + 1, piece.last, guess, [&](std::int64_t L) {
                    return at({j, L}).difference < 0;
                })};
    }

    /// The first sample where pred holds (pred false...true along the stretch),
    /// or end(): a binary search over the pieces' last samples, then inside one.
    template <typename Pred> Position firstWhere(Pred pred) const {
        const std::size_t j = firstPiece([&](std::size_t k) {
            return pred(Position{k, m_pieces[k].last});
        });
        if (j == m_end) return end();
        const KlemesCurve::Piece& piece = m_pieces[j];
        return {j, firstTrue(piece.first, piece.last, [&](std::int64_t L) {
                    return pred(Position{j, L});
                })};
    }

private:
    template <typename Pred> std::size_t firstPiece(Pred pred) const {
        return static_cast<std::size_t>(
            firstTrue(static_cast<std::int64_t>(m_begin), static_cast<std::int64_t>(m_end) - 1,
                      [&](std::int64_t k) { return pred(static_cast<std::size_t>(k)); }));
    }
    // The differences at a piece's end samples, from the values kept with the
    // piece: exactly what evaluate() gives there.
    double differenceFirst(std::size_t j) const {
        const KlemesCurve::Piece& p = m_pieces[j];
        return static_cast<double>(lineVolume(m_line, p.flowFirst)) - p.curveFirst;
    }
    double differenceLast(std::size_t j) const {
        const KlemesCurve::Piece& p = m_pieces[j];
        return static_cast<double>(lineVolume(m_line, p.flowLast)) - p.curveLast;
    }

    const KlemesCurve& m_curve;
    const StorageLine& m_line;
    const std::vector<KlemesCurve::Piece>& m_pieces;
    std::size_t m_begin, m_end;
    struct Recent {
        std::size_t piece = static_cast<std::size_t>(-1);
        Sample sample{};
    };
    mutable std::array<Recent, 2> m_recent{};
    mutable std::size_t m_older = 0;
};

// What a searched stretch contributes: the first sample whose difference is
// negative, the samples beside the change (before it, at it) where they exist,
// and the smallest gap.
struct StretchMinimum {
    std::size_t stretch = 0; // index into stretches()
    Position split{};
    std::optional<Sample> before, atSplit;
    float gap = 0;
};

StretchMinimum stretchMinimum(const RisingStretch& s, std::size_t index) {
    StretchMinimum m;
    m.stretch = index;
    m.split = s.split();
    m.gap = std::numeric_limits<float>::infinity();
    if (const auto before = s.previous(m.split)) {
        m.before = s.at(*before);
        m.gap = m.before->row.gap;
    }
    if (!s.isEnd(m.split)) {
        m.atSplit = s.at(m.split);
        m.gap = std::min(m.gap, m.atSplit->row.gap);
    }
    return m;
}

// The samples [first, stop) of a searched stretch whose gap equals g (g is its
// minimum), and the last of them.
struct TiedRun {
    Position first, stop;
    Sample last;
};

TiedRun tiedRun(const RisingStretch& s, const StretchMinimum& m, float g) {
    const Position split = m.split;
    TiedRun run{split, split, {}};
    if (m.before && m.before->row.gap == g) {
        run.first = *s.previous(split);
        run.last = *m.before;
        if (const auto further = s.previous(run.first); further && s.at(*further).row.gap <= g)
            run.first = s.firstWhere(
                [&](const Position& p) { return !s.before(p, split) || s.at(p).row.gap <= g; });
    }
    if (m.atSplit && m.atSplit->row.gap == g) {
        run.stop = s.next(split);
        run.last = *m.atSplit;
        if (!s.isEnd(run.stop) && s.at(run.stop).row.gap <= g) {
            run.stop = s.firstWhere(
                [&](const Position& p) { return !s.before(p, split) && s.at(p).row.gap > g; });
            run.last = s.at(*s.previous(run.stop));
        }
    }
    return run;
}

// What one part of the curve contributes, in sample order: a rising stretch
// searched as one, or a single piece. Kept small: a curve taken piece by
// piece makes one per piece in every step.
struct Part {
    bool searched = false; // a stretch: index is its entry among the stretch minima
    std::size_t index = 0; // otherwise the piece
    PieceMinimum minimum;  // of the piece; of a stretch only any and gap
};

enum class Method { SearchStretches, PerPiece, ScanPieces };

std::optional<KlemesRow> solve(const KlemesCurve& curve, const StorageLine& line,
                               const RowSink* log, Method method) {
    const auto& pieces = curve.pieces();
    const auto& stretches = curve.stretches();
    // Reused between steps: the routing calls this 22 times per time step.
    thread_local std::vector<Part> parts;
    thread_local std::vector<StretchMinimum> stretchMinima;
    parts.clear();
    stretchMinima.clear();
    const bool search = method == Method::SearchStretches && line.timeStep >= 0;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const KlemesCurve::Stretch& stretch = stretches[i];
        if (search && stretch.rising) {
            const RisingStretch s(curve, line, stretch);
            if (s.finite()) {
                stretchMinima.push_back(stretchMinimum(s, i));
                PieceMinimum m;
                m.any = true;
                m.gap = stretchMinima.back().gap;
                parts.push_back({true, stretchMinima.size() - 1, m});
                continue;
            }
        }
        for (std::size_t j = stretch.begin; j < stretch.end; ++j) {
            Part& part = parts.emplace_back();
            part.index = j;
            part.minimum = pieceMinimum(curve, line, pieces[j], method == Method::ScanPieces);
        }
    }
    float smallest = kNoGap;
    for (const Part& part : parts)
        if (part.minimum.any && part.minimum.gap <= smallest) smallest = part.minimum.gap;

    std::optional<KlemesRow> last;
    auto emitPart = [&](const Part& part, bool all) {
        const PieceMinimum& m = part.minimum;
        if (!m.any || !(m.gap == smallest)) return;
        if (part.searched) {
            const StretchMinimum& found = stretchMinima[part.index];
            const RisingStretch s(curve, line, stretches[found.stretch]);
            const TiedRun run = tiedRun(s, found, smallest);
            if (all && log)
                for (Position p = run.first; s.before(p, run.stop); p = s.next(p))
                    (*log)(s.at(p).row);
            last = run.last.row;
            return;
        }
        const auto& piece = pieces[part.index];
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
        for (const Part& part : parts)
            emitPart(part, true);
    } else {
        // Silent mode keeps only the last chosen row: the last part that has one.
        for (std::size_t i = parts.size(); i-- > 0 && !last;)
            emitPart(parts[i], false);
    }
    return last;
}

} // namespace

std::optional<KlemesRow> klemesStep(const KlemesCurve& curve, const StorageLine& line,
                                    const RowSink* log) {
    return solve(curve, line, log, Method::SearchStretches);
}

std::optional<KlemesRow> klemesStepPerSegment(const KlemesCurve& curve, const StorageLine& line,
                                              const RowSink* log) {
    return solve(curve, line, log, Method::PerPiece);
}

std::optional<KlemesRow> klemesStepPieceScan(const KlemesCurve& curve, const StorageLine& line,
                                             const RowSink* log) {
    return solve(curve, line, log, Method::ScanPieces);
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
