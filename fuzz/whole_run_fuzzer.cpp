// Whole calculations on mutated inputs: the sample reservoir with some of its
// exchange files replaced, run in-process on a temporary root, and checked for
// what every finished run must satisfy, not only for crashes.
//
// Input: blocks, each starting with a line "@<name>" that names an IN_* file
// and holding that file's content up to the next such line; "@-<name>" removes
// the file. Files that no block names keep the sample's content. Two blocks
// make the run fail where it writes: "@!limit" holds a size in bytes beyond
// which no file may grow during the run (a full disk), "@!dir" the index of a
// result file a directory stands in for during the run. A run that is refused
// or fails must leave the result set of the run before byte for byte.
#include "core/run.h"
#include "core/tables/bathygraphic_curve.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/free_format_reader.h"
#include "exchange/inputs_record.h"
#include "exchange/record_writer.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using exchange::FreeFormatReader;
using exchange::Layout;
using veldron::CurveRow;

namespace {

// The summary's labels in their order.
const char* const kLabels[] = {
    exchange::summary::kSteps,
    exchange::summary::kTimeStep,
    exchange::summary::kInflowPeak,
    exchange::summary::kFloodPeak,
    exchange::summary::kOutflowPeak,
    exchange::summary::kAttenuation,
    exchange::summary::kPeakLag,
    exchange::summary::kHighestLevel,
    exchange::summary::kOvertoppingLevel,
    exchange::summary::kFreeboard,
    exchange::summary::kFloodVolume,
    exchange::summary::kReleasedVolume,
    exchange::summary::kNetInflow,
    exchange::summary::kStorageChange,
    exchange::summary::kBalanceError,
    exchange::summary::kStopped,
};

// Values per record of each file the core writes.
int valuesPerRecord(const std::string& relative) {
    if (relative.rfind("OUT_DATA/TK/", 0) == 0) return 2;
    if (relative == std::string("OUT_DATA/") + exchange::kGridVolumes) return 2;
    if (relative == std::string("OUT_DATA/") + exchange::kKlemesRows) return 4;
    return 1;
}

// The most levels a mutated input may ask for; more only cost time here.
constexpr double kMostGridLevels = 4000;

[[noreturn]] void violated(const std::string& what, const std::string& console) {
    std::fprintf(stderr, "INVARIANT VIOLATED: %s\n--- console ---\n%s\n", what.c_str(),
                 console.c_str());
    std::abort();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct Fixture {
    fs::path root;
    std::map<std::string, std::string> sample;
    // What the root holds between runs, so that each run writes and reads only once.
    std::map<std::string, std::optional<std::string>> written;
    std::map<std::string, std::string> outputs;
};

Fixture& fixture() {
    static Fixture f = [] {
        Fixture fx;
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fx.root = base / ("veldron_fuzz_run_" + std::to_string(::getpid()));
        fs::remove_all(fx.root);
        fs::create_directories(exchange::exchangeDir(fx.root));
        fs::create_directories(exchange::curvesDir(fx.root));
        fs::create_directories(exchange::outResultDir(fx.root));
        for (const char* name : exchange::kCoreInputs)
            fx.sample[name] = readFile(fs::path(VELDRON_SAMPLE_DIR) / name);
        std::atexit([] { fs::remove_all(fixture().root); });
        // A file that would grow beyond the size limit fails to be written
        // instead of ending the process.
        ::signal(SIGXFSZ, SIG_IGN);
        return fx;
    }();
    return f;
}

// The blocks that make a run fail where it writes.
constexpr const char* kSizeLimit = "!limit";
constexpr const char* kDirectoryOutput = "!dir";

// The file contents of one input: the sample, with the blocks applied.
std::map<std::string, std::optional<std::string>> inputFiles(const std::string& data) {
    std::map<std::string, std::optional<std::string>> files;
    for (const auto& [name, text] : fixture().sample)
        files[name] = text;
    files[kSizeLimit] = files[kDirectoryOutput] = std::nullopt;
    std::optional<std::string>* current = nullptr;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = data.find('\n', pos);
        end = end == std::string::npos ? data.size() : end + 1;
        const std::string line = data.substr(pos, end - pos);
        pos = end;
        if (line[0] == '@') {
            std::string name = line.substr(1);
            while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
                name.pop_back();
            const bool remove = !name.empty() && name[0] == '-';
            if (remove) name.erase(0, 1);
            const auto it = files.find(name);
            if (it != files.end()) {
                current = &it->second;
                if (remove)
                    *current = std::nullopt, current = nullptr;
                else
                    *current = std::string();
                continue;
            }
        }
        if (current) **current += line;
    }
    return files;
}

std::map<std::string, std::string> outputFiles(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const fs::path& dir : {exchange::outDataDir(root), exchange::outResultDir(root)})
        for (const auto& entry : fs::recursive_directory_iterator(dir))
            // The temporary files are the next run's to write again: no part of a set.
            if (entry.is_regular_file() && !exchange::isTemporaryPath(entry.path()))
                files[fs::relative(entry.path(), root).string()] = readFile(entry.path());
    return files;
}

