// One calculation from the exchange files to the result files.
#include "core/run.h"

#include "core/errors.h"
#include "core/output_set.h"
#include "core/routing/routing.h"
#include "core/run_inputs.h"
#include "core/summary/summary_lines.h"
#include "core/tables/reservoir_tables.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/inputs_record.h"
#include "exchange/platform_files.h"
#include "exchange/record_writer.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace veldron {

namespace fs = std::filesystem;

namespace {

void printBanner(std::ostream& console) {
    static const char* const lines[] = {
        "/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/"
        "\\",
        "",
        "   PRGVELDRON - TRANSFORMACE POVODNOVE VLNY V NADRZI",
        "   vypocet pomoci Klemesovych transformacnich krivek",
        "",
        "   VELDRON, verze 0.1",
        "   autori: vyvojovy tym VELDRON",
        "",
        "\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/\\/"
        "\\/",
    };
    for (const char* line : lines)
        console << line << '\n';
    console.flush();
}

// The tables' records, held until every check has passed, into the set.
void writeTables(const TableTexts& texts, OutputSet& out) {
    out.file(exchange::kGridVolumes).writeText(texts.gridVolumes.text);
    out.file(exchange::kVolumesAboveCrest).writeText(texts.volumesAboveCrest.text);
    out.file(exchange::kOutletFlows).writeText(texts.outletFlows.text);
    out.file(exchange::kSpillwayFlows).writeText(texts.spillwayFlows.text);
    for (int p = 0; p < kOpeningCount; ++p)
        out.file(exchange::transformationCurveName(p)).writeText(texts.curves[p].text);
    out.file(exchange::kTotalFlows).writeText(texts.totalFlows.text);
}

// Discharges beyond the range of single precision have no meaning and would
// end up as infinities in the results: the sizes behind them are refused.
void checkTables(const ReservoirTables& t) {
    auto refuse = [](const char* what, std::initializer_list<const char*> files) {
        std::string text = std::string(what) + " vychazi mimo rozsah cisel: ";
        for (const char* file : files)
            text += std::string(file) + ", ";
        throw FileError(kErrOutOfRange, text.substr(0, text.size() - 2));
    };
    bool outlets = std::isfinite(t.outletArea), spillway = true, total = true;
    for (std::size_t i = 0; i < t.outletFlow.size(); ++i) {
        outlets = outlets && std::isfinite(t.outletFlow[i]);
        spillway = spillway && std::isfinite(t.spillwayFlow[i]);
        // Every transformation curve lies between the spillway alone and this sum.
        total = total && std::isfinite(static_cast<float>(static_cast<double>(t.outletFlow[i]) +
                                                          t.spillwayFlow[i]));
    }
    if (!outlets)
        refuse("odtok spodnich vypusti",
               {exchange::kOutletCount, exchange::kOutletDiameter, exchange::kOutletCoefficient});
    if (!spillway)
        refuse("odtok pres preliv", {exchange::kSpillwayWidth, exchange::kOverflowCoefficient,
                                     exchange::kRetentionHeight});
    if (!total)
        refuse("celkovy odtok z nadrze",
               {exchange::kOutletCount, exchange::kOutletDiameter, exchange::kOutletCoefficient,
                exchange::kSpillwayWidth, exchange::kOverflowCoefficient});
}

class Run {
public:
    Run(const fs::path& root, std::ostream& console, KlemesSolver solver)
        : m_root(root), m_console(console), m_solver(solver) {}

