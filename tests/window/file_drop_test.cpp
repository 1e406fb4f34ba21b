// Which box a drop of files goes to, or why it is refused.

#include "window/file_drop.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tamsel {
namespace {

struct DropCase {
    const char* what;
    std::vector<DroppedItem> items;
    std::optional<RunInput> under;
    std::optional<RunInput> box;  // none: refused
    DropRefusal refusal;
};

constexpr auto kList = RunInput::List;
constexpr auto kMenu = RunInput::Menu;
constexpr std::optional<RunInput> kNowhere;

TEST(DecideDrop, TakesOneFileAndRefusesEverythingElse) {
    const std::vector<DropCase> cases{
        {"a list onto the list's box", {{"/d/url.txt"}}, kList, kList, DropRefusal::None},
        {"a list onto the menu's box", {{"/d/url.txt"}}, kMenu, kMenu, DropRefusal::None},
        {"a menu onto the list's box", {{"/d/Links.xml"}}, kList, kList, DropRefusal::None},
        {"a menu elsewhere", {{"/d/Links.xml"}}, kNowhere, kMenu, DropRefusal::None},
        {"a menu in another case", {{"/d/LINKS.XML"}}, kNowhere, kMenu, DropRefusal::None},
        {"a menu without folder", {{"links.Xml"}}, kNowhere, kMenu, DropRefusal::None},
        {"a list elsewhere", {{"/d/url.txt"}}, kNowhere, kList, DropRefusal::None},
        {"another XML elsewhere", {{"/d/MyLinks.xml"}}, kNowhere, kList, DropRefusal::None},
        {"a longer name elsewhere", {{"/d/Links.xml.bak"}}, kNowhere, kList, DropRefusal::None},
        {"a file in a folder named like it",
         {{"/d/Links.xml/x"}},
         kNowhere,
         kList,
         DropRefusal::None},
        {"a folder", {{"/d/FEATURES", true}}, kNowhere, {}, DropRefusal::Folder},
        {"a folder onto a box", {{"/d/Links.xml", true}}, kMenu, {}, DropRefusal::Folder},
        {"two files", {{"/d/a.txt"}, {"/d/Links.xml"}}, kList, {}, DropRefusal::SeveralFiles},
        {"a file and a web address", {{"/d/a.txt"}, {""}}, kNowhere, {}, DropRefusal::SeveralFiles},
        {"a web address", {{""}}, kList, {}, DropRefusal::NotAFile},
        {"nothing (dragged text)", {}, kNowhere, {}, DropRefusal::NotAFile},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.what);
        const DropDecision drop = DecideDrop(c.items, c.under);
        EXPECT_EQ(drop.box, c.box);
        EXPECT_EQ(drop.refusal, c.refusal);
        EXPECT_EQ(drop.path, c.box ? c.items.front().path : "");
    }
}

TEST(DecideDrop, OnWindowsEitherSeparatorEndsTheFolder) {
#ifdef _WIN32
    EXPECT_TRUE(NamesMenuFile(R"(C:\d\links.xml)"));
    EXPECT_TRUE(NamesMenuFile("C:/d/Links.XML"));
#else
    // "\" is an ordinary letter of a POSIX name.
    EXPECT_FALSE(NamesMenuFile(R"(d\Links.xml)"));
#endif
}

}  // namespace
}  // namespace tamsel
