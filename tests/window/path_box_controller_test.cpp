// A path box's behaviour through the window's key entry (FormCommands::KeyDown and KeyUp)
// and the controller, over an in-memory box and folders: what a user's keys, focus and
// clicks make of the box's text, selection and list, and which commands they run.

#include "window/path_box_controller.h"

#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_path_box.h"
#include "support/path.h"
#include "window/form_commands.h"
#include "window/virtual_keys.h"

namespace tamsel {
namespace {

using Names = std::vector<std::string>;
using test::FakeBox;

class Recorder : public FormView, public DesktopServices {
  public:
    std::vector<std::string> log;

    std::string BoxText(RunInput) const override { return {}; }
    void SetBoxText(RunInput, const std::string&) override {}
    void FocusBox(RunInput box) override {
        log.push_back(std::string("focus ") + PathBoxOf(box).box);
    }
    void CloseWindow() override { log.push_back("close"); }
    // No Folder row.
    void SetFolderRows(const std::vector<std::string>&, int) override {}
    int ChosenFolderRow() const override { return 0; }
    void EnableFolderRow(bool) override {}
    void ShowMessage(const std::string& text, MessageIcon) override {
        log.push_back("message " + text);
    }
    std::string ShowOpenDialog(const OpenDialogRequest& request) override {
        log.push_back("dialog " + request.title);
        return {};
    }
    void OpenFolder(const std::string& folder) override { log.push_back("folder " + folder); }
    void OpenAddress(const std::string&) override {}
};

FolderLister Folders() {
    static const std::map<std::string, Names> folders{
        {"/", {".", "..", "Data", "Dots"}},
        {"/Data/", {"Links.xml", "List.txt"}},
    };
    return [](std::string_view pattern, unsigned, Names& names) {
        const std::string folder = ListingFolderPart(pattern);
        names.clear();
        if (const auto found = folders.find(folder); found != folders.end()) {
            for (const std::string& name : found->second) {
                if (MatchesListingPattern(name, pattern.substr(folder.size()))) {
                    names.push_back(name);
                }
            }
        }
    };
}

class PathBoxControllerTest : public ::testing::Test {
  protected:
    FakeBox box;
    Recorder window;
    FormCommands commands{window, window, RealFileSystem(), [this](const RunPaths&) {
                              window.log.push_back("run");
                              return RunOutcome{RunStatus::InputError, "Missing", {}, {}, {}};
                          }};
    PathBoxController controller{box, RunInput::List, Folders()};
    std::uint64_t clock = 1000;

