// The inputs a project's result set was computed from, as its record keeps
// them, and which of the project's inputs differ from them now: a reader
// pairs the results only with the inputs that produced them.
#pragma once

#include "exchange/inputs_record.h"
#include "project_files/run_summary_reader.h"
#include "project_files/saved_inputs.h"

#include <filesystem>
#include <string>
#include <vector>

namespace project_files {

struct ResultInputs {
    /// The set records its inputs; false for a set of an earlier version of
    /// the core (or a record another run left): the inputs are not known.
    bool known = false;
    exchange::InputFiles files; // as the run read them
    SavedInputs inputs;         // read from them as the core reads them
    /// The project's inputs that differ from those now, in the order read:
    /// an IN_* file whose bytes differ or that is gone, and IN_START_VYP when
    /// the start level the project keeps (posledni_vyska_startu) is another
    /// number. The results are then older than the inputs.
    std::vector<std::string> changed;
};

/// The inputs of the result set in `root`. Never throws.
ResultInputs readResultInputs(const std::filesystem::path& root);

/// The age of `resultFile` of the set in `root` against the project's
/// inputs, as every reader judges it: the first input that differs from the
/// one the run read (its file's time when there is one), or, for a set that
/// records no inputs, the IN_* file saved after the results. An input saved
/// again unchanged leaves the results current.
ResultAge resultAgainstInputs(const std::filesystem::path& root,
                              const std::filesystem::path& resultFile);
/// The same with the set's inputs read already.
ResultAge resultAgainstInputs(const std::filesystem::path& root,
                              const std::filesystem::path& resultFile,
                              const ResultInputs& recorded);

} // namespace project_files
