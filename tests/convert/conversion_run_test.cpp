#include "convert/conversion_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "convert/menu_lock.h"
#include "run_setup.h"
#include "test_support/other_run_lock.h"
#include "test_support/plain_file_system.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using test::ReadFixture;
using test::RunSetup;

// The test menu with the query entries in front of its second (last) "</Items>" line and
// the item entries in front of its "</XMBML>" line.
std::string FixtureWith(std::string_view queries, std::string_view items) {
    std::string menu = ReadFixture("menu/Links.xml");
    const std::size_t root = menu.rfind("</XMBML>\r\n");
    EXPECT_NE(root, std::string::npos);
    menu.insert(root, items);
    const std::size_t pages = menu.rfind("\t\t</Items>\r\n");
    EXPECT_NE(pages, std::string::npos);
    menu.insert(pages, queries);
    return menu;
}

const std::string kHandwrittenQueries =
    "Q[Recipes]\r\nQ[TrainTimes]\r\nQ[CityMap]\r\nQ[Caf\u00e9Hours]\r\nQ[Library]\r\n";
const std::string kHandwrittenItems =
    "I[Recipes|Recipes|Weeknight dinners; quick ones first|network.png|"
    "https://cooking.example.net/recipes?sort=quick&amp;lang=en]\r\n"
    "N[TrainTimes|Train Times|||https://rail.example.com/departures]\r\n"
    "N[CityMap|City  Map|||HTTP://MAPS.EXAMPLE.ORG/CITY]\r\n"
    "N[Caf\u00e9Hours|Caf\u00e9 Hours|||https://example.org/caf%C3%A9]\r\n"
    "I[Library|Library|Opening hours|network.png|http://library.example.org/]\r\n";

void ExpectDone(const RunOutcome& outcome, const RunSetup& setup) {
    EXPECT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    EXPECT_EQ(outcome.message, "Done");
    EXPECT_EQ(outcome.icon, MessageIcon::Information);
    EXPECT_EQ(outcome.focusBox, std::nullopt);
    EXPECT_EQ(outcome.folderToOpen, setup.temp().folder() + "x/FEATURES/");
    EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".tmp"));
}

TEST(RunConversion, HandwrittenListGoesIntoTheMenuAndTheOldMenuIntoTheBackup) {
    RunSetup setup;
    setup.temp().copyFixture("lists/handwritten-crlf.txt", "list.txt");
    ExpectDone(RunConversion(setup.paths()), setup);
    EXPECT_EQ(setup.menu(), FixtureWith(kHandwrittenQueries, kHandwrittenItems));
    EXPECT_EQ(setup.backup(), ReadFixture("menu/Links.xml"));
}

TEST(RunConversion, ListsWithCrLfLfCrOrMixedBreaksGiveTheSameMenu) {
    for (const char* list : {"lists/handwritten-crlf.txt", "lists/handwritten-lf.txt",
                             "lists/handwritten-cr.txt", "lists/handwritten-mixed.txt"}) {
        RunSetup setup;
        setup.temp().copyFixture(list, "list.txt");
        ExpectDone(RunConversion(setup.paths()), setup);
        EXPECT_EQ(setup.menu(), FixtureWith(kHandwrittenQueries, kHandwrittenItems)) << list;
    }
}

// The text as UTF-16 bytes behind their byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(RunConversion, ListsWithAByteOrderMarkGiveTheSameMenu) {
    // The address comes first, so a mark left on the first line would make it a title.
    const std::u16string list = u"https://a.org/\r\nCafé 😀 ;ü\r\n";
    for (const std::string& bytes : {std::string("\xEF\xBB\xBFhttps://a.org/\r\nCafé 😀 ;ü\r\n"),
                                     Utf16(list, false), Utf16(list, true)}) {
        RunSetup setup;
        setup.writeList(bytes);
        ExpectDone(RunConversion(setup.paths()), setup);
        EXPECT_EQ(setup.menu(),
                  FixtureWith("Q[Café😀]\r\n", "I[Café😀|Café 😀|ü|network.png|https://a.org/]\r\n"));
    }
}

struct StopCase {
    const char* name;
    std::function<void(const RunSetup&, RunPaths&)> arrange;
    std::string message;  // "{}" stands for the temporary folder
    std::optional<RunInput> focus;
};