    // One key as a user presses and lets go of it; a character it types goes into the
    // box unless the window or the box took the key. Returns whether the press was taken.
    bool Press(int code, char typed = 0, int shift = 0) {
        clock += 200;
        const bool taken = commands.KeyDown({code, shift, clock, false, code}, &controller);
        if (!taken && typed != 0) {
            box.Insert(typed);
        }
        commands.KeyUp({code, shift, clock + 50, false, code}, &controller);
        return taken;
    }
    void Type(std::string_view keys) {
        for (const char c : keys) {
            const int code = c == '/'   ? vk::kBackslash
                             : c == '.' ? vk::kPeriod
                                        : std::toupper(static_cast<unsigned char>(c));
            Press(code, c);
        }
    }
};

TEST_F(PathBoxControllerTest, TypedKeysCompleteRefillAndOpenTheList) {
    // Texts, caret and selection as plain values: a table of strings in EditStates trips
    // a false "maybe uninitialized" in GCC 12 at -O3.
    struct Row {
        const char* start;
        int startCaret;
        int startSelected;
        const char* keys;
        const char* text;
        int selStart;
        int selLength;
        Names entries;  // {"marker"}: no completion was attempted
        bool open;
    };
    const Names data{"/Data/Links.xml", "/Data/List.txt"};
    const std::vector<Row> rows{
        {"/Data/", 6, 0, "L", "/Data/Links.xml", 7, 8, data, true},
        {"/Data/", 6, 0, "Lis", "/Data/List.txt", 9, 5, {"/Data/List.txt"}, true},
        {"/Data/", 6, 0, "list.txt", "/Data/List.txt", 14, 0, {"/Data/List.txt"}, true},
        {"/Data/", 6, 0, "q", "/Data/q", 7, 0, {}, false},
        // The separator accepts the completion, then lists that folder without completing.
        {"/", 1, 0, "Da/", "/Data/", 6, 0, data, true},
        // Two characters are too few to list anything.
        {"/", 1, 0, "D", "/D", 2, 0, {"marker"}, false},
        {"/D", 2, 0, "o", "/Dots", 3, 2, {"/Dots"}, true},
        // Over the whole text, as entering selects it, the separator replaces it.
        {"/Data/x", 0, 7, "/", "/", 1, 0, {"marker"}, false},
        // A caret inside the text: no completion.
        {"/Data/Li", 3, 0, "x", "/Daxta/Li", 4, 0, {"marker"}, false},
    };
    for (const Row& row : rows) {
        box = FakeBox{};
        box.edit = {row.start, row.startCaret, row.startSelected};
        Type(row.keys);
        const std::string what = std::string(row.start) + " + " + row.keys;
        EXPECT_EQ(box.edit, (EditState{row.text, row.selStart, row.selLength})) << what;
        EXPECT_EQ(box.entries, row.entries) << what;
        EXPECT_EQ(box.open, row.open) << what;
    }
    EXPECT_TRUE(window.log.empty());
}

TEST_F(PathBoxControllerTest, AnOpenListTakesItsKeysBeforeTheWindow) {
    struct Row {
        const char* what;
        std::vector<int> keys;  // after "/Data/L" opened the list
        std::string text;
        bool open;
        std::vector<std::string> log;
    };
    const std::string links = "/Data/Links.xml";
    const std::string list = "/Data/List.txt";
    const Row rows[] = {
        {"Esc closes", {vk::kEscape}, links, false, {}},
        {"Enter closes and runs nothing", {vk::kEnter}, links, false, {}},
        {"the next Enter runs", {vk::kEnter, vk::kEnter}, links, false, {"run", "message Missing"}},
        {"Down walks", {vk::kDown, vk::kDown}, list, true, {}},
        {"Down then Up", {vk::kDown, vk::kDown, vk::kUp}, links, true, {}},
        {"walking stays in the list", {vk::kPageDown, vk::kPageDown, vk::kDown}, list, true, {}},
        {"Tab closes and moves on", {vk::kTab}, links, false, {}},
        {"Esc with Esc again", {vk::kEscape, vk::kEscape}, links, false, {}},
        {"F2 browses", {vk::kF2}, links, true, {"dialog Open File with URLs"}},
    };
    for (const Row& row : rows) {
        box = FakeBox{};
        box.edit = CaretAtEnd("/Data/");
        window.log.clear();
        Type("L");
        for (const int key : row.keys) {
            Press(key);
        }
        EXPECT_EQ(box.edit.text, row.text) << row.what;
        EXPECT_EQ(box.open, row.open) << row.what;
        EXPECT_EQ(window.log, row.log) << row.what;
    }
    box.open = false;
    EXPECT_FALSE(controller.ClaimsKey(vk::kEscape, 0)) << "a closed list claims nothing";
    box.open = true;
    EXPECT_TRUE(controller.ClaimsKey(vk::kEscape, 0));
    EXPECT_TRUE(controller.ClaimsKey(vk::kDown, 0));
    EXPECT_FALSE(controller.ClaimsKey(vk::kDown, vk::kShiftHeld));
    EXPECT_FALSE(controller.ClaimsKey('A', 0));
}

TEST_F(PathBoxControllerTest, OnlyCountedReleasesComplete) {
    const auto attempted = [this](auto&& keys) {
        box = FakeBox{};
        box.edit = CaretAtEnd("/Data/L");
        keys();
        return box.entries != Names{"marker"};
    };
    const KeyEvent l{'L', 0, 500, false, 'L'};
    EXPECT_TRUE(attempted([&] {
        commands.KeyDown(l, &controller);
        commands.KeyUp(l, &controller);
    }));
    EXPECT_FALSE(attempted([&] { commands.KeyUp(l, &controller); })) << "a stray release";
    EXPECT_FALSE(attempted([&] {
        commands.KeyDown(l, &controller);
        commands.KeyUp({'L', 0, 600, true, 'L'}, &controller);
    })) << "a repeat's release";
    EXPECT_FALSE(attempted([&] {
        commands.KeyDown(l, &controller);
        commands.btnStart_Click();
        commands.KeyUp(l, &controller);
    })) << "pressed before a message box";
    EXPECT_FALSE(attempted([&] {
        commands.KeyDown(l, &controller);
        commands.KeyUp(l, nullptr);
    })) << "released in another control";
}

TEST_F(PathBoxControllerTest, EnteringSelectsTheWholeTextExceptOnReturning) {
    struct Step {
        enum { In, Out, ClickEnd, Arrow } kind;
        FocusReason reason;
        bool selectsWhole;
    };
    struct Row {
        const char* what;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"Tab", {{Step::In, FocusReason::Keyboard, true}}},
        {"the program", {{Step::In, FocusReason::Other, true}}},
        {"first activation", {{Step::In, FocusReason::Window, true}}},
        {"back from the box's popup", {{Step::In, FocusReason::Popup, false}}},
        {"back to the window",
         {{Step::Out, FocusReason::Window, false}, {Step::In, FocusReason::Window, false}}},
        {"left by Tab, back by activation",
         {{Step::Out, FocusReason::Keyboard, false}, {Step::In, FocusReason::Window, true}}},
        {"a click selects again when it ends",
         {{Step::In, FocusReason::Mouse, true}, {Step::ClickEnd, {}, true}}},
        {"only the click that brought the focus",
         {{Step::In, FocusReason::Mouse, true},
          {Step::ClickEnd, {}, true},
          {Step::ClickEnd, {}, false}}},
        {"not a click on the arrow",
         {{Step::In, FocusReason::Mouse, true},
          {Step::Arrow, {}, false},
          {Step::ClickEnd, {}, false}}},
    };
    for (const Row& row : rows) {
        PathBoxController fresh{box, RunInput::List, Folders()};
        for (const Step& step : row.steps) {
            box.edit = {"/some/path", 3, 0};
            switch (step.kind) {
                case Step::In:
                    fresh.FocusIn(step.reason);
                    break;
                case Step::Out:
                    fresh.FocusOut(step.reason);
                    break;
                case Step::ClickEnd:
                    fresh.ClickEnded();
                    break;
                case Step::Arrow:
                    fresh.ArrowPressed();
                    break;
            }
            const EditState expected =
                step.selectsWhole ? WholeTextSelected("/some/path") : EditState{"/some/path", 3, 0};
            EXPECT_EQ(box.edit, expected) << row.what;
        }
    }
}

TEST_F(PathBoxControllerTest, TheListClosesWithTheFocusAndOpensOnlyWithEntries) {
    box.entries.clear();
    controller.ArrowPressed();
    EXPECT_FALSE(box.open) << "nothing listed yet";
    box.edit = CaretAtEnd("/Data/");
    Type("L");
    ASSERT_TRUE(box.open);
    controller.FocusOut(FocusReason::Popup);
    EXPECT_TRUE(box.open) << "the box's own context menu";
    controller.FocusOut(FocusReason::Mouse);
    EXPECT_FALSE(box.open);
    controller.ArrowPressed();
    EXPECT_TRUE(box.open);
    controller.RowClicked(1);
    EXPECT_FALSE(box.open);
    EXPECT_EQ(box.edit, CaretAtEnd("/Data/List.txt"));
    controller.RowClicked(7);
    EXPECT_EQ(box.edit, CaretAtEnd("/Data/List.txt")) << "no such row";
    EXPECT_EQ(WithoutLineBreaks({"\r\n/a\n/b\r", 3, 4}), (EditState{"/a/b", 1, 3}));
}

}  // namespace
}  // namespace tamsel
