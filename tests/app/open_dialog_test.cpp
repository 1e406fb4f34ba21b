// The open-file dialog's helpers: filter conversion, buffer trimming, program folder.

#include <QDir>

#include <gtest/gtest.h>

#include "app/open_dialog.h"
#include "app/program_folder.h"
#include "qt_printers.h"

namespace {

TEST(NameFiltersFromBars, TurnsPairsIntoToolkitFilters) {
    const struct {
        const char* bars;
        QStringList filters;
    } cases[] = {
        {"Text File (*.txt)|*.txt|Firefox Bookmarks (*.html)|*.html",
         {"Text File (*.txt)", "Firefox Bookmarks (*.html)"}},
        {"XML File (Links.xml)|Links.xml", {"XML File (Links.xml)"}},
        {"XML File (Links.xml)|Links.xml|", {"XML File (Links.xml)"}},
        {"Lists|*.txt;*.lst", {"Lists (*.txt *.lst)"}},
        {"All|*|Lonely", {"All (*)"}},
        {"No pattern||Text|*.txt", {"Text (*.txt)"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bars);
        EXPECT_EQ(NameFiltersFromBars(QString::fromUtf8(c.bars)), c.filters);
    }
}

TEST(TrimAtNull, CutsAtTheFirstNulAndTrimsBlanksOnly) {
    const QString nul(QChar(u'\0'));
    const struct {
        QString buffer;
        QString expected;
    } cases[] = {
        {"D:\\Lists\\url.txt" + nul + QString(237, u' '), "D:\\Lists\\url.txt"},
        {"  /a b/c.txt  ", "/a b/c.txt"},
        {"\t/a\t", "\t/a\t"},
        {"/a" + nul + "/b" + nul, "/a"},
        {nul + "/a", ""},
        {QString(254, u' '), ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimAtNull(c.buffer), c.expected) << c.buffer.size();
    }
}

TEST(AppFolderOf, EndsInExactlyOneSeparator) {
    EXPECT_EQ(AppFolderOf("/"), "/");
    const std::string temp = QDir(QDir::tempPath()).canonicalPath().toStdString();
    EXPECT_EQ(AppFolderOf(QDir::tempPath()), temp + "/");
    EXPECT_EQ(AppFolderOf(QDir::tempPath() + "/"), temp + "/");
    EXPECT_EQ(AppFolderOf("/no/such/folder"), "/no/such/folder/");
}

TEST(CreditAddress, ConfiguredHomepageWinsOverTheReadme) {
    EXPECT_EQ(CreditAddress("https://example.org/tamsel", "/opt/tamsel/"),
              "https://example.org/tamsel");
    EXPECT_EQ(CreditAddress("", "/opt/tamsel/"), "file:///opt/tamsel/README.md");
    EXPECT_EQ(CreditAddress("", "/opt/my tools/"), "file:///opt/my tools/README.md");
}

}  // namespace
