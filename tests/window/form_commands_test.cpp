// The window's commands with a recording view and desktop: every call lands in one log,
// so that the tests see what was asked for and in which order.

#include "window/form_commands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_path_box.h"
#include "support/text.h"
#include "test_support/temp_folder.h"
#include "window/form_layout.h"
#include "window/virtual_keys.h"

namespace tamsel {
namespace {

using Log = std::vector<std::string>;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string BoxName(RunInput box) {
    return std::to_string(static_cast<int>(box));
}

class RecordingView : public FormView {
  public:
    explicit RecordingView(Log& log) : log_(log) {}
    std::array<std::string, 2> texts;
    const test::FakeBox* listBox = nullptr;  // box 0's edit field, when a test types in it
    // The Folder row.
    std::vector<std::string> rows;
    int chosen = -1;
    bool enabled = true;

    std::string BoxText(RunInput box) const override {
        if (listBox && box == RunInput::List) {
            return listBox->edit.text;
        }
        return texts[static_cast<std::size_t>(box)];
    }
    void SetFolderRows(const std::vector<std::string>& shown, int row) override {
        rows = shown;
        chosen = row;
    }
    int ChosenFolderRow() const override { return chosen; }
    void EnableFolderRow(bool on) override { enabled = on; }
    void SetBoxText(RunInput box, const std::string& text) override {
        texts[static_cast<std::size_t>(box)] = text;
        log_.push_back("set " + BoxName(box) + " " + text);
    }
    void FocusBox(RunInput box) override { log_.push_back("focus " + BoxName(box)); }
    void CloseWindow() override { log_.push_back("close"); }

  private:
    Log& log_;
};

class RecordingDesktop : public DesktopServices {
  public:
    explicit RecordingDesktop(Log& log) : log_(log) {}
    std::vector<OpenDialogRequest> dialogs;
    std::string dialogAnswer;  // the file buffer the dialog hands back; empty: cancelled

    void ShowMessage(const std::string& text, MessageIcon icon) override {
        log_.push_back("message " + text + (icon == MessageIcon::Exclamation ? " (!)" : " (i)"));
    }
    std::string ShowOpenDialog(const OpenDialogRequest& request) override {
        dialogs.push_back(request);
        log_.push_back("dialog " + request.title);
        return dialogAnswer;
    }
    void OpenFolder(const std::string& folder) override { log_.push_back("folder " + folder); }
    void OpenAddress(const std::string& address) override { log_.push_back("open " + address); }

