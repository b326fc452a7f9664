// veldron_posouzeni on the sample with the real core: what it prints and how
// it ends for a verdict that holds, one that does not, a table of return
// periods, the sample's own manipulation and a refused setting.
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "study_fixture.h"
#include "tests/support/sample_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace veldron::testing;

namespace {

struct Printed {
    int status = -1;
    std::string text; // standard output and error
};

// Under a Czech system's locale, which a console program takes from its
// environment: its decimal comma must not change what --mbh 13.5 reads.
Printed assess(const std::filesystem::path& root, const std::string& options) {
    const std::string command = "LC_ALL=cs_CZ.UTF-8 " + std::string(VELDRON_POSOUZENI_EXE) + " '" +
                                root.string() + "' --jadro " + VELDRON_CORE_EXE + " " + options +
                                " 2>&1";
    Printed printed;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return printed;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        printed.text.append(buffer, n);
    const int status = ::pclose(pipe);
    printed.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return printed;
}

} // namespace

TEST(AssessmentCommand, TheSampleFromTheTopOfItsStorageZone) {
    struct Case {
        const char* mode; // IN_MANIP_0_1_2
        std::string options;
        int status;
        std::vector<std::string> said;
    };
    const auto& kmh = sample::kAssessmentLevels;
    const Case cases[] = {
        {"0",
         "--mbh 13.5 --start 9",
         0,
         {"všechny výpusti v provozu (2): KMH " + std::string(kmh[0]) + " m v kroku 14",
          "jedna výpust mimo provoz (1), rozhoduje: KMH " + std::string(kmh[1]) + " m",
          "žádná výpust v provozu (0): KMH " + std::string(kmh[2]) + " m",
          "Vodní dílo při kontrolní povodni vyhovuje: KMH " + std::string(kmh[1]) +
              " m ≤ MBH 13.500 m, rezerva 0.024 m (jedna výpust mimo provoz)."}},
        {"0", "--mbh 13.5 --start 9 --rozhoduje zadne", 1, {"nevyhovuje: KMH"}},
        {"0",
         "--mbh 13.5 --start 9 --kpv 100:90 --kpv 1000:100 --kpv 10000:120",
         0,
         {"drží KMH ≤ MBH: N = 1000 let; první, která nevyhovuje: N = 10000 let."}},
        {"2",
         "--mbh 13.5 --start 9",
         1,
         {"Všechny tři případy dávají stejnou KMH " + std::string(kmh[2]) +
          " m a až do ní stejný průběh hladiny: výpusti jsou při vzestupu hladiny zavřené"}},
        {"0", "--mbh 15", 2, {"--mbh: Mezní bezpečná hladina MBH 15.000 m leží nad"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        installSample(dir.path());
        writeFile(exchange::exchangeDir(dir.path()) / exchange::kManipulationMode,
                  std::string(c.mode) + "\r\n");
        const Printed printed = assess(dir.path(), c.options);
        EXPECT_EQ(printed.status, c.status) << c.options << "\n" << printed.text;
        for (const std::string& said : c.said)
            EXPECT_NE(printed.text.find(said), std::string::npos) << said << "\n" << printed.text;
        // The project's results are not touched.
        EXPECT_TRUE(std::filesystem::is_empty(exchange::outResultDir(dir.path())));
    }
}
