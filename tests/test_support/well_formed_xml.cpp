#include "test_support/well_formed_xml.h"

#include <cstdio>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#define WIFEXITED(status) true
#define WEXITSTATUS(status) (status)
#else
#include <sys/wait.h>
#endif

namespace tamsel::test {

namespace {

// Single quotes keep a POSIX shell from reading anything in the path; a quote in it is
// closed, escaped and reopened. Windows paths hold no double quote.
std::string ShellQuoted(const std::string& text) {
#ifdef _WIN32
    return "\"" + text + "\"";
#else
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

}  // namespace

testing::AssertionResult IsWellFormedXml(const std::string& path) {
    const std::string command = "xmllint --noout --nonet " + ShellQuoted(path) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return testing::AssertionFailure() << "could not run xmllint";
    }
    std::string complaint;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        complaint.append(buffer, got);
    }
    const int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) == 127) {
        return testing::AssertionFailure()
               << "xmllint is missing (scripts/install-deps installs libxml2-utils)";
    }
    if (WEXITSTATUS(status) != 0) {
        return testing::AssertionFailure() << path << " is not well-formed XML:\n" << complaint;
    }
    return testing::AssertionSuccess();
}

bool HasXmlLint() {
    FILE* pipe = popen("xmllint --version 2>&1", "r");
    if (pipe == nullptr) {
        return false;
    }
    char buffer[4096];
    while (std::fread(buffer, 1, sizeof buffer, pipe) > 0) {
    }
    const int status = pclose(pipe);
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tamsel::test
