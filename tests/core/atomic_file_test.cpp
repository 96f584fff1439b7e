// The one way the program writes files: whole or not at all, with the old
// file untouched and no temporary file left after any failure.
#include <cerrno>
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "tests/support/FailingWrites.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

namespace {

const std::string old_text = "the old file, which a failed write must keep\n";

unsigned mode_of(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 07777) : 0;
}

}  // namespace

TEST(AtomicFile, ReplacesWholeKeepingModeAndFollowingLinks)
{
    TempDir dir;
    std::string problem;
    // A new file, larger than the buffer, in pieces of every size.
    std::string big;
    for (int i = 0; big.size() < 3u << 20; ++i) big += std::to_string(i) + (i % 7 ? " " : "\n");
    {
        AtomicFile f(dir.file("new.txt"));
        f.write(big.substr(0, 10));
        f.write(big.substr(10, 2u << 20));
        f.write(big.substr(10 + (2u << 20)));
        ASSERT_TRUE(f.commit()) << f.problem();
    }
    EXPECT_EQ(slurp(dir.file("new.txt")), big);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(mode_of(dir.file("new.txt")), 0666u & ~unsigned(mask));

    // A replaced file keeps its mode; a link keeps pointing at it.
    const std::string target = dir.write("kept.txt", old_text);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("kept.txt", dir.file("link.txt").c_str()), 0);
    ASSERT_TRUE(write_file_atomically(dir.file("link.txt"), "new", problem)) << problem;
    EXPECT_EQ(slurp(target), "new");
    EXPECT_EQ(mode_of(target), 0640u);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(folder_listing(dir.path()), "kept.txt link.txt new.txt");

    // Devices cannot be replaced; they are written in place, checked alike.
    EXPECT_TRUE(write_file_atomically("/dev/null", "gone", problem)) << problem;
    EXPECT_FALSE(write_file_atomically("/dev/full", big, problem));
    EXPECT_EQ(problem, "No space left on device");
}

TEST(AtomicFile, EveryFailingStepKeepsTheOldFileAndLeavesNoTemporary)
{
    TempDir dir;
    const std::string target = dir.write("data.txt", old_text);
    struct Case {
        FailingWrites::Call call;
        int error;
        std::size_t after;
    };
    const Case cases[] = {{FailingWrites::Call::Write, ENOSPC, 0}, {FailingWrites::Call::Write, ENOSPC, 3},
                          {FailingWrites::Call::Write, EIO, 0},    {FailingWrites::Call::Fsync, EIO, 0},
                          {FailingWrites::Call::Close, EDQUOT, 0}, {FailingWrites::Call::Rename, EXDEV, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.call)) + " " + std::strerror(c.error));
        std::string problem;
        {
            FailingWrites failing(c.call, c.error, c.after);
            EXPECT_FALSE(write_file_atomically(target, "new content", problem));
            EXPECT_GE(FailingWrites::failures(), 1);
        }
        EXPECT_EQ(problem, std::strerror(c.error));
        EXPECT_EQ(slurp(target), old_text);
        EXPECT_EQ(folder_listing(dir.path()), "data.txt");
    }
    // Nothing written and never committed: the target is not even touched.
    {
        AtomicFile f(target);
    }
    EXPECT_EQ(slurp(target), old_text);
    EXPECT_EQ(folder_listing(dir.path()), "data.txt");
}

TEST(AtomicFile, RefusesWhatCannotBeWrittenWithTheSystemsReason)
{
    TempDir dir;
    std::string problem;
    EXPECT_FALSE(write_file_atomically(dir.path(), "x", problem));
    EXPECT_EQ(problem, "Is a directory");
    EXPECT_FALSE(write_file_atomically(dir.file("no/such/folder/x.txt"), "x", problem));
    EXPECT_EQ(problem, "No such file or directory");
    EXPECT_FALSE(write_file_atomically("", "x", problem));

    // A read-only folder and a read-only file, as a user meets them.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.file("shut").c_str(), 0755), 0);
    const std::string in_shut = dir.write("shut/a.txt", old_text);
    const std::string locked = dir.write("locked.txt", old_text);
    ASSERT_EQ(::chmod(in_shut.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.file("shut").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    for (const std::string& path : {in_shut, locked}) {
        const ChildRun run = run_without_privileges([&](Messages&) {
            std::string why;
            return !write_file_atomically(path, "new", why) && why == "Permission denied";
        });
        EXPECT_TRUE(run.ran && run.result) << path;
        EXPECT_EQ(slurp(path), old_text);
    }
    EXPECT_EQ(folder_listing(dir.file("shut")), "a.txt");
    ::chmod(dir.file("shut").c_str(), 0755);
}