TEST(RunConversion, InputChecksStopWithTheirMessageAndChangeNothing) {
    const auto remove = [](std::string_view relative) {
        return [relative](const RunSetup& s, RunPaths&) {
            std::filesystem::remove(s.temp().path(relative));
        };
    };
    const auto empty = [](std::string_view relative) {
        return [relative](const RunSetup& s, RunPaths&) { s.temp().write(relative, ""); };
    };
    const auto list = [](std::string_view bytes) {
        return [bytes](const RunSetup& s, RunPaths&) { s.writeList(bytes); };
    };
    const std::string kNoLinks = "No links were found in the list.";
    const std::vector<StopCase> cases{
        {"missing list", remove("list.txt"), "Please enter a TXT file or a Firefox Bookmarks.html.",
         RunInput::List},
        {"empty list", empty("list.txt"), "Please enter a TXT file or a Firefox Bookmarks.html.",
         RunInput::List},
        {"list is a folder",
         [](const RunSetup& s, RunPaths& p) { p.listPath = s.temp().path("x"); },
         "Please enter a TXT file or a Firefox Bookmarks.html.", RunInput::List},
        {"both boxes empty",
         [](const RunSetup&, RunPaths& p) {
             p.listPath.clear();
             p.linksPath.clear();
         },
         "Please enter a TXT file or a Firefox Bookmarks.html.", RunInput::List},
        {"missing menu", remove(RunSetup::kMenu), "Please enter the Links.xml.", RunInput::Menu},
        {"menu folder missing, so no lock can be made",
         [](const RunSetup& s, RunPaths& p) { p.linksPath = s.temp().folder() + "y/Links.xml"; },
         "Please enter the Links.xml.", RunInput::Menu},
        {"empty menu box", [](const RunSetup&, RunPaths& p) { p.linksPath.clear(); },
         "Please enter the Links.xml.", RunInput::Menu},
        {"empty menu", empty(RunSetup::kMenu), "Please enter the Links.xml.", RunInput::Menu},
        {"missing query template", remove("app/item_template_query.txt"),
         "Missing item_template_query.txt", std::nullopt},
        {"empty image template", empty("app/item_template_image.txt"),
         "Missing item_template_image.txt", std::nullopt},
        {"missing no-image template", remove("app/item_template_noimage.txt"),
         "Missing item_template_noimage.txt", std::nullopt},
        {"app folder elsewhere",
         [](const RunSetup& s, RunPaths& p) { p.appFolder = s.temp().folder() + "x/"; },
         "Missing item_template_query.txt", std::nullopt},
        {"missing fallback icon", remove("x/IMAGES/network.png"), "Missing {}x/IMAGES/network.png",
         std::nullopt},
        {"empty fallback icon", empty("x/IMAGES/network.png"), "Missing {}x/IMAGES/network.png",
         std::nullopt},
        {"markup and a title only", list("<p>only markup\r\nno address\r\n"), kNoLinks,
         RunInput::List},
        {"bookmark backup", list(R"({"roots":{"url":"https://a.org/","name":"A"}})"), kNoLinks,
         RunInput::List},
        {"empty export", list("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n</DL><p>\n"), kNoLinks,
         RunInput::List},
    };
    for (const StopCase& c : cases) {
        RunSetup setup;
        setup.temp().copyFixture("lists/handwritten-crlf.txt", "list.txt");
        RunPaths paths = setup.paths();
        c.arrange(setup, paths);
        const std::string menu = setup.menu();
        std::string message = c.message;
        if (const std::size_t at = message.find("{}"); at != std::string::npos) {
            message.replace(at, 2, setup.temp().folder());
        }
        const RunOutcome outcome = RunConversion(paths);
        EXPECT_EQ(outcome.status, RunStatus::InputError) << c.name;
        EXPECT_EQ(outcome.message, message) << c.name;
        EXPECT_EQ(outcome.icon, MessageIcon::Information) << c.name;
        EXPECT_EQ(outcome.focusBox, c.focus) << c.name;
        EXPECT_TRUE(outcome.folderToOpen.empty()) << c.name;
        EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".bak")) << c.name;
        EXPECT_EQ(setup.menu(), menu) << c.name;
    }
}