    /// The run in its order; returns the exit status. Whatever ends it with
    /// an *ERR* line is thrown (FileError, bad_alloc), and the result set of
    /// the run before stays as it was.
    int execute(std::istream& consoleInput) {
        printBanner(m_console);
        lockRoot();
        // A commit a run that died left recorded is finished first: the
        // files this run writes under temporary names may hold it.
        exchange::settleResultSet(m_root);
        takeInputs(readRunInputs(exchange::exchangeDir(m_root)));
        // The tables are computed and checked before the set is begun;
        // ERROR 1 comes after the records of the levels below it.
        TableTexts texts;
        std::optional<ErrorExit> stop;
        ReservoirTables tables;
        try {
            tables = buildReservoirTables(m_dam, m_curve, texts.files());
            checkTables(tables);
        } catch (const ErrorExit& e) {
            stop = e;
        }
        m_outputs = std::make_unique<OutputSet>(m_root);
        writeTables(texts, *m_outputs);
        if (!stop) {
            try {
                route(tables);
            } catch (const ErrorExit& e) {
                stop = e;
            }
        }
        finishSet(stop);
        // A stopped run computed its set too: it replaces the one before.
        m_outputs->commit();
        consumeStartFile();
        m_lock.release();
        if (!stop) return exchange::kExitNormal;
        m_console << errorExitMessage(stop->kind) << '\n';
        m_console.flush();
        std::string enter;
        std::getline(consoleInput, enter);
        return exchange::kExitErrorExit;
    }

private:
    /// Another run in this root would write the same files: refused at once.
    void lockRoot() {
        const fs::path lock = m_root / exchange::kRunLock;
        if (!m_lock.tryLock(lock))
            throw FileError(kErrRootBusy, "v adresari " + m_root.string() +
                                              " uz probiha jiny vypocet (drzi zamek " +
                                              lock.string() +
                                              "); nic nebylo zmeneno, spustte vypocet znovu, "
                                              "az skonci");
    }

    void takeInputs(RunInputs in) {
        m_dam = in.dam;
        m_curve = std::move(in.curve);
        m_timeStepMinutes = in.timeStepMinutes;
        m_routing.startLevel = in.startLevel;
        m_routing.options = in.options;
        m_routing.inflow = std::move(in.inflow);
        m_routing.inflowPeakIndex = in.inflowPeakIndex;
        m_routing.solver = m_solver;
        m_routing.crestHeight = m_dam.crestHeight;
        m_routing.retentionHeight = m_dam.retentionHeight;
        m_routing.outletCoefficientScaled = m_dam.outletCoefficientScaled;
        m_inputFiles = std::move(in.files);
    }

    /// The start volume, then the flood wave step by step; throws ErrorExit
    /// on ERROR 2, ERROR 3 or overtopping, after the records of the steps done.
    void route(const ReservoirTables& tables) {
        m_routing.timeStepSeconds =
            static_cast<float>(static_cast<double>(m_timeStepMinutes) * 60.0);
        const std::optional<float> startVolume =
            volumeAtLevel(m_curve, m_routing.startLevel, Bracket::Inclusive);
        if (!startVolume) throw ErrorExit{ErrorExit::StartLevelOffCurve};
        m_routing.startVolume = *startVolume;
        m_routing.outletArea = tables.outletArea;
        if (!tables.gridVolume.empty()) m_routing.crestVolume = tables.gridVolume.front();
        m_klemesCurves = buildKlemesCurves(tables);
        m_routingOutput = std::make_unique<RoutingOutput>(RoutingOutput{
            m_outputs->file(exchange::kOutflowSeries), m_outputs->file(exchange::kLevelSeries),
            m_outputs->file(exchange::kKlemesRows), [this](std::int64_t i) { printStep(i); }});
        m_router = std::make_unique<Router>(m_routing, m_curve, m_klemesCurves, *m_routingOutput);
        m_router->routeFloodWave();
    }

    /// One console line per step. Passing each line on at once costs a system
    /// call per step, more than the step itself, so the lines go out together
    /// once 50 ms have gone by since the last time: the console still follows
    /// the run, and the summary, a message or the wait for Enter flush the rest.
    void printStep(std::int64_t i) {
        m_console << exchange::formatWhole(i) << '\n';
        const auto now = std::chrono::steady_clock::now();
        if (now - m_consoleFlushed >= std::chrono::milliseconds(50)) {
            m_console.flush();
            m_consoleFlushed = now;
        }
    }

