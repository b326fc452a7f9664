// One calculation from the exchange files to the result files.
#include "core/run.h"

#include "core/errors.h"
#include "core/io/free_format_reader.h"
#include "core/io/record_writer.h"
#include "core/routing/routing.h"
#include "core/summary/run_summary.h"
#include "core/tables/reservoir_tables.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
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

// An input file, opened by its fixed path and read with the free-format rules.
class InputFile {
public:
    InputFile(const fs::path& dir, const char* name)
        : m_path(dir / name), m_stream(m_path, std::ios::binary), m_reader(m_stream, name) {
        if (!m_stream)
            throw FileError(kErrOpenInput, "nelze otevrit vstupni soubor " + m_path.string() +
                                               " (" + std::strerror(errno) + ")");
    }
    FreeFormatReader& reader() { return m_reader; }
    void close() { m_stream.close(); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
    std::ifstream m_stream;
    FreeFormatReader m_reader;
};

// Every output file, opened (and emptied) in the fixed order once every input
// has been read and checked, so that a refused run leaves the files as they were.
struct OutputFiles {
    std::vector<std::unique_ptr<RecordFile>> all;
    RecordFile *gridVolumes, *volumesAboveCrest, *outletFlows, *spillwayFlows, *totalFlows,
        *klemesRows, *levelSeries, *outflowSeries, *summary;
    std::array<RecordFile*, kOpeningCount> curves{};