TEST(RunConversion, WaitingRunChecksTheMenuOnlyOnceItHoldsTheLock) {
    RunSetup setup;
    setup.writeList("T\r\nhttp://t.org/\r\n");
    const std::string menu = setup.paths().linksPath;
    LockAttempt other = test::LockAsAnotherRun(menu);
    ASSERT_EQ(other.state, LockState::Held);
    // Another run in the middle of its replacement: for a moment there is no menu.
    std::filesystem::rename(menu, menu + ".moved");
    std::thread waiting([&] {
        const RunOutcome outcome = RunConversion(setup.paths());
        EXPECT_EQ(outcome.message, "Done");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::filesystem::rename(menu + ".moved", menu);
    other.lock.reset();
    waiting.join();
    EXPECT_EQ(setup.menu(), FixtureWith("Q[T]\r\n", "N[T|T|||http://t.org/]\r\n"));
}

// Stops at the k-th question, and follows the list's reading.
class CancelAt final : public RunObserver {
  public:
    explicit CancelAt(int question) : question_(question) {}
    int asked = 0;
    std::vector<std::uint64_t> read;  // each report's bytes; the last with the total
    std::uint64_t total = 0;

    bool CancelRequested() override { return ++asked == question_; }
    void ListRead(std::uint64_t bytes, std::uint64_t of) override {
        read.push_back(bytes);
        total = of;
    }

  private:
    int question_;
};

// Every file under the run's folder but the lock file, which stays after any run.
std::map<std::string, std::string> RunFiles(const RunSetup& setup) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(setup.temp().root())) {
        if (entry.is_regular_file() && entry.path().extension() != ".lock") {
            files[test::ToUtf8(entry.path())] = test::ReadFileBytes(entry.path());
        }
    }
    return files;
}

// Wherever a run is asked to stop, up to the replacement, it stops with every file as it
// was and no temporary file left; a run never stopped is the plain run. The list is long
// enough to be asked in the middle of its reading.
TEST(RunConversion, CancelAtAnyQuestionChangesNothingAndAnswersCancelled) {
    std::string list;
    for (int i = 0; i < 5000; ++i) {
        list += "A title long enough to fill the list quickly " + std::to_string(i) +
                "\r\nhttp://t.org/" + std::to_string(i) + "\r\n";
    }
    const int questions = [&list] {
        RunSetup setup;
        setup.writeList(list);
        CancelAt never(0);
        EXPECT_EQ(RunConversion(setup.paths(), RealFileSystem(), kMenuLockWait, &never).message,
                  "Done");
        EXPECT_GT(never.read.size(), 1u) << "reported in the middle and at the end";
        EXPECT_TRUE(std::is_sorted(never.read.begin(), never.read.end()));
        EXPECT_EQ(never.read.back(), list.size());
        EXPECT_EQ(never.total, list.size());
        return never.asked;
    }();
    EXPECT_GE(questions, 4);
    for (int question = 1; question <= questions; ++question) {
        SCOPED_TRACE(question);
        RunSetup setup;
        setup.writeList(list);
        const auto before = RunFiles(setup);
        CancelAt cancel(question);
        const RunOutcome outcome =
            RunConversion(setup.paths(), RealFileSystem(), kMenuLockWait, &cancel);
        EXPECT_EQ(outcome.status, RunStatus::Cancelled);
        EXPECT_EQ(outcome.message, "Cancelled");
        EXPECT_EQ(outcome.icon, MessageIcon::Information);
        EXPECT_FALSE(outcome.focusBox);
        EXPECT_EQ(outcome.folderToOpen, "");
        EXPECT_EQ(cancel.asked, question) << "asked no more once stopped";
        EXPECT_EQ(RunFiles(setup), before);
    }
}

// A run whose links are slow to decide (here each link's icon is probed) is asked whether
// to stop at least every 1,024 links, however short their lines: a cancel wanted from the
// 100th probe on stops it within about a thousand more, in a list where 256 KB hold 10,000.
TEST(RunConversion, CancelIsAnsweredWithinAThousandLinksHoweverShortTheirLines) {
    std::string list;
    for (int i = 0; i < 20000; ++i) {
        list += "T" + std::to_string(i) + "\r\nhttp://t/\r\n";
    }
    RunSetup setup;
    setup.writeList(list);
    test::PlainFileSystem files;  // lists no folder, so every icon is probed
    struct CancelAfterProbes final : RunObserver {
        explicit CancelAfterProbes(const test::PlainFileSystem& counted) : files(counted) {}
        bool CancelRequested() override { return files.probes >= 100; }
        const test::PlainFileSystem& files;
    } observer(files);
    EXPECT_EQ(RunConversion(setup.paths(), files, kMenuLockWait, &observer).status,
              RunStatus::Cancelled);
    EXPECT_LT(files.probes, 100 + 1024 + 16);
}

