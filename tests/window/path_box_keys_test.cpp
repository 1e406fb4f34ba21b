#include "window/path_box_controller.h"

#include <utility>

#include <gtest/gtest.h>

namespace tamsel {
namespace {

TEST(PathBoxKeys, FocusSelectsTheWholeTextInCodeUnitsAndPastingKeepsOneLine) {
    EXPECT_EQ(WholeTextSelected("/a/\xC3\xA9\xF0\x9D\x84\x9E"),
              (EditState{"/a/\xC3\xA9\xF0\x9D\x84\x9E", 0, 6}));
    EXPECT_EQ(WholeTextSelected({}), (EditState{}));
    // Breaks before, inside and behind the selection; NEL and U+2028 count one unit each.
    const std::pair<EditState, EditState> pastes[] = {
        {{"/tmp/x/url.txt\r\n", 16, 0}, {"/tmp/x/url.txt", 14, 0}},
        {{"\r\n/a\n/b\r", 3, 4}, {"/a/b", 1, 3}},
        {{"/\xC3\xA9\xC2\x85x\xE2\x80\xA8y", 2, 3}, {"/\xC3\xA9xy", 2, 1}},
    };
    for (const auto& [pasted, line] : pastes) {
        EXPECT_EQ(WithoutLineBreaks(pasted), line) << pasted.text;
    }
}

TEST(PathBoxKeys, KeyDownBrowsesOnF2AndAcceptsOnlyACompletionsTail) {
    struct Case {
        const char* what;
        int keyCode;
        EditState box;
        BoxAction action;
    };
    const std::string text = "/Data/Links.xml";
    const Case cases[] = {
        {"F2", 113, {text, 3, 0}, BoxAction::Browse},
        {"F2 over a selection", 113, {text, 0, 15}, BoxAction::Browse},
        {"separator over the completion's tail", 220, {text, 8, 7}, BoxAction::CaretToEnd},
        {"separator over the whole text", 220, {text, 0, 15}, BoxAction::Nothing},
        {"separator over a head", 220, {text, 0, 3}, BoxAction::Nothing},
        {"separator over the middle", 220, {text, 3, 2}, BoxAction::Nothing},
        {"separator without selection", 220, CaretAtEnd(text), BoxAction::Nothing},
        {"letter over the tail", 76, {text, 8, 7}, BoxAction::Nothing},
        {"Enter", 13, {text, 8, 7}, BoxAction::Nothing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(txtFile_KeyDown(c.keyCode, 0, c.box), c.action) << c.what;
    }
}

TEST(PathBoxKeys, KeyUpCompletesOnlyOnTheKeysThatStartOneAndNeverOpensAFolder) {
    struct Case {
        int keyCode;
        int shift;
        bool completes;
    };
    const Case cases[] = {
        {13, 0, false}, {113, 0, false}, {27, 0, false},  {65, 0, true},
        {90, 2, true},  {48, 0, true},   {57, 1, false},  {105, 0, false},
        {190, 0, true}, {220, 0, true},  {191, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartsCompletion(c.keyCode, c.shift), c.completes) << c.keyCode << "/" << c.shift;
    }
}

TEST(PathBoxKeys, OpenListAndWindowTakeEnterAndEscSafely) {
    EXPECT_EQ(CompletionListKey(27, 0), ListKeyAction::Close);
    EXPECT_EQ(CompletionListKey(13, 0), ListKeyAction::Close);
    EXPECT_EQ(CompletionListKey(9, 0), ListKeyAction::CloseAndForward);
    EXPECT_EQ(CompletionListKey(9, 1), ListKeyAction::CloseAndForward);
    for (int walking : {33, 34, 38, 40}) {
        EXPECT_EQ(CompletionListKey(walking, 0), ListKeyAction::Walk) << walking;
        EXPECT_EQ(CompletionListKey(walking, 1), ListKeyAction::Forward) << walking;
    }
    EXPECT_EQ(CompletionListKey(65, 0), ListKeyAction::Forward);

    EXPECT_EQ(WindowKeyDown(13, 0, false), WindowKeyAction::PressStart);
    EXPECT_EQ(WindowKeyDown(13, 0, true), WindowKeyAction::Ignore);
    EXPECT_EQ(WindowKeyDown(13, 1, false), WindowKeyAction::Pass);
    EXPECT_EQ(WindowKeyDown(27, 2, false), WindowKeyAction::Ignore);
    EXPECT_EQ(WindowKeyDown(27, 4, false), WindowKeyAction::Pass);
    EXPECT_EQ(WindowKeyDown(65, 0, false), WindowKeyAction::Pass);
}

}  // namespace
}  // namespace tamsel
