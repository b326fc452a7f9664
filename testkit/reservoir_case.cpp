// A calculation case written out as an installation root, for tests and benchmarks.
#include "testkit/reservoir_case.h"

#include "core/run.h"
#include "exchange/result_set.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace veldron::testing {

std::string number(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g", v);
    return buffer;
}

namespace {

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<double> numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> values;
    for (double v; in >> v;)
        values.push_back(v);
    return values;
}

} // namespace

ReservoirCase ReservoirCase::valley(double volumeScale) {
    ReservoirCase c;
    const double a = 2.0e6 / std::pow(12.0, 2.2);
    for (double h = 0.5; h <= 18.0001; h += 0.5)
        c.curve.push_back({h, volumeScale * a * std::pow(h, 2.2)});
    c.values = {{"IN_START_VYP", "11"},
                {"IN_START_RN_OWERFLOW", "12"},
                {"IN_TOTAL_HEIGHT_OWERFLOW", "2.5"},
                {"IN_START_RO", "9"},
                {"IN_NUMBER_OF_OUTLET", "2"},
                {"IN_OUTLET_DIAMETER", "1"},
                {"IN_TOTAL_COEFFICIENT_OUTLET", "6200"},
                {"IN_WIDTH_SPILLWAY_B0", "25"},
                {"IN_COEFFICIENT_OVERFLOW_m", "380"},
                {"IN_TIME_STEP_min", "60"},
                {"IN_MANIP_0_1_2", "2"},
                {"IN_MANIP1_0_1", "0"},
                {"IN_MANPR", "0.6"},
                {"IN_PREDP1_0_1", "0"},
                {"IN_PREDP2_0_1", "0"},
                {"IN_PREDP3_0_1", "1"}};
    for (int i = 0; i < 48; ++i) {
        const double t = i / 9.0;
        c.inflow.push_back(volumeScale * (4.0 + 96.0 * std::pow(t, 4) * std::exp(4.0 * (1.0 - t))));
    }
    return c;
}

ReservoirCase ReservoirCase::worst(int steps) {
    ReservoirCase c;
    for (double h = 0.5; h <= 30.0001; h += 0.5)
        c.curve.push_back({h, 2.0e7 * h});
    c.values = {{"IN_START_VYP", "20.5"},
                {"IN_START_RN_OWERFLOW", "20"},
                {"IN_TOTAL_HEIGHT_OWERFLOW", "5.0"},
                {"IN_START_RO", "15"},
                {"IN_NUMBER_OF_OUTLET", "4"},
                {"IN_OUTLET_DIAMETER", "3"},
                {"IN_TOTAL_COEFFICIENT_OUTLET", "6000"},
                {"IN_WIDTH_SPILLWAY_B0", "480"},
                {"IN_COEFFICIENT_OVERFLOW_m", "380"},
                {"IN_TIME_STEP_min", "10"},
                {"IN_MANIP_0_1_2", "2"},
                {"IN_MANIP1_0_1", "0"},
                {"IN_MANPR", "5.0"},
                {"IN_PREDP1_0_1", "0"},
                {"IN_PREDP2_0_1", "0"},
                {"IN_PREDP3_0_1", "1"}};
    const double outlets = 0.6 * 4 * M_PI * 3.0 * 3.0 / 4 * std::sqrt(19.62 * 20.5);
    for (int i = 0; i < steps; ++i)
        c.inflow.push_back(outlets * (1.0 + 0.3 * std::sin(2.0 * M_PI * i / 100.0)));
    return c;
}

ReservoirCase ReservoirCase::read(const fs::path& exchangeDir) {
    ReservoirCase c;
    const std::vector<double> rows = numbers(readText(exchangeDir / "IN_BAT_CURVE_BC"));
    for (std::size_t i = 0; i + 3 < rows.size(); i += 4)
        c.curve.push_back({rows[i + 1], rows[i + 2]});
    c.inflow = numbers(readText(exchangeDir / "IN_FLOOD_WAVE"));
    for (const auto& entry : fs::directory_iterator(exchangeDir)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("IN_") || name == "IN_BAT_CURVE_BC" || name == "IN_FLOOD_WAVE" ||
            name == "IN_NUMBER_OF_POINT_BK" || name == "IN_NUMBER_OF_POINT_FW")
            continue;
        std::istringstream text(readText(entry.path()));
        text >> c.values[name];
    }
    return c;
}

void ReservoirCase::writeRoot(const fs::path& root) const {
    const fs::path exchange = root / "PULT_na_vypocty";
    fs::create_directories(exchange);
    for (const char* dir : {"OUT_DATA/TK", "OUT_RESULT", "OUT_PICTURES"})
        fs::create_directories(root / dir);
    std::ostringstream rows, wave;
    for (const auto& [h, v] : curve)
        rows << number(h + 300.0) << "\t" << number(h) << "\t" << number(v) << "\t0\t\r\n";
    for (double q : inflow)
        wave << number(q) << " \r\n";
    write(exchange / "IN_BAT_CURVE_BC", rows.str());
    write(exchange / "IN_NUMBER_OF_POINT_BK", std::to_string(curve.size()) + "\r\n");
    write(exchange / "IN_FLOOD_WAVE", wave.str());
    write(exchange / "IN_NUMBER_OF_POINT_FW", std::to_string(inflow.size()) + "\r\n");
    for (const auto& [name, text] : values)
        write(exchange / name, text + "\r\n");
}

std::map<std::string, std::string> outputFiles(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const char* dir : {"OUT_DATA", "OUT_RESULT"})
        for (const auto& entry : fs::recursive_directory_iterator(root / dir))
            if (entry.is_regular_file() && !exchange::isTemporaryPath(entry.path()))
                files[fs::relative(entry.path(), root).string()] = readText(entry.path());
    return files;
}

RunRecords runCase(const ReservoirCase& c) {
    static int counter = 0;
    const fs::path root =
        fs::temp_directory_path() /
        ("veldron_case_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
    fs::remove_all(root);
    c.writeRoot(root);
    std::ostringstream console;
    std::istringstream noInput;
    RunRecords r;
    r.status = runCore(root, console, noInput);
    r.level = numbers(readText(root / "OUT_RESULT/vyska_vody"));
    r.outflow = numbers(readText(root / "OUT_RESULT/transformovana_povoden"));
    const std::vector<double> rows = numbers(readText(root / "OUT_DATA/tab_min_radek_pro_klemese"));
    for (std::size_t i = 0; i + 3 < rows.size(); i += 4)
        r.klemesRows.push_back({rows[i], rows[i + 1], rows[i + 2], rows[i + 3]});
    r.summary = readText(root / "OUT_RESULT/souhrn_vypoctu");
    fs::remove_all(root);
    return r;
}

} // namespace veldron::testing