TEST(RunConversion, MenuPathWithoutFolderLooksForTheIconByItsBareName) {
    RunSetup setup;
    setup.writeList("T\r\nhttp://t.org/\r\n");
    setup.temp().copyFixture("menu/Links.xml", "Links.xml");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(setup.temp().root());
    RunPaths paths = setup.paths();
    paths.linksPath = "Links.xml";
    const RunOutcome missing = RunConversion(paths);
    setup.temp().write("network.png", "png");
    const RunOutcome done = RunConversion(paths);
    std::filesystem::current_path(previous);
    EXPECT_EQ(missing.message, "Missing network.png");
    EXPECT_EQ(done.message, "Done");
    EXPECT_EQ(done.folderToOpen, "");
    EXPECT_EQ(setup.temp().read("Links.xml"),
              FixtureWith("Q[T]\r\n", "N[T|T|||http://t.org/]\r\n"));
}

TEST(RunConversion, IconIsTheLinksOwnOrTheFallbackForInfoOrNone) {
    RunSetup setup;
    setup.temp().write("x/IMAGES/BigNews.png", "png");
    setup.temp().write("x/IMAGES/Empty.png", "");
    setup.writeList(
        "Big News\r\nhttp://n.org/\r\n"
        "Empty;with info\r\nhttp://e.org/\r\n"
        "Plain\r\nhttp://p.org/\r\n\r\n"
        "<DT><A HREF=\"http://b.org/\" X=\"1\">Big News</A>\r\n");
    ExpectDone(RunConversion(setup.paths()), setup);
    // The second "Big News" gets another id but keeps the icon its title names.
    EXPECT_EQ(setup.menu(), FixtureWith("Q[BigNews]\r\nQ[Empty]\r\nQ[Plain]\r\nQ[BigNews_2]\r\n",
                                        "I[BigNews|Big News||BigNews.png|http://n.org/]\r\n"
                                        "I[Empty|Empty|with info|network.png|http://e.org/]\r\n"
                                        "N[Plain|Plain|||http://p.org/]\r\n"
                                        "I[BigNews_2|Big News||BigNews.png|http://b.org/]\r\n"));
}

TEST(RunConversion, LeftoverBackupIsReplacedWhetherStaleOrEmpty) {
    for (std::string_view leftover : {"stale backup", ""}) {
        RunSetup setup;
        setup.writeList("T\r\nhttp://t.org/\r\n");
        setup.temp().write(std::string(RunSetup::kMenu) + ".bak", leftover);
        ExpectDone(RunConversion(setup.paths()), setup);
        EXPECT_EQ(setup.backup(), ReadFixture("menu/Links.xml"));
    }
}

TEST(RunConversion, BackupThatCannotBeReplacedStopsWithTheMenuUntouched) {
    RunSetup setup;
    setup.writeList("T\r\nhttp://t.org/\r\n");
    setup.temp().write(std::string(RunSetup::kMenu) + ".bak/keep", "a folder in the way");
    const RunOutcome outcome = RunConversion(setup.paths());
    EXPECT_EQ(outcome.status, RunStatus::WriteError);
    EXPECT_EQ(outcome.message, "ERROR: Could not create a backup of the Links.xml");
    EXPECT_EQ(outcome.icon, MessageIcon::Exclamation);
    EXPECT_EQ(setup.menu(), ReadFixture("menu/Links.xml"));
    EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".tmp"));
}

TEST(RunConversion, LeftoverTemporaryFileIsOverwritten) {
    RunSetup setup;
    setup.writeList("T\r\nhttp://t.org/\r\n");
    setup.temp().write(std::string(RunSetup::kMenu) + ".tmp", std::string(100000, 'x'));
    ExpectDone(RunConversion(setup.paths()), setup);
    EXPECT_EQ(setup.menu(), FixtureWith("Q[T]\r\n", "N[T|T|||http://t.org/]\r\n"));
}

