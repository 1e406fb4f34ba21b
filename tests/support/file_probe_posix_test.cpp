#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "support/file_system.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

// Runs `body` in a child process that is killed after a few seconds, so that a probe that
// blocks fails the test instead of hanging it. The child's exit code is returned; -1 when
// it did not finish.
int RunInChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(5);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class FileProbe : public testing::Test {
  protected:
    test::TempFolder temp;
};

TEST_F(FileProbe, FifoWithoutWriterCountsAsMissingWithoutBlocking) {
    const std::string fifo = temp.path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    EXPECT_EQ(RunInChild([&] { return FileExists(fifo) ? 1 : 0; }), 0);
}

TEST_F(FileProbe, DeviceCountsAsMissing) {
    EXPECT_FALSE(FileExists("/dev/zero"));
}

TEST_F(FileProbe, LeavesErrnoAsItWas) {
    errno = 0;
    EXPECT_FALSE(FileExists(temp.path("missing.txt")));
    EXPECT_EQ(errno, 0);
}

TEST_F(FileProbe, WorksWhileStandardInputIsClosed) {
    temp.write("one.txt", "x");
    const std::string path = temp.path("one.txt");
    EXPECT_EQ(RunInChild([&] {
                  close(STDIN_FILENO);
                  return FileExists(path) && fcntl(STDIN_FILENO, F_GETFD) == -1 ? 0 : 1;
              }),
              0);
}

// Whether this process may take a read lease on `path`; otherwise the probe cannot tell
// a file being written from any other.
bool LeasesWorkOn(const std::string& path, std::string& reason) {
    const int fd = open(path.c_str(), O_RDONLY);
    const bool granted = fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
    reason = granted ? "" : std::strerror(errno);
    fcntl(fd, F_SETLEASE, F_UNLCK);
    close(fd);
    return granted;
}

TEST_F(FileProbe, FileHeldOpenForWritingByAnotherProcessCountsAsMissing) {
    temp.write("busy.txt", "content");
    const std::string path = temp.path("busy.txt");
    std::string reason;
    if (!LeasesWorkOn(path, reason)) {
        GTEST_SKIP() << "read leases refused here (" << reason << ")";
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        const int fd = open(path.c_str(), O_WRONLY);
        const char ok = fd >= 0 ? '1' : '0';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char ok = '0';
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    EXPECT_EQ(ok, '1');
    EXPECT_FALSE(FileExists(path));
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    EXPECT_TRUE(FileExists(path)) << "once the writer is gone";
}

TEST_F(FileProbe, FileThisProcessHoldsOpenForWritingCountsAsMissing) {
    temp.write("own.txt", "content");
    const std::string path = temp.path("own.txt");
    std::string reason;
    if (!LeasesWorkOn(path, reason)) {
        GTEST_SKIP() << "read leases refused here (" << reason << ")";
    }
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(FileExists(path));
    close(fd);
    EXPECT_TRUE(FileExists(path));
}

}  // namespace
}  // namespace tamsel
