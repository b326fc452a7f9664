// The Klemes step on one piece of a curve: a sample evaluated as the step
// evaluates it, and the smallest gap of a piece and its tied samples.
#pragma once

#include "core/klemes/klemes.h"

#include <cstdint>
#include <optional>

namespace veldron {

/// One sample on one segment, with every value rounded as the step rounds it.
struct Sample {
    KlemesRow row;
    double difference; // lineVolume - curveVolume, as computed
};

Sample evaluate(const KlemesCurve& curve, const StorageLine& line, std::size_t segment,
                std::int64_t L);

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

/// The smallest gap of one piece: a search beside the sign change where the
/// gaps fall to it and rise after it (proof in piece_search.cpp), otherwise
/// (or with `scan`) a visit of every sample.
PieceMinimum pieceMinimum(const KlemesCurve& curve, const StorageLine& line,
                          const KlemesCurve::Piece& piece, bool scan);

/// The samples of a piece whose gap equals `smallest` (at or below the
/// piece's minimum `m`), in rising order: each is passed to `log` when given;
/// the last one is returned, nothing when the piece has none.
std::optional<KlemesRow> pieceRows(const KlemesCurve& curve, const StorageLine& line,
                                   const KlemesCurve::Piece& piece, const PieceMinimum& m,
                                   float smallest, const RowSink* log);

} // namespace veldron
