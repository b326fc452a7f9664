// A study stopped by a signal cleans up first, then ends as it was asked:
// the guard alone, and veldron_rezerva stopped in the middle of a search.
#include "study/stop_signals.h"
#include "study/study_files.h"

#include "exchange/exchange_paths.h"
#include "study_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace veldron::testing;

namespace {

volatile std::sig_atomic_t g_seen = 0;

extern "C" void noteSeen(int signal) {
    g_seen = signal;
}

bool anyEntry(const fs::path& dir) {
    return fs::directory_iterator(dir) != fs::directory_iterator();
}

// Runs veldron_rezerva on `inputs` with TMPDIR `tmp`, its output in `out`.
pid_t startRezerva(const fs::path& core, const fs::path& inputs, const fs::path& tmp,
                   const fs::path& out) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::setenv("TMPDIR", tmp.c_str(), 1);
    // As a user's shell leaves them, whatever the test runner did.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    const int file = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(file, 1);
    ::dup2(file, 2);
    ::execl(VELDRON_REZERVA_EXE, VELDRON_REZERVA_EXE, core.c_str(), inputs.c_str(), nullptr);
    ::_exit(127);
}

// Waits up to 30 s for `done`, checking every millisecond.
template <class Done> bool waitFor(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done())
        if (std::chrono::steady_clock::now() > end)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

} // namespace

TEST(StopSignals, NotesASignalAndRaisesItAgainWhenItGoes) {
    const auto previous = std::signal(SIGTERM, noteSeen);
    g_seen = 0;
    {
        const study::StopSignals stopSignals;
        std::raise(SIGTERM);
        EXPECT_EQ(study::StopSignals::received(), SIGTERM);
        EXPECT_EQ(g_seen, 0); // the process would still be running
    }
    EXPECT_EQ(g_seen, SIGTERM);
    EXPECT_EQ(study::StopSignals::received(), 0);
    // A signal the process ignores stays ignored.
    std::signal(SIGTERM, SIG_IGN);
    {
        const study::StopSignals stopSignals;
        std::raise(SIGTERM);
        EXPECT_EQ(study::StopSignals::received(), 0);
    }
    std::signal(SIGTERM, previous);
}

// A stand-in core that never ends, in the middle of its run; and the real
// core, interrupted wherever the search stands.
TEST(StopSignals, TheSafetyMarginToolStoppedLeavesNoTemporaryRoot) {
    TempDir dir;
    installSample(dir.path() / "projekt");
    const fs::path tmp = dir.path() / "tmp";
    fs::create_directory(tmp);
    const fs::path pidFile = dir.path() / "core.pid";
    const fs::path slowCore = writeFile(
        dir.path() / "core.sh", "#!/bin/sh\necho $$ > " + pidFile.string() + "\nexec sleep 60\n");
    fs::permissions(slowCore, fs::perms::owner_all);
    const struct {
        fs::path core;
        int signal;
    } cases[] = {{slowCore, SIGTERM}, {VELDRON_CORE_EXE, SIGINT}};
    for (const auto& c : cases) {
        const fs::path out = dir.path() / "out.txt";
        const pid_t rezerva =
            startRezerva(c.core, exchange::exchangeDir(dir.path() / "projekt"), tmp, out);
        ASSERT_GT(rezerva, 0);
        ASSERT_TRUE(waitFor([&] { return anyEntry(tmp); })) << c.core;
        if (c.core == slowCore) {
            ASSERT_TRUE(waitFor([&] { return fs::exists(pidFile); }));
        }
        ::kill(rezerva, c.signal);
        int status = 0;
        ASSERT_TRUE(waitFor([&] { return ::waitpid(rezerva, &status, WNOHANG) == rezerva; }))
            << c.core;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal)
            << c.core << ": " << readFile(out);
        EXPECT_FALSE(anyEntry(tmp)) << c.core;
        EXPECT_EQ(readFile(out), "Hledání přerušeno signálem " + std::to_string(c.signal) +
                                     "; dočasné adresáře výpočtů jsou odstraněny.\n");
    }
    // The stand-in was ended and waited for, not left running.
    const pid_t core = std::stoi(readFile(pidFile));
    EXPECT_EQ(::kill(core, 0), -1);
}

// A study killed outright (SIGKILL) leaves its root; the next study removes
// the roots older than a day, and nothing else.
TEST(StopSignals, RootsAbandonedADayAgoAreRemovedByTheNextStudy) {
    TempDir temp;
    const auto make = [&](const std::string& name, std::chrono::hours age) {
        const fs::path dir = temp.path() / name;
        fs::create_directories(dir / "OUT_RESULT");
        fs::last_write_time(dir, fs::file_time_type::clock::now() - age);
        return dir;
    };
    const fs::path old = make(study::kScratchPrefix + "1-1", std::chrono::hours(25));
    const fs::path running = make(study::kScratchPrefix + "2-1", std::chrono::hours(1));
    const fs::path other = make("veldron-other", std::chrono::hours(48));
    fs::create_directory_symlink(other, temp.path() / (study::kScratchPrefix + "link"));
    study::removeAbandonedScratchRoots(temp.path());
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(other / "OUT_RESULT"));
}
