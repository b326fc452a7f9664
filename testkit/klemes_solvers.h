// Klemes solvers that give klemesStep's rows another way, for the tests that
// compare them and for the benchmark that times them against it.
#pragma once

#include "core/klemes/klemes.h"

#include <optional>

namespace veldron::testing {

/// Every piece of the curve visited, one search beside the sign change inside
/// the piece that holds it: the benchmark's yardstick for the search over
/// segments.
std::optional<KlemesRow> klemesStepPerSegment(const KlemesCurve& curve, const StorageLine& line,
                                              const RowSink* log = nullptr);

/// Every sample of every piece visited once.
std::optional<KlemesRow> klemesStepPieceScan(const KlemesCurve& curve, const StorageLine& line,
                                             const RowSink* log = nullptr);

/// The literal procedure, from the method's formulas alone (it shares no
/// sample count or evaluation with the product): every sample tested against
/// every segment, a later segment overwriting an earlier one, tables of S
/// entries. Costs S x N.
std::optional<KlemesRow> klemesStepReference(const KlemesCurve& curve, const StorageLine& line,
                                             const RowSink* log = nullptr);

} // namespace veldron::testing
