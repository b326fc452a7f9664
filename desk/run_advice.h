// What to mend after a run the core stopped on an error exit (ERROR 1/2/3,
// overtopping): the cause in words, with the figures the run read, and the
// forms and fields to open.
#pragma once

#include "project_files/run_summary_reader.h"
#include "project_files/saved_inputs.h"

#include <optional>
#include <string>

namespace desk {

/// The error exit the core took, from its message line.
enum class StopKind {
    Unknown,
    CurveBelowRetention, // ERROR 1: a level of the retention space outside the curve
    StartOffCurve,       // ERROR 2: the start level outside the curve
    StepOffCurve,        // ERROR 3: a routing step's volume outside the curve
    Overtopping          // the level would rise above the crest plus the retention height
};

StopKind stopKind(const std::string& coreLine);

/// The paragraphs told under the core's line: what the stop means for these
/// inputs (the inputs the run read; the run's summary, when it wrote one),
/// then "Opravte:" (or "Zkontrolujte:") with each form and field to open, one
/// a line. `step` is the step that stopped (0: not known). Empty for Unknown.
std::string stopAdvice(StopKind kind, long step, const project_files::SavedInputs& inputs,
                       const std::optional<project_files::RunSummary>& summary);

} // namespace desk
