// Every input of a run, read from the exchange directory and checked.
#include "core/run_inputs.h"

#include "exchange/file_names.h"
#include "exchange/free_format_reader.h"
#include "exchange/platform_files.h"

#include <array>
#include <string>

namespace veldron {

namespace fs = std::filesystem;

namespace {

exchange::FreeFormatReader openInput(const fs::path& dir, const char* name,
                                     exchange::Layout layout = exchange::Layout::OneValue) {
    return exchange::FreeFormatReader(exchange::readInputFile(dir / name), name, layout);
}

// What the options allow, with the equality the routing uses: a 0/1 real
// counts as 0 when it is 0.0 of either sign and as 1 only when exactly 1.0.
// Any other value would select no operating rule and lose the step's inflow.
constexpr const char* kZeroOrOne = "0 nebo 1";
constexpr const char* kNotNegative = "0 nebo vice";

void checkZeroOrOne(const exchange::FreeFormatReader& file, float value, const char* what) {
    if (!(value == 0.0f || value == 1.0f)) file.refuse(value, what, kZeroOrOne);
}

void checkNotNegative(const exchange::FreeFormatReader& file, float value, const char* what) {
    if (value < 0.0f) file.refuse(value, what, kNotNegative);
}

float readNotNegative(const fs::path& dir, const char* name, const char* what) {
    exchange::FreeFormatReader file = openInput(dir, name);
    const float value = file.readReal();
    checkNotNegative(file, value, what);
    return value;
}

// The whole part of a real count; below 1 nothing. The values behind the count
// are read one by one, so a huge count only meets the end of the file sooner.
std::int64_t wholeCount(float count) {
    if (!(count >= 1.0f)) return 0;
    if (count >= 0x1p62f) return std::int64_t{1} << 62;
    return static_cast<std::int64_t>(count);
}

DamData readDam(const fs::path& dir) {
    DamData dam;
    dam.crestHeight = openInput(dir, exchange::kCrestHeight).readReal();
    exchange::FreeFormatReader retention = openInput(dir, exchange::kRetentionHeight);
    dam.retentionHeight = retention.readReal();
    // The tables hold every grid level; beyond the bound they would take more
    // memory than a run may ask for, long before any real reservoir.
    if (!(crestGridSize(dam.retentionHeight) < static_cast<float>(kMostGridLevels + 1)))
        retention.refuse(dam.retentionHeight, "vyska retencniho prostoru [m], 20 hladin na metr",
                         "nejvyse " + std::to_string(kMostGridLevels) +
                             " hladin, tj. mene nez 5000.05 m");
    dam.outletCount = readNotNegative(dir, exchange::kOutletCount, "pocet spodnich vypusti");
    dam.outletDiameter = readNotNegative(dir, exchange::kOutletDiameter, "prumer potrubi [m]");
    exchange::FreeFormatReader outletCoefficient = openInput(dir, exchange::kOutletCoefficient);
    dam.outletCoefficientScaled = outletCoefficient.readWhole();
    if (dam.outletCoefficientScaled < 0)
        outletCoefficient.refuse(dam.outletCoefficientScaled,
                                 "soucinitel vytokove rychlosti x 10000", kNotNegative);
    dam.spillwayWidth = readNotNegative(dir, exchange::kSpillwayWidth, "sirka prelivu b0 [m]");
    dam.overflowCoefficientScaled =
        readNotNegative(dir, exchange::kOverflowCoefficient, "soucinitel prepadu m x 1000");
    return dam;
}

float readZeroOrOne(const fs::path& dir, const char* name, const char* what) {
    exchange::FreeFormatReader file = openInput(dir, name);
    const float value = file.readReal();
    checkZeroOrOne(file, value, what);
    return value;
}

OperatingOptions readOptions(const fs::path& dir) {
    OperatingOptions options;
    options.storageTopHeight = openInput(dir, exchange::kStorageTop).readReal();
    exchange::FreeFormatReader mode = openInput(dir, exchange::kManipulationMode);
    options.manipulationMode = mode.readWhole();
    if (options.manipulationMode < 0 || options.manipulationMode > 2)
        mode.refuse(options.manipulationMode, "zpusob manipulace s vypustmi", "0, 1 nebo 2");
    exchange::FreeFormatReader keepClosed = openInput(dir, exchange::kKeepClosedAfterPeak);
    options.keepClosedAfterPeak = keepClosed.readWhole();
    if (options.keepClosedAfterPeak != 0 && options.keepClosedAfterPeak != 1)
        keepClosed.refuse(options.keepClosedAfterPeak, "vypusti po transformaci kulminace",
                          kZeroOrOne);
    options.manipulationZoneHeight = openInput(dir, exchange::kManipulationZone).readReal();
    options.preReleaseStorage =
        readZeroOrOne(dir, exchange::kPreReleaseStorage, "vypusti v zasobnim prostoru");
    options.preReleaseControlled = readZeroOrOne(dir, exchange::kPreReleaseControlled,
                                                 "vypusti v ovladatelnem retencnim prostoru");
    options.emptyAfterFlood = readZeroOrOne(dir, exchange::kEmptyAfterFlood, "vypusti po povodni");
    return options;
}

// Rows of four values, each read starting on a new line; a count of 0 or less reads nothing.
std::vector<CurveRow> readCurve(const fs::path& dir) {
    const std::int32_t rowCount =
        openInput(dir, exchange::kCurveRowCount).readWhole("pocet radku krivky");
    exchange::FreeFormatReader file = openInput(dir, exchange::kCurve, exchange::Layout::Table);
    std::vector<CurveRow> curve;
    for (std::int32_t r = 1; r <= rowCount; ++r) {
        std::array<float, 4> row{};
        const std::string what =
            "radek krivky " + std::to_string(r) + " z " + std::to_string(rowCount);
        file.readReals(row, what);
        // Heights above the bottom and volumes below them: a negative one
        // would put a negative head under the outlets' square root.
        if (row[1] < 0.0f) file.refuse(row[1], what + ", h [m]", kNotNegative);
        if (row[2] < 0.0f) file.refuse(row[2], what + ", V [m3]", kNotNegative);
        curve.push_back({row[0], row[1], row[2], row[3]});
    }
    return curve;
}

// The time step, the number of values and the values, one per line.
void readFloodWave(const fs::path& dir, RunInputs& in) {
    exchange::FreeFormatReader timeStep = openInput(dir, exchange::kTimeStep);
    in.timeStepMinutes = timeStep.readReal();
    // In seconds the step must stay a single-precision number.
    if (!(in.timeStepMinutes > 0.0f && in.timeStepMinutes < 5.6e36f))
        timeStep.refuse(in.timeStepMinutes, "casovy krok [min]", "vice nez 0 a mene nez 5.6e36");
    exchange::FreeFormatReader count = openInput(dir, exchange::kInflowPointCount);
    const float pointCount = count.readReal();
    if (!(pointCount >= 1.0f)) count.refuse(pointCount, "pocet hodnot pritoku", "1 nebo vice");

    exchange::FreeFormatReader wave = openInput(dir, exchange::kFloodWave, exchange::Layout::Table);
    // Inflows below 0.01 never become the peak; with none above it every
    // step counts as "from the peak on".
    float inflowPeak = 0.01f;
    in.inflowPeakIndex = 0.0f;
    const std::int64_t n = wholeCount(pointCount);
    for (std::int64_t i = 1; i <= n; ++i) {
        const std::string what = "hodnota pritoku " + std::to_string(i) + " z " + std::to_string(n);
        const float q = wave.readReal(what);
        checkNotNegative(wave, q, what.c_str());
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
    in.startLevel =
        openInput(exchangeDir, exchange::kStartLevel).readReal("vyska hladiny na zacatku");
    in.dam = readDam(exchangeDir);
    in.options = readOptions(exchangeDir);
    in.curve = readCurve(exchangeDir);
    readFloodWave(exchangeDir, in);
    return in;
}

} // namespace veldron