std::vector<std::string> lines(const std::string& text, const std::string& end) {
    std::vector<std::string> result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t next = text.find(end, pos);
        if (next == std::string::npos) {
            result.push_back(text.substr(pos) + "<no line end>");
            break;
        }
        result.push_back(text.substr(pos, next - pos));
        pos = next + end.size();
    }
    return result;
}

// One 16-character field of a real in the record layout.
bool isRealField(const std::string& field) {
    const std::size_t start = field.find_first_not_of(' ');
    if (start == 0 || start == std::string::npos) return false;
    std::string v = field.substr(start);
    if (v[0] == '-') v.erase(0, 1);
    auto digits = [&](std::size_t from, std::size_t count) {
        if (from + count > v.size()) return false;
        for (std::size_t i = from; i < from + count; ++i)
            if (v[i] < '0' || v[i] > '9') return false;
        return true;
    };
    const std::size_t point = v.find('.');
    if (point == std::string::npos || point == 0 || !digits(0, point) || !digits(point + 1, 7))
        return false;
    if (v.size() == point + 8) return true; // fixed point
    // Exponent form: one digit, seven decimals, E, sign, three digits.
    return point == 1 && v.size() == 14 && v[9] == 'E' && (v[10] == '+' || v[10] == '-') &&
           digits(11, 3);
}

// The first token of a summary value is a finite number with a decimal point, if any.
bool plainNumber(const std::string& value) {
    const std::string token = value.substr(0, value.find(' '));
    char* end = nullptr;
    const double number = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && !token.empty() && std::isfinite(number) &&
           token.find_first_of("eEnN,") == std::string::npos;
}

struct Summary {
    std::map<std::string, std::string> values; // label -> text after the blanks
    std::vector<std::string> order;
};

Summary parseSummary(const std::string& text, const std::string& console) {
    Summary s;
    std::size_t lastIndex = 0;
    for (const std::string& line : lines(text, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) violated("summary line without a label: " + line, console);
        const std::string label = line.substr(0, colon);
        std::size_t index = 0;
        while (index < std::size(kLabels) && label != kLabels[index])
            ++index;
        if (index == std::size(kLabels)) violated("unknown summary label: " + label, console);
        if (!s.order.empty() && index <= lastIndex)
            violated("summary label out of order: " + label, console);
        lastIndex = index;
        const std::size_t value = line.find_first_not_of(' ', colon + 1);
        if (value == colon + 1 || value == std::string::npos)
            violated("summary value not after blanks: " + line, console);
        s.values[label] = line.substr(value);
        s.order.push_back(label);
        // The freeboard of a stopped run is words (checked against the stop).
        if (label == exchange::summary::kStopped || label == exchange::summary::kFreeboard)
            continue;
        if (!plainNumber(s.values[label]))
            violated("summary value is not a plain number: " + line, console);
    }
    return s;
}

double number(const Summary& s, const char* label) {
    return std::strtod(s.values.at(label).c_str(), nullptr);
}

