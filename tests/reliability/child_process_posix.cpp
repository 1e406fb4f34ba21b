#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace tamsel::test {

namespace {

// Between fork and exec only async-signal-safe calls are made.
[[noreturn]] void BecomeConvert(char* const* argv, char* const* environment, const char* outputPath,
                                const ChildLimits& limits) {
    const int output = outputPath[0] == '\0' ? open("/dev/null", O_WRONLY)
                                             : open(outputPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output >= 0) {
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
    }
    if (limits.fileSizeLimit) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{*limits.fileSizeLimit, *limits.fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (limits.memoryLimit) {
        const rlimit limit{*limits.memoryLimit, *limits.memoryLimit};
        setrlimit(RLIMIT_AS, &limit);
    }
    execve(argv[0], argv, environment);
    _exit(127);
}

// This process's environment, with the leak check turned off when `checkLeaks` is false.
// Under a memory limit the child keeps one heap for all its threads (MALLOC_ARENA_MAX):
// glibc reserves 64 MiB of address space for the heap of each further thread that
// allocates, which the limit counts as memory although none of it is used.
std::vector<std::string> ChildEnvironment(bool checkLeaks, bool memoryLimit) {
    std::vector<std::string> variables;
    bool sanitizerOptions = false;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        variables.emplace_back(*variable);
        if (!checkLeaks && variables.back().starts_with("ASAN_OPTIONS=")) {
            variables.back() += ":detect_leaks=0";
            sanitizerOptions = true;
        }
    }
    if (!checkLeaks && !sanitizerOptions) {
        variables.emplace_back("ASAN_OPTIONS=detect_leaks=0");
    }
    if (memoryLimit) {
        variables.emplace_back("MALLOC_ARENA_MAX=1");
    }
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

Child StartConvert(const std::vector<std::string>& arguments, const std::string& outputPath,
                   const ChildLimits& limits) {
    std::vector<std::string> words{TAMSEL_CONVERT_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables =
        ChildEnvironment(limits.checkLeaks, limits.memoryLimit.has_value());
    const std::vector<char*> argv = Pointers(words);
    const std::vector<char*> environment = Pointers(variables);
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot start tamsel-convert");
    }
    if (child == 0) {
        BecomeConvert(argv.data(), environment.data(), outputPath.c_str(), limits);
    }
    return child;
}

namespace {

ChildEnd EndFrom(int status) {
    ChildEnd end;
    end.killed = WIFSIGNALED(status);
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

// waitpid, retried when a signal interrupts it; the child's pid, 0 while it runs.
pid_t Reap(pid_t child, int& status, int options) {
    for (;;) {
        const pid_t reaped = waitpid(child, &status, options);
        if (reaped >= 0) {
            return reaped;
        }
        if (errno != EINTR) {
            throw std::runtime_error("lost the tamsel-convert child");
        }
    }
}

}  // namespace

ChildEnd WaitForChild(Child child) {
    int status = 0;
    Reap(child, status, 0);
    return EndFrom(status);
}

std::optional<ChildEnd> PollChild(Child child) {
    int status = 0;
    if (Reap(child, status, WNOHANG) == 0) {
        return std::nullopt;
    }
    return EndFrom(status);
}

bool HasEnded(Child child) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == child;
}

ChildEnd KillChild(Child child) {
    kill(child, SIGKILL);
    return WaitForChild(child);
}

}  // namespace tamsel::test