    explicit OutputFiles(const fs::path& root) {
        for (const fs::path& dir :
             {exchange::outDataDir(root), exchange::curvesDir(root), exchange::outResultDir(root)})
            if (!fs::is_directory(dir))
                throw FileError(kErrOpenOutput, "vystupni adresar neexistuje: " + dir.string());
        const fs::path data = exchange::outDataDir(root);
        const fs::path result = exchange::outResultDir(root);
        gridVolumes = open(data / exchange::kGridVolumes);
        volumesAboveCrest = open(data / exchange::kVolumesAboveCrest);
        outletFlows = open(data / exchange::kOutletFlows);
        spillwayFlows = open(data / exchange::kSpillwayFlows);
        totalFlows = open(data / exchange::kTotalFlows);
        klemesRows = open(data / exchange::kKlemesRows);
        levelSeries = open(result / exchange::kLevelSeries);
        outflowSeries = open(result / exchange::kOutflowSeries);
        for (int p = 0; p < kOpeningCount; ++p)
            curves[p] = open(exchange::curvesDir(root) / exchange::transformationCurveName(p));
        summary = open(result / exchange::summary::kFileName);
    }
    RecordFile* open(const fs::path& path) {
        all.push_back(std::make_unique<RecordFile>(path));
        return all.back().get();
    }
    void flush() {
        for (auto& file : all)
            file->flush();
    }
};

// The tables' records, held until every check has passed, into the opened files.
void writeTables(const TableTexts& texts, OutputFiles& out) {
    out.gridVolumes->writeText(texts.gridVolumes.text);
    out.volumesAboveCrest->writeText(texts.volumesAboveCrest.text);
    out.outletFlows->writeText(texts.outletFlows.text);
    out.spillwayFlows->writeText(texts.spillwayFlows.text);
    for (int p = 0; p < kOpeningCount; ++p)
        out.curves[p]->writeText(texts.curves[p].text);
    out.totalFlows->writeText(texts.totalFlows.text);
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

// The whole part of a real count; below 1 nothing. The values behind the count
// are read one by one, so a huge count only meets the end of the file sooner.
std::int64_t wholeCount(float count) {
    if (!(count >= 1.0f)) return 0;
    if (count >= 0x1p62f) return std::int64_t{1} << 62;
    return static_cast<std::int64_t>(count);
}

// What the options allow, with the equality the routing uses: a 0/1 real
// counts as 0 when it is 0.0 of either sign and as 1 only when exactly 1.0.
// Any other value would select no operating rule and lose the step's inflow.
constexpr const char* kZeroOrOne = "0 nebo 1";
constexpr const char* kNotNegative = "0 nebo vice";

void checkZeroOrOne(const FreeFormatReader& file, float value, const char* what) {
    if (!(value == 0.0f || value == 1.0f)) file.refuse(value, what, kZeroOrOne);
}

void checkNotNegative(const FreeFormatReader& file, float value, const char* what) {
    if (value < 0.0f) file.refuse(value, what, kNotNegative);
}

class Run {
public:
    Run(const fs::path& root, std::ostream& console, KlemesSolver solver)
        : m_root(root), m_console(console), m_solver(solver) {}

    void execute() {
        printBanner(m_console);
        readInputs();
        // The tables are computed and checked before any output file is
        // opened; ERROR 1 comes after the records of the levels below it.
        TableTexts texts;
        std::optional<ErrorExit> error1;
        ReservoirTables tables;
        try {
            tables = buildReservoirTables(m_dam, m_curve, texts.files());
            checkTables(tables);
        } catch (const ErrorExit& e) {
            error1 = e;
        }

        m_outputs = std::make_unique<OutputFiles>(m_root);
        writeTables(texts, *m_outputs);
        if (error1) throw *error1;

        m_routing.timeStepSeconds =
            static_cast<float>(static_cast<double>(m_timeStepMinutes) * 60.0);
        consumeStartFile();

        const std::optional<float> startVolume =
            volumeAtLevel(m_curve, m_routing.startLevel, Bracket::Inclusive);
        if (!startVolume) throw ErrorExit{ErrorExit::StartLevelOffCurve};
        m_routing.startVolume = *startVolume;

        m_routing.solver = m_solver;
        m_routing.crestHeight = m_dam.crestHeight;
        m_routing.retentionHeight = m_dam.retentionHeight;
        if (!tables.gridVolume.empty()) m_routing.crestVolume = tables.gridVolume.front();
        m_routing.outletCoefficientScaled = m_dam.outletCoefficientScaled;
        m_routing.outletArea = tables.outletArea;
        m_klemesCurves = buildKlemesCurves(tables);
        m_routingOutput = std::make_unique<RoutingOutput>(
            RoutingOutput{*m_outputs->outflowSeries, *m_outputs->levelSeries,
                          *m_outputs->klemesRows, [this](std::int64_t i) { printStep(i); }});
        m_router = std::make_unique<Router>(m_routing, m_curve, m_klemesCurves, *m_routingOutput);
        m_router->routeFloodWave();
        writeSummary(std::nullopt);
        m_outputs->flush();
    }

    /// One console line per step. Passing each line on at once costs a system
    /// call per step, more than the step itself, so the lines go out together
    /// once 50 ms have gone by since the last time: the console still follows
    /// the run, and the summary, a message or the wait for Enter flush the rest.
    void printStep(std::int64_t i) {
        m_console << formatWhole(i) << '\n';
        const auto now = std::chrono::steady_clock::now();
        if (now - m_consoleFlushed >= std::chrono::milliseconds(50)) {
            m_console.flush();
            m_consoleFlushed = now;
        }
    }

    /// The start level is taken over: the file goes, so every run needs a new one.
    void consumeStartFile() {
        if (!m_startFile) return;
        const fs::path path = m_startFile->path();
        m_startFile->close();
        m_startFile.reset();
        std::error_code ignored;
        fs::remove(path, ignored);
    }

    /// The summary of the steps routed, on the console and in its file. After
    /// an error exit it closes with the reason, so that no earlier summary is
    /// left behind as if it were this run's.
    void writeSummary(const std::optional<ErrorExit>& stop) {
        if (!m_outputs) return;
        const std::int64_t n = m_router ? m_router->stepsDone() : 0;
        const auto steps = static_cast<std::size_t>(n);
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
        }
        figures.curve = &m_curve;
        figures.stop = stop;
        std::string file;
        for (const std::string& line : summaryLines(figures)) {
            m_console << line << '\n';
            file += line + "\r\n";
        }
        m_outputs->summary->writeText(file);
        m_console.flush();
    }

    void flushOutputs() {
        if (m_outputs) m_outputs->flush();
    }

private:
    // Reads every input file in the fixed order and refuses the values the
    // calculation cannot use, before any output file is touched.
    void readInputs() {
        const fs::path exchangeDir = exchange::exchangeDir(m_root);
        m_startFile = std::make_unique<InputFile>(exchangeDir, exchange::kStartLevel);
        m_routing.startLevel = m_startFile->reader().readReal(0.0f, "vyska hladiny na zacatku");

        std::vector<std::unique_ptr<InputFile>> inputs;
        auto open = [&](const char* name) {
            inputs.push_back(std::make_unique<InputFile>(exchangeDir, name));
            return &inputs.back()->reader();
        };
        FreeFormatReader& curveFile = *open(exchange::kCurve);
        FreeFormatReader& curveRowCount = *open(exchange::kCurveRowCount);
        FreeFormatReader& crest = *open(exchange::kCrestHeight);
        FreeFormatReader& retention = *open(exchange::kRetentionHeight);
        FreeFormatReader& outletCount = *open(exchange::kOutletCount);
        FreeFormatReader& outletDiameter = *open(exchange::kOutletDiameter);
        FreeFormatReader& outletCoefficient = *open(exchange::kOutletCoefficient);
        FreeFormatReader& spillwayWidth = *open(exchange::kSpillwayWidth);
        FreeFormatReader& overflowCoefficient = *open(exchange::kOverflowCoefficient);
        FreeFormatReader& timeStep = *open(exchange::kTimeStep);
        FreeFormatReader& inflowCount = *open(exchange::kInflowPointCount);
        FreeFormatReader& floodWave = *open(exchange::kFloodWave);
        FreeFormatReader& storageTop = *open(exchange::kStorageTop);
        FreeFormatReader& mode = *open(exchange::kManipulationMode);
        FreeFormatReader& keepClosed = *open(exchange::kKeepClosedAfterPeak);
        FreeFormatReader& zone = *open(exchange::kManipulationZone);
        FreeFormatReader& preStorage = *open(exchange::kPreReleaseStorage);
        FreeFormatReader& preControlled = *open(exchange::kPreReleaseControlled);
        FreeFormatReader& emptyAfter = *open(exchange::kEmptyAfterFlood);

        DamData& dam = m_dam;
        OperatingOptions& options = m_routing.options;
        const std::int32_t rowCount = curveRowCount.readWhole(0, "pocet radku krivky");
        dam.crestHeight = crest.readReal();
        dam.retentionHeight = retention.readReal();
        dam.outletCount = outletCount.readReal();
        checkNotNegative(outletCount, dam.outletCount, "pocet spodnich vypusti");
        dam.outletDiameter = outletDiameter.readReal();
        checkNotNegative(outletDiameter, dam.outletDiameter, "prumer potrubi [m]");
        dam.outletCoefficientScaled = outletCoefficient.readWhole();
        if (dam.outletCoefficientScaled < 0)
            outletCoefficient.refuse(dam.outletCoefficientScaled,
                                     "soucinitel vytokove rychlosti x 10000", kNotNegative);
        dam.spillwayWidth = spillwayWidth.readReal();
        checkNotNegative(spillwayWidth, dam.spillwayWidth, "sirka prelivu b0 [m]");
        dam.overflowCoefficientScaled = overflowCoefficient.readReal();
        checkNotNegative(overflowCoefficient, dam.overflowCoefficientScaled,
                         "soucinitel prepadu m x 1000");
        m_timeStepMinutes = timeStep.readReal();
        // In seconds the step must stay a single-precision number.
        if (!(m_timeStepMinutes > 0.0f && m_timeStepMinutes < 5.6e36f))
            timeStep.refuse(m_timeStepMinutes, "casovy krok [min]", "vice nez 0 a mene nez 5.6e36");
        const float inflowPointCount = inflowCount.readReal();
        if (!(inflowPointCount >= 1.0f))
            inflowCount.refuse(inflowPointCount, "pocet hodnot pritoku", "1 nebo vice");
        options.storageTopHeight = storageTop.readReal();
        options.manipulationMode = mode.readWhole();
        if (options.manipulationMode < 0 || options.manipulationMode > 2)
            mode.refuse(options.manipulationMode, "zpusob manipulace s vypustmi", "0, 1 nebo 2");
        options.keepClosedAfterPeak = keepClosed.readWhole();
        if (options.keepClosedAfterPeak != 0 && options.keepClosedAfterPeak != 1)
            keepClosed.refuse(options.keepClosedAfterPeak, "vypusti po transformaci kulminace",
                              kZeroOrOne);
        options.manipulationZoneHeight = zone.readReal();
        options.preReleaseStorage = preStorage.readReal();
        checkZeroOrOne(preStorage, options.preReleaseStorage, "vypusti v zasobnim prostoru");
        options.preReleaseControlled = preControlled.readReal();
        checkZeroOrOne(preControlled, options.preReleaseControlled,
                       "vypusti v ovladatelnem retencnim prostoru");
        options.emptyAfterFlood = emptyAfter.readReal();
        checkZeroOrOne(emptyAfter, options.emptyAfterFlood, "vypusti po povodni");

        for (std::int32_t r = 1; r <= rowCount; ++r) {
            std::array<float, 4> row{};
            const std::string what =
                "radek krivky " + std::to_string(r) + " z " + std::to_string(rowCount);
            curveFile.readReals(row, what);
            // Heights above the bottom and volumes below them: a negative one
            // would put a negative head under the outlets' square root.
            if (row[1] < 0.0f) curveFile.refuse(row[1], what + ", h [m]", kNotNegative);
            if (row[2] < 0.0f) curveFile.refuse(row[2], what + ", V [m3]", kNotNegative);
            m_curve.push_back({row[0], row[1], row[2], row[3]});
        }

        // Inflows below 0.01 never become the peak; with none above it every
        // step counts as "from the peak on".
        float inflowPeak = 0.01f;
        m_routing.inflowPeakIndex = 0.0f;
        const std::int64_t n = wholeCount(inflowPointCount);
        for (std::int64_t i = 1; i <= n; ++i) {
            const std::string what =
                "hodnota pritoku " + std::to_string(i) + " z " + std::to_string(n);
            const float q = floodWave.readReal(0.0f, what);
            checkNotNegative(floodWave, q, what.c_str());
            m_routing.inflow.push_back(q);
            if (q >= inflowPeak) {
                inflowPeak = q;
                m_routing.inflowPeakIndex = static_cast<float>(i);
            }
        }
    }

    fs::path m_root;
    std::ostream& m_console;
    std::chrono::steady_clock::time_point m_consoleFlushed{}; // the first step flushes
    KlemesSolver m_solver;
    std::unique_ptr<InputFile> m_startFile;
    DamData m_dam;
    RoutingInput m_routing;
    std::vector<CurveRow> m_curve;
    float m_timeStepMinutes = 0;
    std::unique_ptr<OutputFiles> m_outputs;
    std::vector<KlemesCurve> m_klemesCurves;
    std::unique_ptr<RoutingOutput> m_routingOutput;
    std::unique_ptr<Router> m_router;
};

} // namespace

int runCore(const fs::path& root, std::ostream& console, std::istream& consoleInput,
            KlemesSolver solver) {
    Run run(root, console, solver);
    try {
        run.execute();
        return exchange::kExitNormal;
    } catch (const ErrorExit& error) {
        run.writeSummary(error);
        console << errorExitMessage(error.kind) << '\n';
        console.flush();
        if (error.kind == ErrorExit::CrestGridOffCurve) run.consumeStartFile();
        try {
            run.flushOutputs();
        } catch (const FileError& e) {
            console << "*ERR* " << e.code << ' ' << e.what() << '\n';
        }
        std::string enter;
        std::getline(consoleInput, enter);
        return exchange::kExitErrorExit;
    } catch (const FileError& error) {
        console << "*ERR* " << error.code << ' ' << error.what() << '\n';
        console.flush();
        return exchange::kExitInputError;
    }
}

} // namespace veldron