// The curve as the core reads it; nothing when it cannot be read.
std::optional<std::vector<CurveRow>> readCurve(const std::optional<std::string>& rows,
                                               const std::optional<std::string>& count) {
    if (!rows || !count) return std::nullopt;
    try {
        std::istringstream countText(*count), rowText(*rows);
        exchange::FreeFormatReader countReader(countText, "count"),
            rowReader(rowText, "rows", exchange::Layout::Table);
        const std::int32_t n = countReader.readWhole();
        std::vector<CurveRow> curve;
        for (std::int32_t r = 0; r < n; ++r) {
            std::array<float, 4> row{};
            rowReader.readReals(row);
            curve.push_back({row[0], row[1], row[2], row[3]});
        }
        return curve;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<float> readOne(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    try {
        std::istringstream in(*text);
        return exchange::FreeFormatReader(in, "value").readReal();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Rising strictly in level and volume from the bottom (a first row at the
// bottom itself included): a curve on which a level and a volume name each
// other uniquely, so the balance must close.
bool consistent(const std::vector<CurveRow>& curve) {
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const CurveRow below = i > 0 ? curve[i - 1] : CurveRow{0, 0, 0, 0};
        const bool bottom = i == 0 && curve[0].level == 0 && curve[0].volume == 0;
        if (!bottom && !(curve[i].level > below.level && curve[i].volume > below.volume))
            return false;
    }
    return !curve.empty();
}

// The volume balance of the summary closes within the roundings of the run:
// every step rounds the stored volume and its change to float (half a unit
// in the last place each), the reopening rules carry 0.00001 m3/s outside the
// outflow, outflows are floats, and each end level is a float whose rounding
// moves the curve volume by the bracket's slope times half its last place.
void checkBalance(const Summary& s, const std::vector<CurveRow>& curve, double dt,
                  const std::vector<double>& inflow, const std::vector<double>& outflow,
                  const std::string& console) {
    if (!s.values.count(exchange::summary::kNetInflow)) return;
    // The flood, the outflow and their difference add up to the printed digit.
    const auto tenths = [&](const char* label) { return std::llround(10 * number(s, label)); };
    if (tenths(exchange::summary::kFloodVolume) - tenths(exchange::summary::kReleasedVolume) !=
        tenths(exchange::summary::kNetInflow))
        violated("the volume lines do not add up", console);
    if (!s.values.count(exchange::summary::kStorageChange)) return;
    const double n = static_cast<double>(outflow.size());
    double qMax = 0;
    for (double q : inflow)
        qMax = std::max(qMax, std::fabs(q));
    for (double q : outflow)
        qMax = std::max(qMax, std::fabs(q));
    double slope = curve[0].level > 0 ? curve[0].volume / static_cast<double>(curve[0].level) : 0;
    for (std::size_t i = 1; i < curve.size(); ++i)
        slope = std::max(slope, (static_cast<double>(curve[i].volume) - curve[i - 1].volume) /
                                    (static_cast<double>(curve[i].level) - curve[i - 1].level));
    const double eps = 0x1p-24;
    const double perStep =
        eps * curve.back().volume + eps * 2 * qMax * dt + dt * (2e-5 + 2 * eps * qMax);
    const double ends = 2 * slope * eps * curve.back().level;
    const double printed = 0.15; // the two figures are written to 0.1 m3
    const double tolerance = 2 * (n * perStep + ends) + printed;
    const double error =
        number(s, exchange::summary::kNetInflow) - number(s, exchange::summary::kStorageChange);
    if (!(std::fabs(error) <= tolerance))
        violated("volume balance off by " + std::to_string(error) + " m3, allowed " +
                     std::to_string(tolerance),
                 console);
}

void checkFinishedRun(int status, const std::map<std::string, std::optional<std::string>>& in,
                      const std::map<std::string, std::string>& out, const std::string& console) {
    std::vector<double> outflow, level;
    for (const auto& [name, text] : out) {
        if (name == std::string("OUT_RESULT/") + exchange::summary::kFileName) continue;
        if (name == std::string("OUT_RESULT/") + exchange::kInputsRecord) continue;
        const int k = valuesPerRecord(name);
        for (const std::string& record : lines(text, "\r\n")) {
            if (record.size() != 16u * k) violated(name + ": record of bad length", console);
            for (int v = 0; v < k; ++v)
                if (!isRealField(record.substr(16u * v, 16)))
                    violated(name + ": not a real field: '" + record.substr(16u * v, 16) + "'",
                             console);
            if (name == std::string("OUT_RESULT/") + exchange::kOutflowSeries)
                outflow.push_back(std::strtod(record.c_str(), nullptr));
            if (name == std::string("OUT_RESULT/") + exchange::kLevelSeries)
                level.push_back(std::strtod(record.c_str(), nullptr));
        }
    }
    if (outflow.size() != level.size()) violated("result files of different lengths", console);

    const auto summaryFile = out.find(std::string("OUT_RESULT/") + exchange::summary::kFileName);
    if (summaryFile == out.end()) violated("no summary file", console);
    const Summary s = parseSummary(summaryFile->second, console);
    const std::string steps = s.values.at(exchange::summary::kSteps);
    const std::size_t routed = std::strtoull(steps.c_str(), nullptr, 10);
    if (routed != outflow.size()) violated("summary steps differ from the records", console);
    const bool stopped = s.values.count(exchange::summary::kStopped) > 0;
    if (stopped != (status == 1)) violated("stop line and exit status disagree", console);
    // A stopped run states the whole flood's peak and gives no freeboard.
    if (s.values.count(exchange::summary::kFloodPeak) != (stopped ? 1u : 0u))
        violated("whole flood's peak without a stop, or a stop without it", console);
    if (const auto freeboard = s.values.find(exchange::summary::kFreeboard);
        freeboard != s.values.end() && plainNumber(freeboard->second) == stopped)
        violated("freeboard of a stopped run, or none of a finished one", console);
    if (status == 0 && steps != std::to_string(routed) + " z " + std::to_string(routed))
        violated("a normal end routed fewer steps than given", console);
    // The stop names the step after the last one routed; ERROR 1 and 2 come before any.
    if (stopped) {
        const std::string& stop = s.values.at(exchange::summary::kStopped);
        const std::size_t at = stop.find(" v kroku ");
        const std::size_t step =
            at == std::string::npos ? 0 : std::strtoull(stop.c_str() + at + 9, nullptr, 10);
        if (step != (at == std::string::npos ? 0 : routed + 1) ||
            (at == std::string::npos && routed != 0))
            violated("stop line names the wrong step: " + stop, console);
    }
    // One console line per step routed, the step number right-aligned in 12 characters.
    for (std::size_t i = 1; i <= routed + 1; ++i) {
        std::string field = std::to_string(i);
        field.insert(0, 12 - field.size(), ' ');
        if ((console.find("\n" + field + "\n") != std::string::npos) != (i <= routed))
            violated("console step lines differ from the steps routed", console);
    }
    // The console shows the same summary after the step lines.
    std::string consoleSummary;
    for (const std::string& line : lines(summaryFile->second, "\r\n"))
        consoleSummary += line + "\n";
    if (console.find(consoleSummary) == std::string::npos)
        violated("console does not show the summary", console);

    const std::optional<std::vector<CurveRow>> curve =
        readCurve(in.at(exchange::kCurve), in.at(exchange::kCurveRowCount));
    const std::optional<float> minutes = readOne(in.at(exchange::kTimeStep));
    if (!curve || !minutes) violated("a finished run from inputs that cannot be read", console);
    std::vector<double> inflow;
    if (in.at(exchange::kFloodWave)) {
        std::istringstream wave(*in.at(exchange::kFloodWave));
        exchange::FreeFormatReader reader(wave, "wave", exchange::Layout::Table);
        for (std::size_t i = 0; i < routed; ++i)
            inflow.push_back(reader.readReal());
    }
    // The set carries the inflow it routed, record k the inflow of step k.
    std::string routedInflow;
    for (double q : inflow)
        exchange::appendRecord(routedInflow, {static_cast<float>(q)});
    if (out.at(std::string("OUT_RESULT/") + exchange::kInflowSeries) != routedInflow)
        violated("the inflow file differs from the inflow routed", console);
    // The set records the inputs the run read, byte for byte.
    const auto recorded = exchange::parseInputsRecord(
        out.at(std::string("OUT_RESULT/") + exchange::kInputsRecord), summaryFile->second);
    if (!recorded) violated("the set's record of its inputs is not its summary's", console);
    for (const auto& [name, bytes] : *recorded)
        if (in.at(name) != bytes) violated("the set records another " + name, console);
    if (consistent(*curve))
        checkBalance(s, *curve, static_cast<float>(static_cast<double>(*minutes) * 60.0), inflow,
                     outflow, console);
}

// What makes a run fail where it writes, taken out of the input's files.
struct Faults {
    std::optional<rlim_t> sizeLimit;
    std::optional<fs::path> directory;
};

Faults takeFaults(std::map<std::string, std::optional<std::string>>& files) {
    Faults faults;
    if (const auto& text = files.at(kSizeLimit))
        faults.sizeLimit = std::strtoull(text->c_str(), nullptr, 10);
    if (const auto& text = files.at(kDirectoryOutput)) {
        const std::vector<fs::path> set = exchange::resultSetFiles(fixture().root);
        faults.directory = set[std::strtoull(text->c_str(), nullptr, 10) % set.size()];
    }
    files.erase(kSizeLimit);
    files.erase(kDirectoryOutput);
    return faults;
}

// Runs the core with the faults in place, then takes them away again.
int runWithFaults(const Faults& faults, std::ostringstream& console) {
    std::optional<std::string> displaced;
    fs::file_time_type displacedTime{};
    if (faults.directory) {
        if (fs::exists(*faults.directory)) {
            displaced = readFile(*faults.directory);
            displacedTime = fs::last_write_time(*faults.directory);
            fs::remove(*faults.directory);
        }
        fs::create_directory(*faults.directory);
    }
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    if (faults.sizeLimit) {
        const rlimit limited{std::min(*faults.sizeLimit, before.rlim_max), before.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    std::istringstream noInput;
    const int status = veldron::runCore(fixture().root, console, noInput);
    ::setrlimit(RLIMIT_FSIZE, &before);
    if (faults.directory) {
        fs::remove(*faults.directory);
        if (displaced) {
            writeFile(*faults.directory, *displaced);
            fs::last_write_time(*faults.directory, displacedTime);
        }
    }
    return status;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fixture& fx = fixture();
    auto files = inputFiles(std::string(reinterpret_cast<const char*>(data), size));
    const Faults faults = takeFaults(files);
    // Large crest grids are the benchmark's business, not the fuzzer's.
    if (const std::optional<float> retention = readOne(files.at(exchange::kRetentionHeight));
        retention && 20.0 * *retention > kMostGridLevels)
        return -1;

    const fs::path exchangeDir = exchange::exchangeDir(fx.root);
    for (const auto& [name, text] : files) {
        // The core consumes the start level: it is always written again.
        const auto it = fx.written.find(name);
        if (it != fx.written.end() && it->second == text && name != exchange::kStartLevel) continue;
        if (text)
            writeFile(exchangeDir / name, *text);
        else
            fs::remove(exchangeDir / name);
        fx.written[name] = text;
    }

    std::ostringstream console;
    const int status = runWithFaults(faults, console);
    const std::string text = console.str();
    std::map<std::string, std::string> after = outputFiles(fx.root);
    if (exchange::commitPending(fx.root)) violated("a run left its commit unfinished", text);
    if (faults.directory && status != exchange::kExitInputError)
        violated("a run replaced its set with a directory in place of a file", text);
    switch (status) {
    case exchange::kExitInputError:
        if (text.find("\n*ERR* ") == std::string::npos) violated("exit 2 without *ERR*", text);
        if (files.at(exchange::kStartLevel) && !fs::exists(exchangeDir / exchange::kStartLevel))
            violated("a refused or failed run consumed the start level", text);
        if (after != fx.outputs) violated("a refused or failed run changed a file", text);
        break;
    case exchange::kExitNormal:
    case exchange::kExitErrorExit:
        if (fs::exists(exchangeDir / exchange::kStartLevel))
            violated("a run that computed left the start level behind", text);
        if (!exchange::isCompleteResultSet(fx.root))
            violated("a run that computed left no complete set", text);
        checkFinishedRun(status, files, after, text);
        break;
    default:
        violated("exit status " + std::to_string(status), text);
    }
    fx.outputs = std::move(after);
    return 0;
}
