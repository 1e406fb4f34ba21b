#include "child_process.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/utf16.h"

namespace tamsel::test {

namespace {

// The exit code KillChild gives the child, which it never gives itself.
constexpr UINT kKilled = 0xDEAD;

// `word` quoted for the command line so that the child's C runtime reads it back whole.
std::wstring Quoted(const std::wstring& word) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
        } else {
            // Backslashes before a quote are doubled, and the quote escaped.
            quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
        }
        quoted += c;
    }
    return quoted.append(backslashes, L'\\') + L'"';
}

// A handle the child inherits as its output: `path` (truncated), or NUL.
HANDLE OpenOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.empty() ? L"NUL" : WidenPath(path).c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

ChildEnd Ended(HANDLE child) {
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    ChildEnd end;
    end.killed = code == kKilled;
    end.exitCode = end.killed ? -1 : static_cast<int>(code);
    return end;
}

}  // namespace

Child StartConvert(const std::vector<std::string>& arguments, const std::string& outputPath,
                   const ChildLimits&) {
    // Made absolute while the current folder is still on the build's drive.
    static const std::wstring binary =
        std::filesystem::absolute(TAMSEL_CONVERT_BINARY).make_preferred().wstring();
    std::wstring commandLine = Quoted(binary);
    for (const std::string& argument : arguments) {
        commandLine += L" " + Quoted(Widen(argument));
    }
    const HANDLE output = OpenOutput(outputPath);
    if (output == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open the output of tamsel-convert");
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    // Under wine a start fails now and then for reasons of its own; a second try works.
    BOOL started = FALSE;
    for (int attempt = 0; !started && attempt < 3; ++attempt) {
        if (attempt > 0) {
            Sleep(100);
        }
        started = CreateProcessW(binary.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                 DETACHED_PROCESS, nullptr, nullptr, &startup, &process);
    }
    const DWORD error = GetLastError();
    CloseHandle(output);
    if (!started) {
        throw std::runtime_error("cannot start tamsel-convert (error " + std::to_string(error) +
                                 ")");
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

ChildEnd WaitForChild(Child child) {
    WaitForSingleObject(child, INFINITE);
    return Ended(child);
}

std::optional<ChildEnd> PollChild(Child child) {
    if (WaitForSingleObject(child, 0) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    return Ended(child);
}

bool HasEnded(Child child) {
    return WaitForSingleObject(child, 0) == WAIT_OBJECT_0;
}

ChildEnd KillChild(Child child) {
    TerminateProcess(child, kKilled);
    return WaitForChild(child);
}

}  // namespace tamsel::test