    /// The inflow of the steps routed and the summary, on the console and in
    /// its file. After an error exit the summary closes with the reason.
    void finishSet(const std::optional<ErrorExit>& stop) {
        const std::int64_t n = m_router ? m_router->stepsDone() : 0;
        const auto steps = static_cast<std::size_t>(n);
        OutputFile& inflow = m_outputs->file(exchange::kInflowSeries);
        for (std::size_t i = 0; i < steps; ++i)
            inflow.write({m_routing.inflow[i]});
        RunFigures figures;
        figures.stepsGiven = static_cast<std::int64_t>(m_routing.inflow.size());
        figures.timeStepMinutes = m_timeStepMinutes;
        figures.timeStepSeconds = m_routing.timeStepSeconds;
        figures.crestHeight = m_dam.crestHeight;
        figures.retentionHeight = m_dam.retentionHeight;
        figures.inflow = std::span<const float>(m_routing.inflow).first(steps);
        figures.flood = m_routing.inflow;
        if (m_router) {
            figures.outflow = std::span<const float>(m_router->outflow()).subspan(1, steps);
            figures.level = std::span<const float>(m_router->levelSeries()).subspan(1, steps);
            figures.endLevel = m_router->levelAfterLastStep();
        }
        figures.curve = &m_curve;
        figures.stop = stop;
        std::string file;
        for (const std::string& line : summaryLines(figures)) {
            m_console << line << '\n';
            file += line + "\r\n";
        }
        m_outputs->file(exchange::summary::kFileName).writeText(file);
        // The inputs travel with the results: a reader pairs them with nothing else.
        m_outputs->file(exchange::kInputsRecord)
            .writeText(exchange::inputsRecordText(m_inputFiles, file));
        m_console.flush();
    }

    /// The start level is taken over with the set: every run needs a new one,
    /// and a run that did not complete can be repeated as it was.
    void consumeStartFile() {
        std::error_code ignored;
        fs::remove(exchange::exchangeDir(m_root) / exchange::kStartLevel, ignored);
    }

    fs::path m_root;
    std::ostream& m_console;
    std::chrono::steady_clock::time_point m_consoleFlushed{}; // the first step flushes
    KlemesSolver m_solver;
    exchange::FileLock m_lock;
    DamData m_dam;
    RoutingInput m_routing;
    std::vector<CurveRow> m_curve;
    exchange::InputFiles m_inputFiles; // every input as read, for the set's record
    float m_timeStepMinutes = 0;
    std::unique_ptr<OutputSet> m_outputs;
    std::vector<KlemesCurve> m_klemesCurves;
    std::unique_ptr<RoutingOutput> m_routingOutput;
    std::unique_ptr<Router> m_router;
};

int refused(std::ostream& console, int code, const char* text) {
    console << "*ERR* " << code << ' ' << text << '\n';
    console.flush();
    return exchange::kExitInputError;
}

} // namespace

int runCore(const fs::path& root, std::ostream& console, std::istream& consoleInput,
            KlemesSolver solver) {
    // The run is gone (its temporary files removed, its lock released) before
    // the line is printed.
    try {
        Run run(root, console, solver);
        return run.execute(consoleInput);
    } catch (const FileError& error) {
        return refused(console, error.code, error.what());
    } catch (const std::bad_alloc&) {
        return refused(console, kErrNoMemory,
                       "nedostatek pameti: vypocet potrebuje vic pameti, nez system poskytne; "
                       "vysledky zustaly beze zmeny");
    } catch (const std::exception& error) {
        const std::string text =
            std::string("vnitrni chyba jadra: ") + error.what() + "; vysledky zustaly beze zmeny";
        return refused(console, kErrInternal, text.c_str());
    } catch (...) {
        return refused(console, kErrInternal, "vnitrni chyba jadra; vysledky zustaly beze zmeny");
    }
}

} // namespace veldron