// `menu` with `queries` at the start of the line that holds its second "</Items>" and `items`
// at the start of the line that holds "</XMBML>".
std::string Spliced(std::string menu, std::string_view queries, std::string_view items) {
    const auto lineOf = [&menu](std::size_t at) { return menu.rfind('\n', at) + 1; };
    menu.insert(lineOf(menu.find("</XMBML>")), items);
    menu.insert(lineOf(menu.find("</Items>", menu.find("</Items>") + 1)), queries);
    return menu;
}

struct RuleCase {
    const char* name;
    std::vector<std::string> lists;  // converted one after the other
    std::string queries;             // the query entries the menu has gained after the last
    std::string items;               // and the item entries
    std::string message;             // of the last run
    std::string menu;                // the test data's menu when empty
    std::string queryTemplate = std::string(test::kQueryTemplate);
    std::string itemTemplate = std::string(test::kNoImageTemplate);
};

TEST(RunConversion, EachLinkGetsAnUnusedIdOrIsSkippedWhenItsEntriesAreInTheMenu) {
    const std::string kNone = "All links of the list are in the menu already.";
    const auto some = [](int skipped, int found) {
        return "Done\n\nLinks already in the menu, not added again: " + std::to_string(skipped) +
               " of " + std::to_string(found) + ".";
    };
    const std::string kRepeated =
        "A\nhttp://1/\nA\nhttp://2/\nA\nhttp://1/\nA_2\nhttp://3/\nA\nhttp://4/";
    const std::string kView = "\t<V id=\"#LINKID#\">\r\n\t\t<U>#LINKURL#</U>\r\n\t</V>\r\n";
    const std::u16string kCafe = u"Caf\u00e9\r\nhttp://1/\r\nCaf\u00e9\r\nhttp://2/\r\n";
    const std::string kQ(test::kQueryTemplate), kN(test::kNoImageTemplate);
    const std::vector<RuleCase> cases{
        {"suffixes count up, a title that is X_2 gets X_2_2, a link twice is skipped",
         {kRepeated},
         "Q[A]\r\nQ[A_2]\r\nQ[A_2_2]\r\nQ[A_3]\r\n",
         "N[A|A|||http://1/]\r\nN[A_2|A|||http://2/]\r\nN[A_2_2|A_2|||http://3/]\r\n"
         "N[A_3|A|||http://4/]\r\n",
         some(1, 5),
         {},
         kQ,
         kN},
        {"the same list again adds nothing",
         {kRepeated, kRepeated},
         "Q[A]\r\nQ[A_2]\r\nQ[A_2_2]\r\nQ[A_3]\r\n",
         "N[A|A|||http://1/]\r\nN[A_2|A|||http://2/]\r\nN[A_2_2|A_2|||http://3/]\r\n"
         "N[A_3|A|||http://4/]\r\n",
         kNone,
         {},
         kQ,
         kN},
        {"a grown list adds only its new link",
         {"A\nhttp://1/\nB\nhttp://2/", "A\nhttp://1/\nB\nhttp://2/\nA\nhttp://5/"},
         "Q[A]\r\nQ[B]\r\nQ[A_2]\r\n",
         "N[A|A|||http://1/]\r\nN[B|B|||http://2/]\r\nN[A_2|A|||http://5/]\r\n",
         some(2, 3),
         {},
         kQ,
         kN},
        {"a query template without the id lets ids repeat",
         {"A\nhttp://1/\nA\nhttp://2/\nA\nhttp://1/"},
         "Q\r\nQ\r\n",
         "N[A|A|||http://1/]\r\nN[A|A|||http://2/]\r\n",
         some(1, 3),
         {},
         "Q\r\n",
         kN},
        {"a blank item template skips nothing",
         {"A\nhttp://1/", "A\nhttp://1/"},
         "Q[A]\r\nQ[A_2]\r\n",
         " \r\n \r\n",
         "Done",
         {},
         kQ,
         " "},
        {"entries are found however indented, but not inside a longer line",
         {"A\nhttp://a/\nB\nhttp://b/\nC\nhttp://c/"},
         "Q[A_2]\r\nQ[B]\r\n",
         "N[A_2|A|||http://a/]\r\nN[B|B|||http://b/]\r\n",
         some(1, 3),
         "<XMBML>\r\n<Items>\r\n  Q[A]\t\r<x>Q[B]</x>\r\n</Items>\r\n<Items>\r\n</Items>\r\n"
         " \t N[C|C|||http://c/] \r\n</XMBML>\r\n",
         kQ,
         kN},
        {"an entry of several lines is found with other indentation around it",
         {"A\nhttp://a/\nB\nhttp://b/"},
         "Q[B]\r\n",
         "\t<V id=\"B\">\r\n\t\t<U>http://b/</U>\r\n\t</V>\r\n\r\n",
         some(1, 2),
         "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n</Items>\r\n<V id=\"A\">\r\n"
         "\t\t<U>http://a/</U>\r\n\t</V>  \r\n  <V id=\"B\">\r\n\t\t<U>http://b/</U>\r\n"
         "</V>\r\n</XMBML>\r\n",
         kQ,
         kView},
        {"a UTF-16 list is the same list as its UTF-8 text",
         {Utf16(kCafe, false), "Caf\u00e9\nhttp://1/\nCaf\u00e9\nhttp://2/\n"},
         "Q[Caf\u00e9]\r\nQ[Caf\u00e9_2]\r\n",
         "N[Caf\u00e9|Caf\u00e9|||http://1/]\r\nN[Caf\u00e9_2|Caf\u00e9|||http://2/]\r\n",
         kNone,
         {},
         kQ,
         kN},
    };
    for (const RuleCase& c : cases) {
        RunSetup setup;
        const std::string menu = c.menu.empty() ? ReadFixture("menu/Links.xml") : c.menu;
        setup.writeMenu(menu);
        setup.writeTemplates(c.queryTemplate, c.itemTemplate, c.itemTemplate);
        RunOutcome outcome;
        std::string backup;
        for (const std::string& list : c.lists) {
            backup = setup.exists(std::string(RunSetup::kMenu) + ".bak") ? setup.backup() : "";
            setup.writeList(list);
            outcome = RunConversion(setup.paths());
        }
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_EQ(outcome.icon, MessageIcon::Information) << c.name;
        EXPECT_EQ(setup.menu(), Spliced(menu, c.queries, c.items)) << c.name;
        EXPECT_EQ(outcome.status, c.message == kNone ? RunStatus::NothingToAdd : RunStatus::Done)
            << c.name;
        if (outcome.status == RunStatus::NothingToAdd) {
            EXPECT_EQ(setup.backup(), backup) << c.name;  // no file changed
        }
        EXPECT_EQ(outcome.folderToOpen.empty(), outcome.status == RunStatus::NothingToAdd);
        EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".tmp")) << c.name;
    }
}

