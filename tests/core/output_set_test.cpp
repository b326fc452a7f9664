// A run's result set is one run's complete set: a second run, a file that
// cannot be replaced, a full disk, a write error or a kill leave the set of
// the run before byte for byte; the temporary files are the next run's to write.
#include "core/errors.h"
#include "core/output_set.h"
#include "exchange/result_set.h"
#include "exchange/set_journal.h"
#include "tests/support/core_run_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace fs = std::filesystem;
using veldron::testing::readFile;
using veldron::testing::records;
using veldron::testing::Result;
using veldron::testing::writeFile;

namespace {

// A flood of `steps` steps of 4 m3/s, which the sample reservoir routes without a stop.
void writeLongFlood(const fs::path& exchange, int steps) {
    std::ostringstream wave;
    for (int i = 0; i < steps; ++i)
        wave << "4 \r\n";
    writeFile(exchange / "IN_FLOOD_WAVE", wave.str());
    writeFile(exchange / "IN_NUMBER_OF_POINT_FW", std::to_string(steps) + "\r\n");
}

// Sets or clears the immutable attribute (chattr +i); false where the file
// system or the user's rights do not allow it.
bool setImmutable(const fs::path& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

class ResultSet : public veldron::testing::CoreRun {
protected:
    // A previous set from the sample, which every case below must leave as it is.
    void SetUp() override {
        CoreRun::SetUp();
        ASSERT_EQ(run().status, 0);
        previous = resultFiles();
        ASSERT_EQ(previous.size(), exchange::resultSetFiles(root).size());
        writeFile(exchange / "IN_START_VYP", "11\r\n");
    }

    // The previous set unchanged and whole, the start level kept for a repeat.
    void expectPreviousSetKept(const std::string& why) {
        EXPECT_TRUE(resultFiles() == previous) << why;
        EXPECT_FALSE(exchange::commitPending(root)) << why;
        EXPECT_TRUE(exchange::isCompleteResultSet(root)) << why;
        EXPECT_TRUE(fs::exists(exchange / "IN_START_VYP")) << why;
    }

    std::map<std::string, std::string> previous;
};

} // namespace

TEST_F(ResultSet, OutputThatCannotBeReplacedRefusesTheRunBeforeWriting) {
    const fs::path outflow = root / "OUT_RESULT/transformovana_povoden";
    const fs::path summary = root / "OUT_RESULT/souhrn_vypoctu";
    const fs::path curve = root / "OUT_DATA/TK/TRANSF_KRIVKA_KLEMES_35";
    // Root writes whatever its mode says; only the immutable attribute stops it.
    const bool asRoot = ::geteuid() == 0;
    const struct {
        fs::path file;
        std::function<bool()> block, unblock;
        const char* reason;
    } cases[] = {
        {outflow, [&] { return fs::remove(outflow) && fs::create_directory(outflow); },
         [&] { return fs::remove(outflow); }, "je to adresar"},
        {summary, [&] { return fs::remove(summary) && fs::create_directory(summary); },
         [&] { return fs::remove(summary); }, "je to adresar"},
        {curve,
         [&] { return asRoot ? setImmutable(curve, true) : ::chmod(curve.c_str(), 0444) == 0; },
         [&] { return asRoot ? setImmutable(curve, false) : ::chmod(curve.c_str(), 0644) == 0; },
         asRoot ? "soubor je chranen proti zmenam" : "soubor je jen pro cteni"},
    };
    for (const auto& c : cases) {
        const std::string saved = readFile(c.file);
        const fs::file_time_type written = fs::last_write_time(c.file);
        if (!c.block()) {
            ADD_FAILURE() << "cannot block " << c.file << " here";
            continue;
        }
        const Result r = run();
        c.unblock();
        if (!fs::exists(c.file)) {
            writeFile(c.file, saved);
            fs::last_write_time(c.file, written);
        }
        EXPECT_EQ(r.status, 2) << c.file;
        EXPECT_EQ(lastLine(r.console), "*ERR* 12 vystupni soubor nelze nahradit: " +
                                           c.file.string() + " (" + c.reason + ")");
        expectPreviousSetKept(c.file.string());
    }
}

// A write error through the writer's own file: every file of the set is
// written, the one that cannot be is named with the system's reason. The
// failing file is a stream of the test's own, not /dev/full, which whoever
// may write /dev as root could have replaced by a regular file.
TEST_F(ResultSet, WriteErrorNamesTheFileAndLeavesThePreviousSet) {
    const fs::path full = root / "OUT_RESULT/transformovana_povoden";
    cookie_io_functions_t diskFull{};
    diskFull.write = [](void*, const char*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    try {
        veldron::OutputSet set(root, [&](const fs::path& temporary, std::uint64_t& identity) {
            return temporary == exchange::temporaryPath(full)
                       ? ::fopencookie(nullptr, "wb", diskFull)
                       : exchange::rewriteForWriting(temporary, identity);
        });
        set.file("transformovana_povoden").writeText("       4.0000000\r\n");
        set.commit();
        ADD_FAILURE() << "the set was committed";
    } catch (const exchange::FileError& e) {
        EXPECT_EQ(e.code, exchange::kErrWrite);
        EXPECT_EQ(std::string(e.what()),
                  "chyba zapisu do souboru " + full.string() + " (No space left on device)");
    }
    expectPreviousSetKept("write error");
}

// A real full file system where this test may mount one (root); the write
// error above covers the case everywhere else.
TEST_F(ResultSet, FullDiskLeavesThePreviousSet) {
    const fs::path results = root / "OUT_RESULT";
    const fs::path saved = root / "saved_results";
    fs::copy(results, saved);
    if (::mount("tmpfs", results.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    struct Unmount {
        const fs::path& at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{results};
    fs::copy(saved, results, fs::copy_options::recursive);
    previous = resultFiles();
    writeLongFlood(exchange, 100000); // 1.8 MB per series
    const Result r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(lastLine(r.console).find("*ERR* 11 chyba zapisu do souboru " + results.string()),
              std::string::npos)
        << r.console;
    EXPECT_NE(lastLine(r.console).find("(No space left on device)"), std::string::npos);
    expectPreviousSetKept("full disk");
}

// A file-size limit (ulimit -f) fails the write instead of killing the core
// by SIGXFSZ without a word.
TEST_F(ResultSet, FileSizeLimitEndsInAWriteErrorAndLeavesThePreviousSet) {
    writeLongFlood(exchange, 100000); // 1.8 MB per series
    const Result r = run("", "ulimit -f 1024");
    EXPECT_EQ(r.status, 2) << r.console;
    EXPECT_NE(lastLine(r.console).find("*ERR* 11 chyba zapisu do souboru "), std::string::npos)
        << r.console;
    EXPECT_NE(lastLine(r.console).find("(File too large)"), std::string::npos) << r.console;
    expectPreviousSetKept("file-size limit");
}

// Two runs in one root: the second is refused at once. A run killed part-way
// leaves the previous set and its temporary files; the next run removes them.
TEST_F(ResultSet, SecondRunIsRefusedAndAKilledRunLeavesThePreviousSet) {
    writeLongFlood(exchange, 100000);
    int console[2];
    ASSERT_EQ(::pipe(console), 0);
    const pid_t first = ::fork();
    if (first == 0) {
        ::setenv("VELDRON_ROOT", root.c_str(), 1);
        ::dup2(console[1], 1);
        ::close(console[0]);
        ::execl(VELDRON_CORE_EXE, "PRGVELDRON", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(console[1]);
    // Routing has begun once the first step is on the console; the core then
    // blocks on the full pipe long before its last step.
    std::string text;
    char buffer[4096];
    for (ssize_t n; text.find("\n           1\n") == std::string::npos &&
                    (n = ::read(console[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ASSERT_NE(text.find("\n           1\n"), std::string::npos) << text;

    const Result second = run();
    EXPECT_EQ(second.status, 2);
    EXPECT_EQ(lastLine(second.console),
              "*ERR* 5 v adresari " + root.string() + " uz probiha jiny vypocet (drzi zamek " +
                  (root / "zamek_vypoctu").string() +
                  "); nic nebylo zmeneno, spustte vypocet znovu, az skonci");

    ::kill(first, SIGKILL);
    int status = 0;
    ::waitpid(first, &status, 0);
    ::close(console[0]);
    EXPECT_TRUE(resultFiles() == previous);
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
    EXPECT_TRUE(fs::exists(exchange / "IN_START_VYP"));

    const Result again = run();
    EXPECT_EQ(again.status, 0) << again.console;
    EXPECT_EQ(temporaryFiles().size(), exchange::resultSetFiles(root).size());
    EXPECT_EQ(records(result("povodnova_vlna")), 100000u);
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
}
