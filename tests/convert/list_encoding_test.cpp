#include "convert/list_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/conversion_run.h"
#include "run_setup.h"

namespace tamsel {
namespace {

using namespace std::string_literals;
using test::RunSetup;

const std::string R = "\xEF\xBF\xBD";  // U+FFFD

TEST(MenuIsUtf8, UnlessItsDeclarationNamesAnotherEncoding) {
    const struct {
        std::string start;
        bool utf8;
    } cases[] = {
        {"<XMBML>", true},
        {"<?xml version=\"1.0\"?>", true},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", true},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding = 'utf8' ?>", true},
        {"<?xml version=\"1.0\" standalone=\"yes\"?><a encoding=\"latin1\"/>", true},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", false},
        {"\xEF\xBB\xBF<?xml\tversion=\"1.0\"\r\nencoding=\"windows-1252\"?>", false},
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MenuIsUtf8(c.start + "\r\n<XMBML/>"), c.utf8) << c.start;
    }
}

TEST(DeclaresUtf8Charset, WhenTheFirstCharsetInTheWindowNamesIt) {
    const std::string filler(2035, ' ');
    const struct {
        std::string head;
        bool utf8;
    } cases[] = {
        {"<META CONTENT=\"text/html; charset=UTF-8\">", true},
        {"<meta charset='utf8'>", true},
        {"<meta CharSet= \t\"Utf-8\">", true},
        {"charset=utf-8;", true},
        {"<meta charset=\"utf-16\">", false},
        {"<meta charset=\"iso-8859-1\"> charset=utf-8", false},
        {"<meta charset=\"\"utf-8\">", false},
        {"<meta charset=utf-8x>", false},
        {"<meta charset = utf-8>", false},
        {filler + "charset=utf-8", true},         // ends at the window's last byte
        {filler + " charset=utf-8", false},       // the label goes beyond it
        {filler + "      charset=utf-8", false},  // so does "charset=" itself
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeclaresUtf8Charset(c.head), c.utf8)
            << c.head.substr(c.head.size() > 60 ? 2030 : 0);
    }
}

// The titles of the links a preview of `list` finds, in a menu whose XML declaration is
// `declaration`.
std::vector<std::string> PreviewTitles(const std::string& list, const std::string& declaration) {
    RunSetup setup;
    setup.writeList(list);
    setup.writeMenu(declaration + "\r\n<XMBML>\r\n</Items>\r\n</Items>\r\n</XMBML>\r\n");
    std::vector<std::string> titles;
    const RunOutcome outcome = PreviewConversion(
        setup.paths(), [&](const LinkDecision& link) { titles.emplace_back(link.title); });
    EXPECT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    return titles;
}

const std::string kUtf8Menu = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string kLatinMenu = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";

TEST(ListEncoding, ListsBecomeUtf8ForAUtf8MenuAndStayBytesForAnother) {
    const struct {
        const char* name;
        std::string menu;
        std::string list;
        std::string title;
    } cases[] = {
        {"utf-8 left alone", kUtf8Menu, "Caf\xC3\xA9 \xE2\x82\xAC\r\nhttp://a/",
         "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"no charset: windows-1252", kUtf8Menu, "Caf\xE9 \x80\x9D\r\nhttp://a/",
         "Caf\xC3\xA9 \xE2\x82\xAC\xC2\x9D"},
        {"another charset: windows-1252", kUtf8Menu,
         "<meta charset=\"iso-8859-1\">\nCaf\xE9\nhttp://a/", "Caf\xC3\xA9"},
        {"charset in single quotes", kUtf8Menu, "<meta charset='utf-8'>\nCaf\xE9\nhttp://a/",
         "Caf" + R},
        {"charset behind a mark, in an export", kUtf8Menu,
         "\xEF\xBB\xBF<META CONTENT=\"text/html; charset=UTF-8\">\n"
         "<DT><A HREF=\"http://a/\">\xE2\x82x\xF0\x80\x80</A>",
         R + "x" + R + R + R},
        {"controls in valid utf-8", kUtf8Menu, "T\0i\x1B\xEF\xBF\xBE\tt\r\nhttp://a/"s,
         "T" + R + "i" + R + R + " t"},
        {"controls in windows-1252", kUtf8Menu, "\xE9\x01\r\nhttp://a/", "\xC3\xA9" + R},
        {"latin-1 menu: bytes as they are", kLatinMenu, "Caf\xE9\x01\0\r\nhttp://a/"s,
         "Caf\xE9\x01\0"s},
        {"no declaration counts as utf-8", "", "Caf\xE9\r\nhttp://a/", "Caf\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PreviewTitles(c.list, c.menu), std::vector<std::string>{c.title}) << c.name;
    }
}

// A byte that is not UTF-8 far into a long list is found after many links were read: the
// list is read again, and every link comes once, as the second reading gives it.
TEST(ListEncoding, ALongListFoundNotUtf8LateIsReadAgainFromTheStart) {
    std::string list = "<meta charset=\"windows-1252\">\r\nFirst\r\nhttp://a/\r\n";
    for (int i = 0; i < 60000; ++i) {
        list += "T" + std::to_string(i) + "\r\nhttp://t/" + std::to_string(i) + "\r\n";
    }
    list += "Caf\xE9\r\nhttp://c/\r\n";
    const std::vector<std::string> titles = PreviewTitles(list, kUtf8Menu);
    ASSERT_EQ(titles.size(), 60002u);
    EXPECT_EQ(titles.front(), "First");
    EXPECT_EQ(titles.back(), "Caf\xC3\xA9");

    RunSetup setup;
    setup.writeList(list);
    ASSERT_EQ(RunConversion(setup.paths()).status, RunStatus::Done);
    const std::string menu = setup.menu();
    EXPECT_EQ(menu.find("N[First|"), menu.rfind("N[First|"));
    EXPECT_NE(menu.find("N[Caf\xC3\xA9|Caf\xC3\xA9|||http://c/]"), std::string::npos);
}

}  // namespace
}  // namespace tamsel
