// Every input of a run, read from the exchange directory and checked.
#include "core/run_inputs.h"

#include "core/errors.h"

#include "exchange/file_names.h"
#include "exchange/free_format_reader.h"
#include "exchange/input_check.h"
#include "exchange/platform_files.h"

#include <array>
#include <string>

namespace veldron {

namespace fs = std::filesystem;

namespace {

// The files as read, kept for the result set: its record of the inputs.
class InputFiles {
public:
    InputFiles(const fs::path& dir, RunInputs& in) : m_dir(dir), m_in(in) {}

    exchange::FreeFormatReader open(const char* name,
                                    exchange::Layout layout = exchange::Layout::OneValue) {
        m_in.files.emplace_back(name, exchange::readInputFile(m_dir / name));
        return exchange::FreeFormatReader(m_in.files.back().second, name, layout);
    }

private:
    const fs::path& m_dir;
    RunInputs& m_in;
};

// The one check's refusal, at the place the reader stands.
void refuseIf(const std::optional<exchange::InputFinding>& finding,
              const exchange::FreeFormatReader& file) {
    if (finding) throw FileError(kErrOutOfRange, exchange::findingText(*finding, file.where()));
}

float readChecked(InputFiles& files, exchange::InputQuantity quantity) {
    exchange::FreeFormatReader file = files.open(exchange::inputFile(quantity));
    const float value = file.readReal();
    refuseIf(exchange::fileValueFinding(quantity, value), file);
    return value;
}

// What the options allow, with the equality the routing uses: a 0/1 real
// counts as 0 when it is 0.0 of either sign and as 1 only when exactly 1.0.
// Any other value would select no operating rule and lose the step's inflow.
constexpr const char* kZeroOrOne = "0 nebo 1";

void checkZeroOrOne(const exchange::FreeFormatReader& file, float value, const char* what) {
    if (!(value == 0.0f || value == 1.0f)) file.refuse(value, what, kZeroOrOne);
}

// The whole part of a real count; below 1 nothing. The values behind the count
// are read one by one, so a huge count only meets the end of the file sooner.
std::int64_t wholeCount(float count) {
    if (!(count >= 1.0f)) return 0;
    if (count >= 0x1p62f) return std::int64_t{1} << 62;
    return static_cast<std::int64_t>(count);
}

DamData readDam(InputFiles& files) {
    using Q = exchange::InputQuantity;
    DamData dam;
    dam.crestHeight = readChecked(files, Q::CrestHeight);
    exchange::FreeFormatReader retention = files.open(exchange::kRetentionHeight);
    dam.retentionHeight = retention.readReal();
    refuseIf(exchange::valueFinding(Q::RetentionHeight, dam.retentionHeight), retention);
    // The tables hold every grid level; beyond the bound they would take more
    // memory than a run may ask for, long before any real reservoir.
    if (!(crestGridSize(dam.retentionHeight) < static_cast<float>(kMostGridLevels + 1)))
        retention.refuse(dam.retentionHeight, "vyska retencniho prostoru [m], 20 hladin na metr",
                         "nejvyse " + std::to_string(kMostGridLevels) +
                             " hladin, tj. mene nez 5000.05 m");
    dam.outletCount = readChecked(files, Q::OutletCount);
    dam.outletDiameter = readChecked(files, Q::OutletDiameter);
    exchange::FreeFormatReader outletCoefficient = files.open(exchange::kOutletCoefficient);
    dam.outletCoefficientScaled = outletCoefficient.readWhole();
    refuseIf(exchange::fileValueFinding(Q::OutletCoefficient, dam.outletCoefficientScaled),
             outletCoefficient);
    dam.spillwayWidth = readChecked(files, Q::SpillwayWidth);
    dam.overflowCoefficientScaled = readChecked(files, Q::OverflowCoefficient);
    return dam;
}

float readZeroOrOne(InputFiles& files, const char* name, const char* what) {
    exchange::FreeFormatReader file = files.open(name);
    const float value = file.readReal();
    checkZeroOrOne(file, value, what);
    return value;
}

OperatingOptions readOptions(InputFiles& files) {
    OperatingOptions options;
    options.storageTopHeight = readChecked(files, exchange::InputQuantity::StorageTop);
    exchange::FreeFormatReader mode = files.open(exchange::kManipulationMode);
    options.manipulationMode = mode.readWhole();
    if (options.manipulationMode < 0 || options.manipulationMode > 2)
        mode.refuse(options.manipulationMode, "zpusob manipulace s vypustmi", "0, 1 nebo 2");
    exchange::FreeFormatReader keepClosed = files.open(exchange::kKeepClosedAfterPeak);
    options.keepClosedAfterPeak = keepClosed.readWhole();
    if (options.keepClosedAfterPeak != 0 && options.keepClosedAfterPeak != 1)
        keepClosed.refuse(options.keepClosedAfterPeak, "vypusti po transformaci kulminace",
                          kZeroOrOne);
    options.manipulationZoneHeight = readChecked(files, exchange::InputQuantity::ManipulationZone);
    options.preReleaseStorage =
        readZeroOrOne(files, exchange::kPreReleaseStorage, "vypusti v zasobnim prostoru");
    options.preReleaseControlled = readZeroOrOne(files, exchange::kPreReleaseControlled,
                                                 "vypusti v ovladatelnem retencnim prostoru");
    options.emptyAfterFlood =
        readZeroOrOne(files, exchange::kEmptyAfterFlood, "vypusti po povodni");
    return options;
}

// Rows of four values, each read starting on a new line, rising from the bottom.
std::vector<CurveRow> readCurve(InputFiles& files) {
    exchange::FreeFormatReader count = files.open(exchange::kCurveRowCount);
    const std::int32_t rowCount = count.readWhole("pocet radku krivky");
    refuseIf(exchange::valueFinding(exchange::InputQuantity::CurveRowCount, rowCount), count);
    exchange::FreeFormatReader file = files.open(exchange::kCurve, exchange::Layout::Table);
    std::vector<CurveRow> curve;
    exchange::CurveRowValues before;
    for (std::int32_t r = 1; r <= rowCount; ++r) {
        std::array<float, 4> row{};
        file.readReals(row, "radek krivky " + std::to_string(r) + " z " + std::to_string(rowCount));
        const exchange::CurveRowValues values{row[1], row[2], row[3]};
        // A row that does not rise gives another reservoir between its rows.
        if (const auto finding = exchange::curveRowFinding(r > 1 ? &before : nullptr, values, r))
            throw FileError(kErrOutOfRange, exchange::findingText(*finding));
        curve.push_back({row[0], row[1], row[2], row[3]});
        before = values;
    }
    return curve;
}

// The time step, the number of values and the values, one per line.
void readFloodWave(InputFiles& files, RunInputs& in) {
    using Q = exchange::InputQuantity;
    exchange::FreeFormatReader timeStep = files.open(exchange::kTimeStep);
    in.timeStepMinutes = timeStep.readReal();
    refuseIf(exchange::valueFinding(Q::TimeStep, in.timeStepMinutes), timeStep);
    // In seconds the step must stay a single-precision number.
    if (!(in.timeStepMinutes < 5.6e36f))
        timeStep.refuse(in.timeStepMinutes, "casovy krok [min]", "mene nez 5.6e36");
    const float pointCount = readChecked(files, Q::InflowCount);

    exchange::FreeFormatReader wave = files.open(exchange::kFloodWave, exchange::Layout::Table);
    // Inflows below 0.01 never become the peak; with none above it every
    // step counts as "from the peak on".
    float inflowPeak = 0.01f;
    in.inflowPeakIndex = 0.0f;
    const std::int64_t n = wholeCount(pointCount);
    for (std::int64_t i = 1; i <= n; ++i) {
        const std::string what = "hodnota pritoku " + std::to_string(i) + " z " + std::to_string(n);
        const float q = wave.readReal(what);
        refuseIf(exchange::valueFinding(Q::Inflow, q, static_cast<int>(i)), wave);
        in.inflow.push_back(q);
        if (q >= inflowPeak) {
            inflowPeak = q;
            in.inflowPeakIndex = static_cast<float>(i);
        }
    }
}

} // namespace

RunInputs readRunInputs(const fs::path& exchangeDir) {
    RunInputs in;
    InputFiles files(exchangeDir, in);
    exchange::FreeFormatReader start = files.open(exchange::kStartLevel);
    in.startLevel = start.readReal("vyska hladiny na zacatku");
    in.dam = readDam(files);
    refuseIf(exchange::startLevelFinding(in.startLevel, in.dam.crestHeight, in.dam.retentionHeight),
             start);
    in.options = readOptions(files);
    in.curve = readCurve(files);
    readFloodWave(files, in);
    return in;
}

} // namespace veldron