TEST(RunConversion, MenuWithOtherLineBreaksReceivesTheEntries) {
    const std::string menu = "<XMBML>\n<Items>\n</Items>\n<Items>\r\t</items>\r</XMBML>";
    RunSetup setup;
    setup.writeList("T\r\nhttp://t.org/");
    setup.writeMenu(menu);
    ExpectDone(RunConversion(setup.paths()), setup);
    EXPECT_EQ(setup.menu(),
              "<XMBML>\n<Items>\n</Items>\n<Items>\rQ[T]\r\n\t</items>\rN[T|T|||http://t.org/]\r\n"
              "</XMBML>");
}

TEST(RunConversion, LinksWithNowhereToGoStopWithTheMenuUntouched) {
    const std::vector<std::string> menus{
        "<XMBML>\r\n<Items>\r\n</Items>\r\n</XMBML>\r\n",             // one "</Items>"
        "<XMBML>\r\n<Items>\r\n</Items>\r\n<Items>\r\n</Items>\r\n",  // no "</XMBML>"
        "<XMBML><Items></Items><Items></Items></XMBML>",              // no line breaks
    };
    for (const std::string& menu : menus) {
        RunSetup setup;
        setup.writeList("T\r\nhttp://t.org/\r\n");
        setup.writeMenu(menu);
        const RunOutcome outcome = RunConversion(setup.paths());
        EXPECT_EQ(outcome.status, RunStatus::InputError) << menu;
        EXPECT_EQ(outcome.message,
                  "ERROR: Could not find where to insert the links in the Links.xml");
        EXPECT_EQ(outcome.icon, MessageIcon::Exclamation);
        EXPECT_EQ(setup.menu(), menu);
        EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".bak"));
        EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".tmp"));
    }
}

}  // namespace
}  // namespace tamsel
