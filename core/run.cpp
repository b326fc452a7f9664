// One calculation from the exchange files to the result files.
#include "core/run.h"

#include "core/errors.h"
#include "core/io/free_format_reader.h"
#include "core/io/record_writer.h"
#include "core/routing/routing.h"
#include "core/tables/reservoir_tables.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"

#include <array>
#include <cerrno>
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

// Every output file, opened (and emptied) in the fixed order before any other input is read.
struct OutputFiles {
    std::vector<std::unique_ptr<RecordFile>> all;
    RecordFile *gridVolumes, *volumesAboveCrest, *outletFlows, *spillwayFlows, *totalFlows,
        *klemesRows, *levelSeries, *outflowSeries;
    std::array<RecordSink*, kOpeningCount> curves{};

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

// The whole part of a real count; below 1 nothing. The values behind the count
// are read one by one, so a huge count only meets the end of the file sooner.
std::int64_t wholeCount(float count) {
    if (!(count >= 1.0f)) return 0;
    if (count >= 0x1p62f) return std::int64_t{1} << 62;
    return static_cast<std::int64_t>(count);
}

class Run {
public:
    Run(const fs::path& root, std::ostream& console, KlemesSolver solver)
        : m_root(root), m_console(console), m_solver(solver) {}

    void execute() {
        const fs::path exchangeDir = exchange::exchangeDir(m_root);
        printBanner(m_console);

        m_startFile = std::make_unique<InputFile>(exchangeDir, exchange::kStartLevel);
        const float startLevel = m_startFile->reader().readReal(0.0f, "vyska hladiny na zacatku");

        m_outputs = std::make_unique<OutputFiles>(m_root);

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

        DamData dam;
        RoutingInput routing;
        OperatingOptions& options = routing.options;
        const std::int32_t rowCount = curveRowCount.readWhole(0, "pocet radku krivky");
        dam.crestHeight = crest.readReal();
        dam.retentionHeight = retention.readReal();
        dam.outletCount = outletCount.readReal();
        dam.outletDiameter = outletDiameter.readReal();
        dam.outletCoefficientScaled = outletCoefficient.readWhole();
        dam.spillwayWidth = spillwayWidth.readReal();
        dam.overflowCoefficientScaled = overflowCoefficient.readReal();
        const float timeStepMinutes = timeStep.readReal();
        const float inflowPointCount = inflowCount.readReal();
        options.storageTopHeight = storageTop.readReal();
        options.manipulationMode = mode.readWhole();
        options.keepClosedAfterPeak = keepClosed.readWhole();
        options.manipulationZoneHeight = zone.readReal();
        options.preReleaseStorage = preStorage.readReal();
        options.preReleaseControlled = preControlled.readReal();
        options.emptyAfterFlood = emptyAfter.readReal();

        std::vector<CurveRow> curve;
        for (std::int32_t r = 1; r <= rowCount; ++r) {
            std::array<float, 4> row{};
            curveFile.readReals(row, "radek krivky " + std::to_string(r) + " z " +
                                         std::to_string(rowCount));
            curve.push_back({row[0], row[1], row[2], row[3]});
        }

        TableFiles tableFiles{*m_outputs->gridVolumes, *m_outputs->volumesAboveCrest,
                              *m_outputs->outletFlows, *m_outputs->spillwayFlows,
                              m_outputs->curves,       *m_outputs->totalFlows};
        const ReservoirTables tables = buildReservoirTables(dam, curve, tableFiles);

        routing.timeStepSeconds = static_cast<float>(static_cast<double>(timeStepMinutes) * 60.0);
        routing.startLevel = startLevel;
        consumeStartFile();

        const std::optional<float> startVolume =
            volumeAtLevel(curve, startLevel, Bracket::Inclusive);
        if (!startVolume) throw ErrorExit{ErrorExit::Error2};
        routing.startVolume = *startVolume;

        // Inflows below 0.01 never become the peak; with none above it every
        // step counts as "from the peak on".
        float inflowPeak = 0.01f;
        routing.inflowPeakIndex = 0.0f;
        const std::int64_t n = wholeCount(inflowPointCount);
        for (std::int64_t i = 1; i <= n; ++i) {
            const float q = floodWave.readReal(0.0f, "hodnota pritoku " + std::to_string(i) +
                                                         " z " + std::to_string(n));
            routing.inflow.push_back(q);
            if (q >= inflowPeak) {
                inflowPeak = q;
                routing.inflowPeakIndex = static_cast<float>(i);
            }
        }

        routing.solver = m_solver;
        routing.crestHeight = dam.crestHeight;
        routing.retentionHeight = dam.retentionHeight;
        routing.outletCoefficientScaled = dam.outletCoefficientScaled;
        routing.outletArea = tables.outletArea;
        const std::vector<KlemesCurve> klemesCurves = buildKlemesCurves(tables);
        RoutingOutput output{*m_outputs->outflowSeries, *m_outputs->levelSeries,
                             *m_outputs->klemesRows, [this](std::int64_t i) {
                                 m_console << formatWhole(i) << '\n';
                                 m_console.flush();
                             }};
        Router router(routing, curve, klemesCurves, output);
        router.routeFloodWave();
        m_outputs->flush();
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

    void flushOutputs() {
        if (m_outputs) m_outputs->flush();
    }

private:
    fs::path m_root;
    std::ostream& m_console;
    std::unique_ptr<InputFile> m_startFile;
    std::unique_ptr<OutputFiles> m_outputs;
    KlemesSolver m_solver;
};

} // namespace

int runCore(const fs::path& root, std::ostream& console, std::istream& consoleInput,
            KlemesSolver solver) {
    Run run(root, console, solver);
    try {
        run.execute();
        return exchange::kExitNormal;
    } catch (const ErrorExit& error) {
        console << errorExitMessage(error.kind) << '\n';
        console.flush();
        if (error.kind == ErrorExit::Error1) run.consumeStartFile();
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
