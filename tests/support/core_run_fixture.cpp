// Whole runs of the real PRGVELDRON in a temporary installation root holding the sample.
#include "tests/support/core_run_fixture.h"

#include "exchange/result_set.h"
#include "testkit/reservoir_case.h"
#include "tests/support/sample_root.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>

namespace fs = std::filesystem;

namespace veldron::testing {

std::size_t records(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 2)
        ++n;
    return n;
}

void CoreRun::SetUp() {
    root = fs::temp_directory_path() /
           ("veldron_run_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    exchange = root / "PULT_na_vypocty";
    installSample(root);
}

void CoreRun::TearDown() {
    fs::remove_all(root);
}

Result CoreRun::run(const std::string& input, const std::string& shell) {
    const fs::path inputFile = root / "console_input";
    writeFile(inputFile, input);
    // A core that blocks (on a FIFO, say) fails the test instead of hanging it.
    const std::string command = shell + "\nVELDRON_ROOT='" + root.string() + "' timeout 60 '" +
                                VELDRON_CORE_EXE "' < '" + inputFile.string() + "' 2>&1";
    Result result;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.console.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    fs::remove(inputFile);
    return result;
}

std::string CoreRun::result(const char* name) const {
    return readFile(root / "OUT_RESULT" / name);
}

std::string CoreRun::data(const std::string& name) const {
    return readFile(root / "OUT_DATA" / name);
}

std::map<std::string, std::string> CoreRun::resultFiles() const {
    return outputFiles(root);
}

std::vector<fs::path> CoreRun::temporaryFiles() const {
    std::vector<fs::path> found;
    for (const char* dir : {"OUT_DATA", "OUT_RESULT"})
        for (const auto& entry : fs::recursive_directory_iterator(root / dir))
            if (exchange::isTemporaryPath(entry.path())) found.push_back(entry.path());
    return found;
}

std::string CoreRun::lastLine(const std::string& console) {
    std::string text = console;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.substr(text.rfind('\n') + 1);
}

} // namespace veldron::testing