  private:
    Log& log_;
};

class FormCommandsTest : public ::testing::Test {
  protected:
    Log log;
    RecordingView view{log};
    RecordingDesktop desktop{log};
    std::vector<RunPaths> runs;
    RunOutcome outcome;
    std::map<std::string, std::vector<ListFolder>> lists;  // the folders of each list
    std::vector<std::string> reads;                        // the lists whose folders were read
    FormCommands commands{view, desktop, RealFileSystem(),
                          [this](const RunPaths& paths) {
                              runs.push_back(paths);
                              return outcome;
                          },
                          [this](const std::string& list) {
                              reads.push_back(list);
                              return lists[list];
                          }};
};

// Start-up defaults, from a real program folder.

TEST_F(FormCommandsTest, FormLoadFillsABoxOnlyForADefaultFileWithContent) {
    struct Case {
        const char* list;  // content of url.txt, nullptr: no file
        const char* menu;  // content of FEATURES/Links.xml, nullptr: no file
    };
    const Case cases[] = {
        {"t", "<XMBML/>"}, {"t", nullptr}, {nullptr, "m"}, {nullptr, nullptr}, {"", "m"}};
    for (const Case& c : cases) {
        test::TempFolder folder;
        if (c.list) {
            folder.write("url.txt", c.list);
        }
        if (c.menu) {
            folder.write("FEATURES/Links.xml", c.menu);
        }
        view.texts = {"before", "before"};
        commands.Form_Load(folder.root().string());
        const std::string app = folder.root().string() + kSeparator;
        EXPECT_EQ(commands.AppFolder(), app);
        EXPECT_EQ(view.texts[0], c.list && *c.list ? app + "url.txt" : "before");
        EXPECT_EQ(view.texts[1],
                  c.menu && *c.menu ? app + "FEATURES" + kSeparator + "Links.xml" : "before");
    }
}

// Browsing.

TEST_F(FormCommandsTest, BrowseAsksEachBoxsDialogWithItsTextAndTakesOnlyAChosenPath) {
    struct Case {
        int index;
        const char* title;
        std::vector<FileFilter> filters;
    };
    const Case cases[] = {
        {0,
         "Open File with URLs",
         {{"Text File (*.txt)", "*.txt"}, {"Firefox Bookmarks (*.html)", "*.html"}}},
        {1, "Open Links.xml", {{"XML File (Links.xml)", "Links.xml"}}},
    };
    for (const Case& c : cases) {
        const auto box = static_cast<std::size_t>(c.index);
        view.texts = {"/other/url.txt", "/other/Links.xml"};
        for (const char* kept : {"", "  typed, not a path "}) {
            view.texts[box] = kept;
            desktop.dialogAnswer.clear();
            commands.btnOpen_Click(static_cast<RunInput>(c.index));
            EXPECT_EQ(view.texts[box], kept) << "cancelled";
        }
        ASSERT_EQ(desktop.dialogs.size(), 2U);
        EXPECT_EQ(desktop.dialogs[1].title, c.title);
        EXPECT_EQ(desktop.dialogs[1].filters, c.filters);
        EXPECT_EQ(desktop.dialogs[1].initialFolder, "  typed, not a path ");

        desktop.dialogAnswer =
            " /home/u/My Lists/chosen \xC3\xA9.txt" + std::string(1, '\0') + "  x ";
        commands.btnOpen_Click(static_cast<RunInput>(c.index));
        EXPECT_EQ(view.texts[box], "/home/u/My Lists/chosen \xC3\xA9.txt");
        EXPECT_EQ(view.texts[1 - box], box == 0 ? "/other/Links.xml" : "/other/url.txt");
        desktop.dialogs.clear();
    }
}

TEST(OpenDialog, FiltersAndTheFileBufferReadAsTheDialogWritesThem) {
    EXPECT_EQ(ParseBarFilter("A (*.a)|*.a|B|*.b;*.c|"),
              (std::vector<FileFilter>{{"A (*.a)", "*.a"}, {"B", "*.b;*.c"}}));
    EXPECT_EQ(ParseBarFilter("A|  |B|*.b|Lone"), (std::vector<FileFilter>{{"B", "*.b"}}));
    EXPECT_EQ(NameWithPatterns({"Text File (*.txt)", "*.txt"}), "Text File (*.txt)");
    EXPECT_EQ(NameWithPatterns({"Pages ", "*.htm;*.html"}), "Pages (*.htm *.html)");
    EXPECT_EQ(NulSeparatedFilter("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0", 12));
    EXPECT_EQ(NulSeparatedFilter("A|*.a|"), std::string("A\0*.a\0", 6));
    const std::pair<std::string, std::string> buffers[] = {
        {std::string("D:\\Lists\\url.txt\0", 17) + std::string(237, ' '), "D:\\Lists\\url.txt"},
        {"  no NUL at all  ", "no NUL at all"},
        {"\ttab stays\t ", "\ttab stays\t"},
        {std::string("\0 after", 7), ""},
        {std::string(254, ' '), ""},
    };
    for (const auto& [buffer, text] : buffers) {
        EXPECT_EQ(TrimAtNull(buffer), text);
    }
}

// Folders and the credit's address.

TEST_F(FormCommandsTest, LabelsOpenTheFolderPartOfTheirBoxAndTheCreditItsAddress) {
    view.texts = {"/data/lists/url.txt", "no separator"};
    commands.lblFile_Click(RunInput::List);
    commands.lblFile_Click(RunInput::Menu);
    commands.Form_Load("/opt/My Tamsel#1");
    commands.lblCredits_Click();
    EXPECT_EQ(log, (Log{"folder /data/lists/", "folder ", "open " + commands.CreditAddress()}));
#ifndef _WIN32
    EXPECT_EQ(commands.CreditAddress(), "file:///opt/My%20Tamsel%231/README.md");
#endif
    EXPECT_EQ(CreditAddress("https://example.org/t", "/opt/"), "https://example.org/t");
    EXPECT_EQ(FileUrl("C:\\T\\README.md"), "file:///C:/T/README.md");
}

// The start button.

TEST_F(FormCommandsTest, StartShowsTheMessageThenFocusesThenOpensTheFolderAfterDone) {
    struct Case {
        RunOutcome outcome;
        Log log;
    };
    const Case cases[] = {
        {{RunStatus::Done, "Done", MessageIcon::Information, std::nullopt, "/m/FEATURES/"},
         {"message Done (i)", "folder /m/FEATURES/"}},
        {{RunStatus::NothingToAdd, "All links of the list are in the menu already.",
          MessageIcon::Information, std::nullopt, ""},
         {"message All links of the list are in the menu already. (i)"}},
        {{RunStatus::InputError, "Please enter a TXT file or a Firefox Bookmarks.html.",
          MessageIcon::Information, RunInput::List, ""},
         {"message Please enter a TXT file or a Firefox Bookmarks.html. (i)", "focus 0"}},
        {{RunStatus::InputError, "Please enter the Links.xml.", MessageIcon::Information,
          RunInput::Menu, ""},
         {"message Please enter the Links.xml. (i)", "focus 1"}},
        {{RunStatus::InputError, "Missing item_template_query.txt", MessageIcon::Information,
          std::nullopt, ""},
         {"message Missing item_template_query.txt (i)"}},
        {{RunStatus::WriteError, "ERROR: Could not create a backup of the Links.xml",
          MessageIcon::Exclamation, std::nullopt, "/ignored/"},
         {"message ERROR: Could not create a backup of the Links.xml (!)"}},
    };
    commands.Form_Load("/app");
    view.texts = {"/l/url.txt", "/m/FEATURES/Links.xml"};
    for (const Case& c : cases) {
        outcome = c.outcome;
        log.clear();
        runs.clear();
        commands.btnStart_Click();
        EXPECT_EQ(log, c.log);
        ASSERT_EQ(runs.size(), 1U);
        EXPECT_EQ(runs[0].listPath, "/l/url.txt");
        EXPECT_EQ(runs[0].linksPath, "/m/FEATURES/Links.xml");
        EXPECT_EQ(runs[0].appFolder, commands.AppFolder());
    }
}

// A box completes, listing its folder, only on the release of a counted key.
TEST_F(FormCommandsTest, OnlyReleasesOfKeysPressedSinceTheLastModalBoxCount) {
    int listings = 0;
    test::FakeBox field;
    field.edit = {"/l/ex", 5, 0};
    PathBoxController box{
        field, RunInput::List,
        [&listings](std::string_view, unsigned, std::vector<std::string>&) { ++listings; }};
    const auto down = [&](int code) { commands.KeyDown({code, 0, {}, false, code}, &box); };
    const auto upCompletes = [&](int code) {
        const int before = listings;
        commands.KeyUp({code, 0, {}, false, code}, &box);
        return listings > before;
    };
    down('A');
    EXPECT_TRUE(upCompletes('A'));
    EXPECT_FALSE(upCompletes('A')) << "released twice";
    EXPECT_FALSE(upCompletes('B')) << "pressed in a message box";
    down('C');
    commands.btnStart_Click();
    EXPECT_FALSE(upCompletes('C')) << "pressed before the message box";
    down('D');
    commands.btnOpen_Click(RunInput::List);
    EXPECT_FALSE(upCompletes('D')) << "pressed before the dialog";
}

// A held key as each platform sends it, and presses that only look like one.
TEST_F(FormCommandsTest, EnterRunsOncePerPressHoweverTheHeldKeyRepeats) {
    struct Event {
        bool down;
        int key;
        std::uint64_t time;  // 0: the event has no time
        bool flagged = false;
    };
    struct Case {
        const char* what;
        std::vector<Event> events;
        int runs;
    };
    const Case cases[] = {
        {"one press", {{true, 13, 100}, {false, 13, 180}}, 1},
        {"held on X: release/press pairs with one time",
         {{true, 13, 100},
          {false, 13, 760},
          {true, 13, 760},
          {false, 13, 800},
          {true, 13, 800},
          {false, 13, 850}},
         1},
        {"held with flagged repeats",
         {{true, 13, 100}, {true, 13, 760, true}, {true, 13, 800, true}, {false, 13, 850}},
         1},
        {"the press that closed a list, then held",
         {{false, 13, 760}, {true, 13, 760}, {false, 13, 800}, {true, 13, 800}},
         0},
        {"two presses", {{true, 13, 100}, {false, 13, 200}, {true, 13, 400}}, 2},
        {"pressed again at the gap's end", {{false, 13, 100}, {true, 13, 150}}, 0},
        {"pressed again past the gap", {{false, 13, 100}, {true, 13, 151}}, 1},
        {"another key between", {{false, 13, 100}, {true, 65, 100}, {true, 13, 100}}, 1},
        {"another key's release before", {{false, 65, 100}, {true, 13, 100}}, 1},
        {"events without times", {{true, 13, 0}, {false, 13, 0}, {true, 13, 0}}, 2},
        {"the clock behind the release", {{false, 13, 4'294'967'290}, {true, 13, 5}}, 1},
        {"Esc", {{true, 27, 100}}, 0},
    };
    for (const Case& c : cases) {
        int runs = 0;
        FormCommands window{view, desktop, RealFileSystem(), [&runs](const RunPaths&) {
                                ++runs;
                                return RunOutcome{};
                            }};
        for (const Event& e : c.events) {
            const KeyEvent key{e.key, 0, e.time == 0 ? KeyTime{} : KeyTime{e.time}, e.flagged,
                               e.key};
            if (e.down) {
                window.KeyDown(key, nullptr);
            } else {
                window.KeyUp(key, nullptr);
            }
        }
        EXPECT_EQ(runs, c.runs) << c.what;
    }
}

// The Folder row: which events fill it, and the folder a run gets.

TEST_F(FormCommandsTest, TheFolderRowListsTheFoldersOfTheListBox0NamesAndStartTakesTheChoice) {
    lists["/l/export.html"] = {
        {"Bar", "Bar", 0, 5}, {"Bar/News", "News", 1, 2}, {"Other", "Other", 0, 1}};
    lists["/l/again.html"] = {{"Other", "Other", 0, 4}, {"Bar/News", "News", 0, 2}};
    const std::vector<std::string> all{"All bookmarks"};

    commands.Form_Load("/no/such/folder");
    EXPECT_EQ(view.rows, all);
    EXPECT_FALSE(view.enabled);
    EXPECT_TRUE(reads.empty()) << "an empty box names no list";

    const DroppedItem dropped[] = {{"/l/export.html", false}};
    commands.FilesDropped(dropped, RunInput::List);
    EXPECT_EQ(view.rows,
              (std::vector<std::string>{"All bookmarks", "Bar (5)", "    News (2)", "Other (1)"}));
    EXPECT_EQ(view.chosen, 0);
    EXPECT_TRUE(view.enabled);
    view.chosen = 2;
    commands.btnStart_Click();
    EXPECT_EQ(runs.back().folder, "Bar/News");

    // The menu's box, and box 0 left as it was, read nothing.
    desktop.dialogAnswer = "/m/Links.xml";
    commands.btnOpen_Click(RunInput::Menu);
    test::FakeBox field;
    field.edit = {"/l/export.html", 0, 0};
    view.listBox = &field;
    PathBoxController box{field, RunInput::List};
    commands.BoxFocusOut(box, FocusReason::Keyboard);
    EXPECT_EQ(reads, (std::vector<std::string>{"/l/export.html"}));

    // Another list keeps the folder chosen where it has it.
    desktop.dialogAnswer = "/l/again.html";
    commands.btnOpen_Click(RunInput::List);
    field.edit.text = "/l/again.html";
    EXPECT_EQ(view.rows, (std::vector<std::string>{"All bookmarks", "Other (4)", "News (2)"}));
    EXPECT_EQ(view.chosen, 2);

    // A list typed and started at once: the run gets the folder asked for, so that it
    // reports a folder the list lacks instead of converting all; leaving the box catches up.
    field.edit.text = "/l/flat.txt";
    commands.btnStart_Click();
    EXPECT_EQ(runs.back().folder, "Bar/News");
    EXPECT_EQ(reads.size(), 2u);
    commands.BoxFocusOut(box, FocusReason::Mouse);
    EXPECT_EQ(view.rows, all);
    EXPECT_FALSE(view.enabled);
    commands.btnStart_Click();
    EXPECT_EQ(runs.back().folder, "");
    EXPECT_EQ(reads.back(), "/l/flat.txt");
    EXPECT_EQ(reads.size(), 3u);
}

// Typing completes the path key by key; only accepting the completion, or leaving the box,
// reads the list.
TEST_F(FormCommandsTest, KeysTypedInBox0ReadNoListUntilTheCompletionIsAccepted) {
    lists["/l/export.html"] = {{"Bar", "Bar", 0, 5}};
    test::FakeBox field;
    field.edit = {"/l/ex", 5, 0};
    view.listBox = &field;
    PathBoxController box{field, RunInput::List,
                          [](std::string_view, unsigned, std::vector<std::string>& names) {
                              names = {"export.html"};
                          }};
    const auto key = [&](int code, bool down) {
        const KeyEvent event{code, 0, {}, false, code};
        if (down) {
            return commands.KeyDown(event, &box);
        }
        commands.KeyUp(event, &box);
        return true;
    };
    key('P', true);
    field.Insert('p');
    key('P', false);
    EXPECT_EQ(field.edit.text, "/l/export.html");
    ASSERT_TRUE(field.open);
    EXPECT_TRUE(reads.empty());
    EXPECT_TRUE(key(vk::kEnter, true)) << "Enter only closes the list";
    EXPECT_FALSE(field.open);
    EXPECT_EQ(reads, (std::vector<std::string>{"/l/export.html"}));
    EXPECT_EQ(view.rows.size(), 2u);
    EXPECT_TRUE(runs.empty());
}

// The list's box, empty, offers the browsers' stores of a fake home folder in its own list;
// a store chosen there is the box's path and fills the Folder row.
TEST_F(FormCommandsTest, Box0EmptyOffersTheUsersBrowserStoresAndAChosenOneIsItsPath) {
    test::TempFolder home;
#ifdef _WIN32
    const std::string chrome = "local/Google/Chrome/User Data/Default/Bookmarks";
    const std::string second = "local/Microsoft/Edge/User Data/Profile 1/Bookmarks";
    const std::vector<std::string> labels{"Chrome, Default - " + chrome,
                                          "Edge, Profile 1 - " + second};
#else
    const std::string chrome = "home/.config/google-chrome/Default/Bookmarks";
    const std::string second = "home/.config/chromium/Profile 1/Bookmarks";
    const std::vector<std::string> labels{"Chrome, Default - " + chrome,
                                          "Chromium, Profile 1 - " + second};
#endif
    home.write(chrome, R"({"roots": {}})");
    home.write(second, R"({"roots": {}})");
    const UserFoldersSource fakeHome = [&home] {
        return UserFolders{home.path("home"), "", home.path("local"), ""};
    };
    const auto relative = [&home](std::string text) {
        std::replace(text.begin(), text.end(), '\\', '/');
        return ReplaceText(text, home.folder(), "");
    };
    struct Case {
        RunInput input;
        const char* text;
        bool stores;
    };
    for (const Case& c : {Case{RunInput::List, "", true}, Case{RunInput::List, "/l/", false},
                          Case{RunInput::Menu, "", false}}) {
        test::FakeBox field;
        field.edit.text = c.text;
        PathBoxController box{field, c.input, KeepingLister(), fakeHome};
        box.ArrowPressed();
        std::vector<std::string> shown;
        for (const std::string& entry : field.entries) {
            shown.push_back(relative(entry));
        }
        const std::vector<std::string> offered{chrome, second};
        EXPECT_EQ(shown, c.stores ? offered : std::vector<std::string>{"marker"});
        if (!c.stores) {
            continue;
        }
        const CompletionEntries choices = StoreChoices(fakeHome());
        ASSERT_EQ(choices.size(), 2u);
        EXPECT_EQ(relative(choices.Label(0)), labels[0]);
        EXPECT_EQ(relative(choices.Label(1)), labels[1]);

        view.listBox = &field;
        commands.RowClicked(box, 1);
        EXPECT_EQ(relative(field.edit.text), second);
        EXPECT_FALSE(field.open);
        ASSERT_EQ(reads.size(), 1u);
        EXPECT_EQ(reads[0], field.edit.text);
    }
}

// The two tables describe the same controls.

TEST(PathBoxes, AgreeWithTheLayoutAndComeInTabOrder) {
    int lastTab = -1;
    for (const PathBoxRow& row : PathBoxes()) {
        EXPECT_EQ(PathBoxOf(row.input).box, row.box);
        const ControlRow* box = FindControl(row.box);
        const ControlRow* label = FindControl(row.label);
        ASSERT_TRUE(box && label && FindControl(row.button)) << row.box;
        EXPECT_STREQ(label->caption, row.caption);
        EXPECT_GT(box->tabIndex, lastTab);
        lastTab = box->tabIndex;
        EXPECT_EQ(FindPathBox(row.button, &PathBoxRow::button), &row);
        EXPECT_EQ(FindPathBox(row.label, &PathBoxRow::label), &row);
        EXPECT_EQ(&FormControls()[ControlIndex(row.box)], box);
    }
    EXPECT_EQ(FindPathBox("btnStart"), nullptr);
    EXPECT_EQ(ControlIndex("txtFile2"), FormControls().size());
    // The Win32 window makes Tab follow the order in which it creates the controls.
    const std::vector<const ControlRow*> stops = TabStops();
    ASSERT_EQ(stops.size(), 4u);
    EXPECT_TRUE(std::is_sorted(stops.begin(), stops.end()));
    EXPECT_STREQ(stops[2]->name, "cboFolder");
    EXPECT_STREQ(stops.back()->name, "btnStart");
    EXPECT_EQ(TwipsToPixels(kClientTwips), (Rect{0, 0, 537, 370}));
    EXPECT_EQ(PointsToPixels(kWindowFont.points), 11);
}

}  // namespace
}  // namespace tamsel
