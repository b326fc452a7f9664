// A kill at every system call of a result set's commit, and a rename that
// fails at each of its renames, leave a set that the report tool reads as the
// old run or the new one: strace's fault injection drives the real core.
#include "desk/report_content.h"
#include "exchange/exchange_paths.h"
#include "exchange/result_set.h"
#include "exchange/set_journal.h"
#include "tests/support/sample_root.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <map>
#include <sstream>

namespace fs = std::filesystem;
using veldron::testing::installSample;
using veldron::testing::readFile;
using veldron::testing::TempDir;
using veldron::testing::writeFile;

namespace {

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the core on `root` under `strace` (options, or nothing); its exit. A
// sanitized core looks for leaks by tracing itself, which a traced process
// cannot: that search is left out.
int runCore(const fs::path& root, const std::string& strace = {}) {
    return shell("ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" VELDRON_ROOT='" +
                 root.string() + "' " + strace +
                 " '" VELDRON_CORE_EXE "' </dev/null >/dev/null 2>&1");
}

// The sample as a project whose next run starts from `start`.
void layOut(const fs::path& root, const std::string& start) {
    installSample(root);
    writeFile(exchange::exchangeDir(root) / "IN_START_VYP", start + "\r\n");
}

std::map<std::string, std::string> setFiles(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const fs::path& file : exchange::resultSetFiles(root))
        files[file.lexically_relative(root).string()] = readFile(file);
    return files;
}

// Which call of which system call each line of a trace is, from the first
// that opens the journal to be written: (name, how many of that name so far).
std::vector<std::pair<std::string, int>> commitCalls(const std::string& trace) {
    std::vector<std::pair<std::string, int>> calls;
    std::map<std::string, int> seen;
    bool commit = false;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t open = line.find('(');
        if (open == std::string::npos || line[0] == '+' || line[0] == '-') continue;
        const std::string name = line.substr(0, open);
        const int k = ++seen[name];
        commit = commit || (line.find("zurnal_vysledku") != std::string::npos &&
                            line.find("O_RDWR") != std::string::npos);
        if (commit) calls.emplace_back(name, k);
    }
    return calls;
}

class CommitFaults : public ::testing::Test {
protected:
    void SetUp() override {
        if (shell("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
        // The old run from 11 m, then the new one from 11,5 m over it.
        layOut(oldRoot, "11");
        ASSERT_EQ(runCore(oldRoot), 0);
        ASSERT_EQ(shell("cp -a '" + oldRoot.string() + "' '" + newRoot.string() + "'"), 0);
        writeFile(exchange::exchangeDir(newRoot) / "IN_START_VYP", "11.5\r\n");
        ASSERT_EQ(runCore(newRoot), 0);
        oldSet = setFiles(oldRoot);
        newSet = setFiles(newRoot);
        ASSERT_NE(oldSet, newSet);
    }

    // The work root as the old run left it (the files' times too, which seal
    // the set), the new run about to start.
    void restore() {
        fs::remove_all(work);
        ASSERT_EQ(shell("cp -a '" + oldRoot.string() + "' '" + work.string() + "'"), 0);
        writeFile(exchange::exchangeDir(work) / "IN_START_VYP", "11.5\r\n");
    }

    // The report tool's reading of the work root: one run's whole set.
    void expectOneRun(const std::string& fault) {
        SCOPED_TRACE(fault);
        desk::ReportContent report;
        ASSERT_NO_THROW(report = desk::gatherReport(work));
        const auto set = setFiles(work);
        const bool old = set == oldSet, now = set == newSet;
        EXPECT_TRUE(old || now);
        EXPECT_EQ(report.settings.at(5).value, old ? "11 m" : "11,5 m");
        EXPECT_FALSE(exchange::commitPending(work));
    }

    TempDir dir;
    fs::path oldRoot = dir.path() / "old", newRoot = dir.path() / "new", work = dir.path() / "w";
    std::map<std::string, std::string> oldSet, newSet;
};

} // namespace

TEST_F(CommitFaults, AKillAtEveryCallOfTheCommitLeavesTheOldRunOrTheNewOne) {
    restore();
    const fs::path trace = dir.path() / "trace";
    ASSERT_EQ(runCore(work, "strace -o '" + trace.string() + "'"), 0);
    const auto calls = commitCalls(readFile(trace));
    ASSERT_GT(calls.size(), 35u); // the journal, the 32 files put in place, the journal again
    int killed = 0;
    for (const auto& [name, k] : calls) {
        restore();
        const std::string fault = name + " #" + std::to_string(k);
        killed += runCore(work, "strace -o /dev/null -e inject=" + name +
                                    ":signal=KILL:when=" + std::to_string(k)) != 0;
        expectOneRun("killed at " + fault);
    }
    EXPECT_GT(killed, 35);
}

TEST_F(CommitFaults, ARenameThatFailsLeavesTheOldRunWhole) {
    for (int k = 1; k <= static_cast<int>(oldSet.size()); ++k) {
        restore();
        EXPECT_EQ(runCore(work, "strace -o /dev/null -e inject=renameat2:error=EIO:when=" +
                                    std::to_string(k)),
                  2);
        EXPECT_EQ(setFiles(work), oldSet) << "rename " << k;
        expectOneRun("rename " + std::to_string(k) + " failed");
    }
}
