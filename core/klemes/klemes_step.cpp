// The Klemes step: where the storage line of one time step meets a
// transformation curve, on a grid of samples one litre per second apart.
#include "core/klemes/klemes.h"
#include "core/klemes/piece_search.h"
#include "core/klemes/sample_search.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace veldron {

namespace {

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

// The parts of the curve in sample order, each with its smallest gap: rising
// stretches searched as one (with dt >= 0), the other pieces one by one.
void findParts(const KlemesCurve& curve, const StorageLine& line, std::vector<Part>& parts,
               std::vector<StretchMinimum>& stretchMinima) {
    const auto& stretches = curve.stretches();
    const bool search = line.timeStep >= 0;
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
            part.minimum = pieceMinimum(curve, line, curve.pieces()[j], false);
        }
    }
}

// The chosen rows of one part, passed to `log` when given; the last of them.
std::optional<KlemesRow> partRows(const KlemesCurve& curve, const StorageLine& line,
                                  const Part& part,
                                  const std::vector<StretchMinimum>& stretchMinima, float smallest,
                                  const RowSink* log) {
    if (!part.searched)
        return pieceRows(curve, line, curve.pieces()[part.index], part.minimum, smallest, log);
    if (!(part.minimum.gap == smallest)) return std::nullopt;
    const StretchMinimum& found = stretchMinima[part.index];
    const RisingStretch s(curve, line, curve.stretches()[found.stretch]);
    const TiedRun run = tiedRun(s, found, smallest);
    if (log)
        for (Position p = run.first; s.before(p, run.stop); p = s.next(p))
            (*log)(s.at(p).row);
    return run.last.row;
}

} // namespace

std::optional<KlemesRow> klemesStep(const KlemesCurve& curve, const StorageLine& line,
                                    const RowSink* log) {
    // Reused between steps: the routing calls this 22 times per time step.
    thread_local std::vector<Part> parts;
    thread_local std::vector<StretchMinimum> stretchMinima;
    parts.clear();
    stretchMinima.clear();
    findParts(curve, line, parts, stretchMinima);
    float smallest = kNoGap;
    for (const Part& part : parts)
        if (part.minimum.any && part.minimum.gap <= smallest) smallest = part.minimum.gap;

    std::optional<KlemesRow> last;
    if (log) {
        for (const Part& part : parts)
            if (const auto row = partRows(curve, line, part, stretchMinima, smallest, log))
                last = row;
    } else {
        // Silent mode keeps only the last chosen row: the last part that has one.
        for (std::size_t i = parts.size(); i-- > 0 && !last;)
            last = partRows(curve, line, parts[i], stretchMinima, smallest, nullptr);
    }
    return last;
}

} // namespace veldron
