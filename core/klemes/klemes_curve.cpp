// The transformation curve as the Klemes step uses it: its points, its
// samples and the pieces and rising stretches they form.
#include "core/klemes/klemes.h"
#include "core/klemes/sample_search.h"

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
    findPieces();
    findStretches();
}

void KlemesCurve::findPieces() {
    // A sample lying on several segments belongs to the last of them: walk the
    // segments from the top down and give each only what no later one covers.
    using Span = std::pair<std::int64_t, std::int64_t>;
    std::vector<Span> covered; // sorted, disjoint and not touching
    const std::size_t n = segmentCount();
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
}

void KlemesCurve::findStretches() {
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

} // namespace veldron
