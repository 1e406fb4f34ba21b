// The program folder's default files: the templates and the samples give well-formed menus.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/conversion_run.h"
#include "test_support/temp_folder.h"

namespace tamsel {
namespace {

using test::ReadFileBytes;
using test::TempFolder;

const std::filesystem::path kDefaults = TAMSEL_DEFAULTS_DIR;

// The name of the element a tag opens or closes, from behind "<" or "</".
std::string TagName(std::string_view tag) {
    const std::size_t end = tag.find_first_of(" \t\r\n/>");
    return std::string(tag.substr(0, end));
}

// Empty when `xml` is well-formed as far as a menu file needs: one root element, every
// element closed in order, attribute values quoted, "&" only in references. Otherwise
// what is wrong.
std::string WellFormednessError(std::string_view xml) {
    std::vector<std::string> open;
    int roots = 0;
    for (std::size_t at = 0; at < xml.size(); ++at) {
        if (xml[at] == '&') {
            const std::size_t semicolon = xml.find(';', at);
            const std::string_view name = xml.substr(at + 1, semicolon - at - 1);
            if (semicolon == std::string_view::npos || name.empty() ||
                name.find_first_of(" <&\"") != std::string_view::npos) {
                return "bare & at " + std::to_string(at);
            }
            continue;
        }
        if (xml[at] != '<') {
            continue;
        }
        const std::size_t close = xml.find('>', at);
        if (close == std::string_view::npos) {
            return "unclosed tag at " + std::to_string(at);
        }
        const std::string_view tag = xml.substr(at + 1, close - at - 1);
        at = close;
        if (tag.starts_with('?')) {
            continue;
        }
        if (std::count(tag.begin(), tag.end(), '"') % 2 != 0 || tag.find('<') != tag.npos) {
            return "bad attributes in <" + std::string(tag) + ">";
        }
        if (tag.starts_with('/')) {
            if (open.empty() || open.back() != TagName(tag.substr(1))) {
                return "unexpected <" + std::string(tag) + ">";
            }
            open.pop_back();
            continue;
        }
        roots += open.empty() ? 1 : 0;
        if (!tag.ends_with('/')) {
            open.push_back(TagName(tag));
        }
    }
    if (!open.empty()) {
        return "<" + open.back() + "> never closed";
    }
    return roots == 1 ? "" : std::to_string(roots) + " root elements";
}

TEST(WellFormednessError, CatchesWhatBreaksAMenu) {
    EXPECT_EQ(WellFormednessError("<?xml version=\"1.0\"?>\r\n<a x=\"1\"><b/>&amp;<c></c></a>"),
              "");
    for (std::string_view broken :
         {"<a><b></a></b>", "<a>", "<a></a><b></b>", "<a>&</a>", "<a x=\"1></a>", "<a><b</a>"}) {
        EXPECT_NE(WellFormednessError(broken), "") << broken;
    }
}

class DefaultFiles : public testing::Test {
  protected:
    // A program folder made of the default files, the way the build lays it out.
    void SetUp() override {
        std::filesystem::copy(kDefaults, temp.root(), std::filesystem::copy_options::recursive);
    }

    RunOutcome Run(const std::string& list, const std::string& menu) {
        return RunConversion({temp.path(list), temp.path(menu), temp.folder()});
    }

    TempFolder temp;
};

TEST_F(DefaultFiles, SampleListAndSampleMenuGiveAWellFormedMenu) {
    const std::string before = temp.read("FEATURES/Links.xml");
    ASSERT_EQ(WellFormednessError(before), "");
    ASSERT_EQ(Run("url.txt", "FEATURES/Links.xml").message, "Done");
    const std::string after = temp.read("FEATURES/Links.xml");
    EXPECT_EQ(WellFormednessError(after), "");
    EXPECT_GT(after.size(), before.size());
    EXPECT_NE(after.find("<Pair key=\"url\"><String>https://www.wikipedia.org/</String>"),
              std::string::npos);
}

TEST_F(DefaultFiles, FixtureMenuWithAListAndAnOwnIconStaysWellFormed) {
    temp.copyFixture("menu/Links.xml", "menu/FEATURES/Links.xml");
    temp.write("menu/IMAGES/network.png", ReadFileBytes(kDefaults / "IMAGES/network.png"));
    temp.write("menu/IMAGES/Wikipedia.png", ReadFileBytes(kDefaults / "IMAGES/network.png"));
    ASSERT_EQ(Run("url.txt", "menu/FEATURES/Links.xml").message, "Done");
    const std::string menu = temp.read("menu/FEATURES/Links.xml");
    EXPECT_EQ(WellFormednessError(menu), "");
    EXPECT_NE(menu.find("/IMAGES/Wikipedia.png"), std::string::npos);
}

TEST_F(DefaultFiles, TextFilesUseCrLfAndTheTemplatesTheirPlaceholders) {
    for (const char* name : {"item_template_query.txt", "item_template_image.txt",
                             "item_template_noimage.txt", "url.txt", "FEATURES/Links.xml"}) {
        const std::string text = temp.read(name);
        ASSERT_TRUE(text.ends_with("\r\n")) << name;
        for (std::size_t at = text.find('\n'); at != std::string::npos;
             at = text.find('\n', at + 1)) {
            EXPECT_EQ(text[at - 1], '\r') << name << " at " << at;
        }
    }
    EXPECT_NE(temp.read("item_template_query.txt").find("#LINKID#"), std::string::npos);
    for (const char* name : {"item_template_image.txt", "item_template_noimage.txt"}) {
        for (const char* placeholder :
             {"#LINKID#", "#LINKTITLE#", "#LINKINFO#", "#LINKIMG#", "#LINKURL#"}) {
            EXPECT_NE(temp.read(name).find(placeholder), std::string::npos) << name;
        }
    }
    EXPECT_TRUE(temp.read("IMAGES/network.png").starts_with("\x89PNG\r\n\x1a\n"));
}

}  // namespace
}  // namespace tamsel
