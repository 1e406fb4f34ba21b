#pragma once

// Runs tamsel-convert as a child process that a test can limit and kill.

#ifndef _WIN32
#include <sys/types.h>
#endif

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamsel::test {

#ifdef _WIN32
using Child = void*;  // the process's handle, closed once the end is known
#else
using Child = pid_t;
#endif

// The limits are POSIX only; Windows ignores them.
struct ChildLimits {
    // RLIMIT_FSIZE for the child, with SIGXFSZ ignored so that a write past it fails with
    // EFBIG as on a full disk, instead of killing the child.
    std::optional<std::uint64_t> fileSizeLimit;
    // False turns off the leak check of a sanitizer build in the child, which makes its
    // ending slow; for children whose work, not whose memory, a test is about.
    bool checkLeaks = true;
    // RLIMIT_AS for the child: its memory, so that an allocation past it fails. Not for
    // sanitizer builds, which reserve far more address space than they use.
    std::optional<std::uint64_t> memoryLimit = std::nullopt;
};

// Starts the built tamsel-convert with `arguments`; its standard output and error go to
// `outputPath` (truncated), or nowhere when it is empty.
Child StartConvert(const std::vector<std::string>& arguments, const std::string& outputPath = "",
                   const ChildLimits& limits = {});

struct ChildEnd {
    bool killed = false;  // ended by KillChild (a signal)
    int exitCode = -1;    // when not killed
};

// Waits for the child to end.
ChildEnd WaitForChild(Child child);

// The child's end when it has ended, without waiting; nothing while it runs.
std::optional<ChildEnd> PollChild(Child child);

// Whether the child has ended, leaving it to be waited for.
bool HasEnded(Child child);

// Kills the child at once, without a chance to clean up (SIGKILL, TerminateProcess; it may
// have ended already), and waits for it.
ChildEnd KillChild(Child child);

}  // namespace tamsel::test
