// A calculation case written out as an installation root, for tests and benchmarks.
#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace veldron::testing {

struct ReservoirCase {
    // Curve rows: level above the bottom [m] and volume [m3]; the elevation
    // column is the level + 300 m and the area column 0.
    std::vector<std::pair<double, double>> curve;
    std::vector<double> inflow; // m3/s per step
    // One-value files by name, as the front end writes them (text exactly as typed).
    std::map<std::string, std::string> values;

    /// A valley reservoir of `scale` times the volume of the sample, crest 12 m,
    /// retention 2.5 m, with the given outlets, spillway and flood.
    static ReservoirCase valley(double volumeScale);

    /// The benchmarks' worst case: a wide valley held in the manipulation
    /// zone by an inflow that swings around the outlets' capacity, so every
    /// step above the crest runs 22 Klemes steps on curves of 100 grid levels
    /// (about 9,400 m3/s at the top); `steps` inflow values.
    static ReservoirCase worst(int steps);

    /// The case a directory of IN_* files holds (the bundled sample's, say).
    static ReservoirCase read(const std::filesystem::path& exchangeDir);

    /// Creates root/PULT_na_vypocty with every IN_* file, and the OUT_* directories.
    void writeRoot(const std::filesystem::path& root) const;
};

/// A number as an input file holds it: up to nine significant digits.
std::string number(double v);

/// The bytes of every file of the result set under root/OUT_DATA and
/// root/OUT_RESULT (not the temporary ones), by relative path.
std::map<std::string, std::string> outputFiles(const std::filesystem::path& root);

/// What a run of the core wrote, read back from its records.
struct RunRecords {
    int status = -1;                               // exit status of the run
    std::vector<double> level, outflow;            // vyska_vody, transformovana_povoden
    std::vector<std::array<double, 4>> klemesRows; // tab_min_radek_pro_klemese
    std::string summary;                           // souhrn_vypoctu
};

/// Runs the core in process on `c`, written out in a temporary root that is
/// removed afterwards.
RunRecords runCase(const ReservoirCase& c);

} // namespace veldron::testing
