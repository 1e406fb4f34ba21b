#pragma once

// tamsel-convert run under strace, which traces its calls, and can fail, pause or kill it at a
// chosen one. POSIX only; the test defines TAMSEL_CONVERT_BINARY.

#include <cstdlib>
#include <string>
#include <vector>

namespace tamsel::test {

// Whether strace is there and may trace a child here.
inline bool CanTrace() {
    return std::system("strace -qq -o /dev/null true 2>/dev/null") == 0;
}

// The shell command that runs tamsel-convert with `arguments` under strace with `options`,
// its standard output and error to `outputPath`. The leak check of a sanitizer build cannot
// run under a tracer, and is off.
inline std::string TracedConvert(const std::string& options,
                                 const std::vector<std::string>& arguments,
                                 const std::string& outputPath) {
    std::string command = "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" strace -qq " + options +
                          " '" TAMSEL_CONVERT_BINARY "'";
    for (const std::string& argument : arguments) {
        command += " '" + argument + "'";
    }
    return command + " > '" + outputPath + "' 2>&1";
}

}  // namespace tamsel::test
