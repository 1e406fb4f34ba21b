// The conversion run's shortcuts against its plain path: the icon folder listed once
// instead of probed per link, the item entries kept in pieces and written out without
// joining them into the menu text.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/conversion_run.h"
#include "convert/insert_before_tag.h"
#include "convert/replace_menu_file.h"
#include "run_setup.h"
#include "test_support/plain_file_system.h"

namespace tamsel {
namespace {

using test::RunSetup;

TEST(InsertionPoint, IsWhereInsertBeforeTagInserts) {
    const std::vector<std::string> texts = {
        "a\r\n<Items>\r\n</Items>\r\n\t</items>\r\n</XMBML>",
        "</Items>\r\n</Items>",
        "\r\n</Items>\n</Items>\r</XMBML>",
        "x\n\n</xmbml></XMBML>",
        "no tag here\r\n",
        "",
    };
    for (const std::string& text : texts) {
        for (const std::string tag : {"</Items>", "</XMBML>", ""}) {
            for (int occurrence : {0, 1, 2, 3}) {
                std::string inserted = text;
                const bool placed = InsertBeforeTag(tag, inserted, "[block]", occurrence);
                const std::optional<std::size_t> at = InsertionPoint(tag, text, occurrence);
                ASSERT_EQ(at.has_value(), placed) << text << " / " << tag << " #" << occurrence;
                if (at) {
                    EXPECT_EQ(inserted, text.substr(0, *at) + "[block]" + text.substr(*at));
                }
            }
        }
    }
}

TEST(ReplaceMenuFile, WritesPiecesAsTheJoinedText) {
    test::TempFolder temp;
    temp.write("Links.xml", "old");
    const std::vector<std::string_view> pieces = {"<XMBML>\r\n", "", "a", "\r\n</XMBML>"};
    MenuSite site = LocateMenu(temp.path("Links.xml"), RealFileSystem());
    ASSERT_TRUE(site.held && site.held->ReadSource(site.name));
    ASSERT_EQ(ReplaceMenuFile(site, pieces), ReplaceResult::Replaced);
    EXPECT_EQ(temp.read("Links.xml"), "<XMBML>\r\na\r\n</XMBML>");
    EXPECT_EQ(temp.read("Links.xml.bak"), "old");
}

// A hand-written list long enough for its item entries to fill several pieces, with
// titles whose icons are real, empty, a folder, a link or another name's letter case.
std::string LongList() {
    std::string list;
    for (int i = 0; i < 6000; ++i) {
        list += "Site " + std::to_string(i) + (i % 3 ? "" : ";about it") + "\r\n";
        list += "https://example.org/" + std::to_string(i) + "\r\n\r\n";
    }
    return list;
}

void AddIconTraps(const RunSetup& run) {
    const std::filesystem::path images = run.temp().root() / RunSetup::kImages;
    run.temp().write(std::string(RunSetup::kImages) + "Site1.png", "png");
    run.temp().write(std::string(RunSetup::kImages) + "Site2.png", "");
    run.temp().write(std::string(RunSetup::kImages) + "Site3.png/inner.png", "png");
    run.temp().write(std::string(RunSetup::kImages) + "site4.png", "png");
#ifndef _WIN32
    std::filesystem::create_symlink("Site1.png", images / "Site5.png");
    std::filesystem::create_symlink("missing.png", images / "Site6.png");
#else
    (void)images;
#endif
}

// Templates of the usual size, so that the long list's entries fill several pieces.
constexpr std::string_view kQuery = "\t\t\t<Query key=\"#LINKID#\" src=\"##LINKID#_view\"/>\r\n";
constexpr std::string_view kView =
    "\t<View id=\"#LINKID#_view\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"#LINKID#\">\r\n"
    "\t\t\t\t<Pair key=\"icon\"><String>/IMAGES/#LINKIMG#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"title\"><String>#LINKTITLE#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"info\"><String>#LINKINFO#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"url\"><String>#LINKURL#</String></Pair>\r\n"
    "\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t</View>\r\n";

TEST(RunConversion, ShortcutsWriteWhatThePlainPathWrites) {
    const std::vector<std::string> lists = {
        LongList(),
        test::ReadFixture("bookmarks/firefox.html"),
        test::ReadFixture("lists/handwritten-crlf.txt"),
    };
    for (const std::string& list : lists) {
        RunSetup fast;
        RunSetup plain;
        test::PlainFileSystem plainFiles;
        for (const RunSetup* run : {&fast, &plain}) {
            run->writeList(list);
            run->writeTemplates(kQuery, kView, kView);
            AddIconTraps(*run);
        }
        const RunOutcome fastOutcome = RunConversion(fast.paths(), RealFileSystem());
        const RunOutcome plainOutcome = RunConversion(plain.paths(), plainFiles);
        EXPECT_EQ(fastOutcome.status, plainOutcome.status);
        EXPECT_EQ(fastOutcome.message, plainOutcome.message);
        EXPECT_EQ(fast.menu(), plain.menu()) << list.substr(0, 80);
        EXPECT_EQ(fast.backup(), plain.backup());
    }
}

}  // namespace
}  // namespace tamsel
