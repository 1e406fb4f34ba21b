#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    };
    for (const ParseCase& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        const std::string shown = testing::PrintToString(c.arguments);
        EXPECT_EQ(line.action, c.action) << shown << ": " << line.error;
        EXPECT_EQ(line.listPath, c.list) << shown;
        EXPECT_EQ(line.linksPath, c.menu) << shown;
        EXPECT_EQ(line.appFolder, c.appFolder) << shown;
        EXPECT_EQ(line.dryRun, c.dryRun) << shown;
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

}  // namespace
}  // namespace tamsel
