// The Klemes step: where the storage line of one time step meets a
// transformation curve, on a grid of samples one litre per second apart.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veldron {

/// One chosen sample: a row of tab_min_radek_pro_klemese.
struct KlemesRow {
    std::int64_t sample = 0; // L
    float flow = 0;          // q_L [m3/s]
    float lineVolume = 0;    // volume on the storage line at q_L [m3]
    float curveVolume = 0;   // volume on the curve at q_L [m3]
    float gap = 0;           // |lineVolume - curveVolume| [m3]
};

/// The storage line of one step: v = W + (q_in - q) dt.
struct StorageLine {
    float inflow = 0;        // q_in [m3/s]
    float timeStep = 0;      // dt [s]
    std::int64_t volume = 0; // W, volume above the crest at the start of the step [m3]
};

using RowSink = std::function<void(const KlemesRow&)>;

/// The largest gap a sample may have and still be chosen.
inline constexpr float kNoGap = 9999999.0f;

/// Cuts toward zero into 64 bits; saturates where the value has no 64-bit
/// whole number (only absurd input gets there) and maps NaN to 0.
std::int64_t cutTowardZero(double v);

/// A transformation curve as the Klemes step uses it: the polyline through the
/// origin and the crest-grid points (volume above the crest, outflow). The
/// sample ranges of its segments are found once, when the curve is built.
class KlemesCurve {
public:
    /// volume[k], flow[k] for k = 1 ... N; the origin is added in front.
    KlemesCurve(const std::vector<float>& volume, const std::vector<float>& flow);

    float topFlow() const { return m_y.back(); }
    std::int64_t sampleCount() const { return m_sampleCount; }
    std::size_t segmentCount() const { return m_x.size() - 1; }

    /// q_L = L x (Q_top / S), rounded to single precision.
    float sampleFlow(std::int64_t sample) const {
        return static_cast<float>(static_cast<double>(sample) * m_sampleStep);
    }
    /// The curve's volume at q on segment k, with both products cut to whole numbers.
    float curveVolume(std::size_t segment, float q) const;

    // The samples of one segment that no later segment claims: a contiguous
    // range, because q_L never falls as L rises.
    struct Piece {
        std::int64_t first, last; // samples, first <= last
        std::size_t segment;
        float flowFirst, flowLast;   // q_L at the two ends
        float curveFirst, curveLast; // curve volume at the two ends
        bool finite;                 // both end points of the segment are finite
    };
    const std::vector<Piece>& pieces() const { return m_pieces; }

    // Consecutive pieces [begin, end). On a rising stretch the curve volume,
    // as computed, never falls as L rises: each piece's segment has finite
    // values and x1 >= x0, and each piece ends at or below the volume where
    // the next one begins. The other stretches hold the remaining pieces.
    struct Stretch {
        std::size_t begin, end;
        bool rising;
    };
    const std::vector<Stretch>& stretches() const { return m_stretches; }

    const std::vector<float>& x() const { return m_x; }
    const std::vector<float>& y() const { return m_y; }

private:
    void findPieces();
    void findStretches();
    std::int64_t firstSampleAtLeast(float q) const; // smallest L with q_L >= q
    std::vector<float> m_x, m_y;                    // P0 ... PN
    float m_sampleCountReal = 0;                    // S
    std::int64_t m_sampleCount = 0;                 // trunc(S)
    double m_sampleStep = 0;                        // Q_top / S
    std::vector<Piece> m_pieces;                    // in rising sample order
    std::vector<Stretch> m_stretches;               // in rising sample order
};

/// Volume on the storage line at q.
inline float lineVolume(const StorageLine& line, float q) {
    return static_cast<float>(static_cast<double>(line.volume) +
                              (static_cast<double>(line.inflow) - q) * line.timeStep);
}

/// The Klemes step. Chooses every sample whose gap equals the smallest gap
/// (starting from 9999999.0) exactly, in rising order, passes each to `log`
/// when given (logged mode) and returns the last one; nothing when no sample
/// qualifies. Exact: the same rows as the literal scan over every sample. On a
/// rising stretch (with dt >= 0) it searches over segments, O(log N + log S)
/// for a curve that is one stretch; other pieces are taken one by one.
std::optional<KlemesRow> klemesStep(const KlemesCurve& curve, const StorageLine& line,
                                    const RowSink* log = nullptr);

/// A Klemes solver: klemesStep in every run; the scans of the tests, which
/// give the same rows, stand in for it where whole runs are compared.
using KlemesSolver = std::optional<KlemesRow> (*)(const KlemesCurve&, const StorageLine&,
                                                  const RowSink*);

} // namespace veldron
