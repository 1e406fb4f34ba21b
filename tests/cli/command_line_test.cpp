#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/terminal_progress.h"

namespace tamsel {
namespace {

using Action = CommandLine::Action;

struct ParseCase {
    std::vector<std::string> arguments;
    Action action;
    std::string list;
    std::string menu;
    std::string appFolder;
    bool dryRun = false;
    std::string folder = {};
};

TEST(ParseCommandLine, ReadsEveryAcceptedForm) {
    const std::vector<ParseCase> cases{
        {{"url.txt", "Links.xml"}, Action::Run, "url.txt", "Links.xml", ""},
        {{"--app-folder", "/opt/t", "a", "b"}, Action::Run, "a", "b", "/opt/t"},
        {{"a", "--app-folder", "/opt/t", "b"}, Action::Run, "a", "b", "/opt/t"},
        {{"a", "b", "--app-folder=/opt/t"}, Action::Run, "a", "b", "/opt/t"},
        {{"a", "--dry-run", "b"}, Action::Run, "a", "b", "", true},
        {{"--app-folder=/x", "--app-folder=/y", "a", "b"}, Action::Run, "a", "b", "/y"},
        {{"--", "-list.txt", "--help"}, Action::Run, "-list.txt", "--help", ""},
        {{"-", "b"}, Action::Run, "-", "b", ""},
        {{"--help"}, Action::Help, "", "", ""},
        {{"a", "b", "-h"}, Action::Help, "", "", ""},
        {{"--bogus", "--help"}, Action::Help, "", "", ""},
        {{"--version"}, Action::Version, "", "", ""},
        {{"--restore", "Links.xml"}, Action::Restore, "", "Links.xml", ""},
        {{"Links.xml", "--restore"}, Action::Restore, "", "Links.xml", ""},
        {{"--browsers"}, Action::Browsers, "", "", ""},
        {{"--folder", "Bar/a\\/b", "a", "b"}, Action::Run, "a", "b", "", false, "Bar/a\\/b"},
        {{"a", "--dry-run", "--folder=x", "--folder=y", "b"}, Action::Run, "a", "b", "", true, "y"},
        {{"--folders", "a"}, Action::Folders, "a", "", ""},
    };
    for (const ParseCase& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        const std::string shown = testing::PrintToString(c.arguments);
        EXPECT_EQ(line.action, c.action) << shown << ": " << line.error;
        EXPECT_EQ(line.listPath, c.list) << shown;
        EXPECT_EQ(line.linksPath, c.menu) << shown;
        EXPECT_EQ(line.appFolder, c.appFolder) << shown;
        EXPECT_EQ(line.dryRun, c.dryRun) << shown;
        EXPECT_EQ(line.folder, c.folder) << shown;
    }
}

TEST(ParseCommandLine, RejectsWhatItCannotUnderstand) {
    const std::vector<std::vector<std::string>> cases{
        {},
        {"a"},
        {"a", "b", "c"},
        {"--app-folder"},
        {"a", "b", "--app-folder"},
        {"--app-folder=", "a", "b"},
        {"--app-folder", "", "a", "b"},
        {"-x", "a", "b"},
        {"--app-folders=/x", "a", "b"},
        {"--restore"},
        {"--restore", "a", "b"},
        {"--restore", "--dry-run", "Links.xml"},
        {"--browsers", "a"},
        {"--browsers", "--dry-run"},
        {"--browsers", "--restore", "Links.xml"},
        {"a", "b", "--folder"},
        {"--folder=", "a", "b"},
        {"--folder", "x", "--restore", "Links.xml"},
        {"--folders"},
        {"--folders", "a", "b"},
        {"--folders", "--dry-run", "a"},
        {"--folders", "--folder", "x", "a"},
        {"--folders", "--restore", "a"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.action, Action::UsageError) << testing::PrintToString(arguments);
        EXPECT_FALSE(line.error.empty());
    }
}

TEST(WithTrailingSeparator, AddsOneOnlyWhenMissing) {
#ifdef _WIN32
    EXPECT_EQ(WithTrailingSeparator("C:\\t"), "C:\\t\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\t\\"), "C:\\t\\");
    EXPECT_EQ(WithTrailingSeparator("C:/t/"), "C:/t/");
#else
    EXPECT_EQ(WithTrailingSeparator("/opt/t"), "/opt/t/");
    EXPECT_EQ(WithTrailingSeparator("/opt/t/"), "/opt/t/");
#endif
    EXPECT_EQ(WithTrailingSeparator(""), "");
}

TEST(ExitCodeFor, TellsOutcomesApart) {
    EXPECT_EQ(ExitCodeFor(RunStatus::Done), 0);
    EXPECT_EQ(ExitCodeFor(RunStatus::NothingToAdd), 0);
    EXPECT_EQ(ExitCodeFor(RunStatus::InputError), 1);
    EXPECT_EQ(ExitCodeFor(RunStatus::WriteError), 2);
}

// The progress line on a terminal: nothing in the first second, then one line rewritten in
// place (a shorter text wiping the longer one), nothing again for an unchanged text, and
// wiped at the end; nothing at all when standard error is no terminal.
TEST(TerminalProgress, OneLineRewrittenAfterASecondAndWipedAtTheEnd) {
    using namespace std::chrono_literals;
    std::chrono::steady_clock::time_point now{};
    const auto clock = [&now] { return now; };
    for (const bool terminal : {true, false}) {
        std::ostringstream err;
        TerminalProgress progress(err, terminal, clock);
        progress.ListRead(10, 100);
        now += 1s;
        progress.ListRead(50, 100);
        progress.ListRead(50, 100);
        progress.WaitingForLock(true);
        progress.CancelRequested();
        progress.WaitingForLock(false);
        progress.ListRead(100, 100);
        progress.Clear();
        const std::string waiting = "Waiting for another run to finish with the Links.xml...";
        const std::string expected =
            "\rReading the list... 50%\r" + waiting + "\r" + std::string(waiting.size(), ' ') +
            "\rReading the list... 100%" + "\r" + std::string(24, ' ') + "\r";
        EXPECT_EQ(err.str(), terminal ? expected : "");
    }
}

}  // namespace
}  // namespace tamsel
