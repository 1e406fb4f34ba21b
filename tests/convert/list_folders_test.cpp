// A list's folders: a run narrowed to one, the folders a list shows, and a browser's store
// read as the list, against the export the browser writes for it.

#include "convert/list_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "convert/bookmark_store.h"
#include "convert/conversion_run.h"
#include "run_setup.h"

namespace tamsel {
namespace {

using test::RunSetup;

// The titles of the links a preview of `paths` would decide on, in order, then its message.
std::vector<std::string> Previewed(const RunPaths& paths) {
    std::vector<std::string> seen;
    const RunOutcome outcome = PreviewConversion(
        paths, [&seen](const LinkDecision& link) { seen.emplace_back(link.title); });
    seen.push_back(outcome.message);
    return seen;
}

// A tree of bookmarks as a Chromium-family browser keeps it.
struct Node {
    bool folder = false;
    std::string name;  // a folder's name, a bookmark's title
    std::string url;
    std::vector<Node> children;
};

// The three roots: the bar, the other bookmarks and the mobile ones.
struct Store {
    std::string barName;  // as stored; empty shows as "Bookmarks bar"
    Node bar, other, synced;
};

std::string JsonText(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string Json(const Node& node) {
    if (!node.folder) {
        return R"({"type":"url","date_added":"1","name":)" + JsonText(node.name) + R"(,"url":)" +
               JsonText(node.url) + "}";
    }
    std::string children;
    for (const Node& child : node.children) {
        children += (children.empty() ? "" : ",") + Json(child);
    }
    return R"({"type":"folder","name":)" + JsonText(node.name) + R"(,"children":[)" + children +
           "]}";
}

std::string ChromiumFile(const Store& store) {
    Node bar = store.bar;
    bar.name = store.barName;
    return R"({"checksum":"0","roots":{"bookmark_bar":)" + Json(bar) + R"(,"other":)" +
           Json(store.other) + R"(,"synced":)" + Json(store.synced) + R"(},"version":1})";
}

// Text as Chrome's exporter escapes it; an address (inside HREF's quotes) has only its
// double quotes escaped.
std::string Escaped(std::string_view text, bool address) {
    std::string out;
    for (char c : text) {
        if (c == '"') {
            out += "&quot;";
        } else if (address) {
            out += c;
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '\'') {
            out += "&#39;";
        } else {
            out += c;
        }
    }
    return out;
}

void WriteChildren(const Node& folder, int depth, std::string& out);

void WriteNode(const Node& node, int depth, std::string& out, std::string_view mark = "") {
    const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    if (!node.folder) {
        out += indent + "<DT><A HREF=\"" + Escaped(node.url, true) +
               "\" ADD_DATE=\"1600000000\" ICON=\"data:image/png;base64,iVBOR\">" +
               Escaped(node.name, false) + "</A>\n";
        return;
    }
    out += indent + "<DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"2\"" + std::string(mark) + ">" +
           Escaped(node.name, false) + "</H3>\n";
    out += indent + "<DL><p>\n";
    WriteChildren(node, depth + 1, out);
    out += indent + "</DL><p>\n";
}

void WriteChildren(const Node& folder, int depth, std::string& out) {
    for (const Node& child : folder.children) {
        WriteNode(child, depth, out);
    }
}

// The export Chrome writes for `store`: the bar as a folder, the other bookmarks at the top,
// the mobile ones as a folder.
std::string ChromeExport(const Store& store) {
    std::string out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    Node bar = store.bar;
    bar.name = store.barName.empty() ? "Bookmarks bar" : store.barName;
    WriteNode(bar, 1, out, " PERSONAL_TOOLBAR_FOLDER=\"true\"");
    WriteChildren(store.other, 1, out);
    Node synced = store.synced;
    synced.name = "Mobile bookmarks";
    WriteNode(synced, 1, out);
    return out + "</DL><p>\n";
}

// Names and titles with what an export escapes, what a menu escapes, blanks, a ";", the
// placeholders, letters beyond ASCII, and what a folder path escapes.
constexpr std::string_view kWords[] = {
    "News",      "a&b",   "<b>", "\"q\"", "it's", "Caf\xc3\xa9", " two  words ", "x;y",
    "#LINKURL#", "&amp;", "a/b", "c\\d",  "",     "News",
};
constexpr std::string_view kAddresses[] = {
    "https://a.example/", "http://b.example/?x=1&y=2", "https://c.example/\"q\"",
    "https://a.example/", "ftp://d.example/",          "javascript:alert(1)",
    "HTTPS://e.example/", "https://f.example/<p>",     "https://g.example/it's",
};

class RandomTree {
  public:
    explicit RandomTree(unsigned seed) : random_(seed) {}

    Node Folder(std::string name, int depth) {
        Node folder{true, std::move(name), {}, {}};
        const int count = Pick(depth < 3 ? 5 : 3);
        for (int i = 0; i < count; ++i) {
            if (depth < 3 && Pick(3) == 0) {
                folder.children.push_back(Folder(Word(), depth + 1));
            } else {
                folder.children.push_back({false, Word(), Address(), {}});
            }
        }
        return folder;
    }
    int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

  private:
    std::string Word() {
        return std::string(kWords[Pick(std::size(kWords))]) + (Pick(2) ? "" : "Z");
    }
    std::string Address() { return std::string(kAddresses[Pick(std::size(kAddresses))]); }

    std::mt19937 random_;
};

// A folder's name as a path holds it: trimmed, with "/" and "\" escaped.
std::string PathName(std::string_view name) {
    const std::size_t first = name.find_first_not_of(' ');
    name = first == std::string_view::npos
               ? ""
               : name.substr(first, name.find_last_not_of(' ') + 1 - first);
    std::string out;
    for (char c : name) {
        out += (c == '/' || c == '\\') ? std::string("\\") + c : std::string(1, c);
    }
    return out;
}

// The folders below `folder`, each with its path in the store and in the export.
void CollectPaths(const Node& folder, const std::string& storePath, const std::string& exportPath,
                  std::vector<std::pair<std::string, std::string>>& paths) {
    for (const Node& child : folder.children) {
        if (child.folder) {
            const std::string name = PathName(child.name);
            const std::string below = exportPath.empty() ? name : exportPath + "/" + name;
            paths.emplace_back(storePath + "/" + name, below);
            CollectPaths(child, storePath + "/" + name, below, paths);
        }
    }
}

// A store and the export Chrome writes for it make the same menu, byte for byte, with the
// same message, for the whole list and for any one folder; and a folder's count is the
// number of links a run narrowed to it finds.
TEST(ListFolders, StoreAndItsChromeExportMakeTheSameMenu) {
    for (unsigned seed = 1; seed <= 25; ++seed) {
        RandomTree tree(seed);
        Store store;
        store.barName = tree.Pick(2) ? "" : "Favourites bar";
        store.bar = tree.Folder("", 0);
        store.other = tree.Folder("Other bookmarks", 0);
        store.synced = tree.Folder("", 1);
        const std::string bar = store.barName.empty() ? "Bookmarks bar" : store.barName;
        // The whole list, then every folder present in both: the other bookmarks are no
        // folder of the export, their folders are at its top.
        std::vector<std::pair<std::string, std::string>> paths{
            {"", ""}, {bar, bar}, {"Mobile bookmarks", "Mobile bookmarks"}};
        CollectPaths(store.bar, bar, bar, paths);
        CollectPaths(store.synced, "Mobile bookmarks", "Mobile bookmarks", paths);
        CollectPaths(store.other, "Other bookmarks", "", paths);
        const auto& [storePath, exportPath] =
            paths[static_cast<std::size_t>(tree.Pick(static_cast<int>(paths.size())))];
        SCOPED_TRACE("seed " + std::to_string(seed) + ", folder \"" + storePath + "\"");

        for (const std::string& folder : {std::string(), storePath}) {
            RunSetup fromStore;
            RunSetup fromExport;
            fromStore.writeList(ChromiumFile(store));
            fromExport.writeList(ChromeExport(store));
            RunPaths storeRun = fromStore.paths();
            RunPaths exportRun = fromExport.paths();
            storeRun.folder = folder;
            exportRun.folder = folder.empty() ? folder : exportPath;
            const RunOutcome a = RunConversion(storeRun);
            const RunOutcome b = RunConversion(exportRun);
            EXPECT_EQ(a.message, b.message);
            EXPECT_EQ(fromStore.menu(), fromExport.menu());
        }
        if (storePath.empty()) {
            continue;
        }
        RunSetup counted;
        counted.writeList(ChromiumFile(store));
        const std::vector<ListFolder> folders = ReadListFolders(counted.paths().listPath);
        const auto first = std::find_if(folders.begin(), folders.end(),
                                        [&](const ListFolder& f) { return f.path == storePath; });
        ASSERT_NE(first, folders.end());
        RunPaths narrowed = counted.paths();
        narrowed.folder = storePath;
        EXPECT_EQ(Previewed(narrowed).size() - 1, first->links);
    }
}

// An export with nested folders, names that a path escapes or an export encodes, two folders
// of one path but for letter case, a heading without a list, a list without a heading, and a
// folder written on one line.
constexpr std::string_view kExport =
    "<H1>Bookmarks</H1>\n<DL><p>\n"
    "<DT><H3 ADD_DATE=\"1\">Work</H3>\n<DD>What I do\n<DL><p>\n"
    "<DT><A HREF=\"https://w1/\">W1</A>\n"
    "<DT><H3>A/B \\ C</H3>\n<DL><p>\n<DT><A HREF=\"https://s1/\">S1</A>\n</DL><p>\n"
    "<DT><H3>Tom &amp; Jerry</H3>\n<DL><p><DT><A HREF=\"https://t1/\">T1</A></DL><p>\n"
    "</DL><p>\n"
    "<DT><A HREF=\"https://top/\">Top</A>\n"
    "<DT><H3>work</H3>\n<DL><p>\n<DT><A HREF=\"https://w2/\">W2</A>\n</DL><p>\n"
    "<DT><H3>Heading without a list</H3>\n<DT><A HREF=\"https://loose/\">Loose</A>\n"
    "<DL><p>\n<DT><A HREF=\"https://nested/\">Nested</A>\n</DL><p>\n"
    "</DL><p>\n";

TEST(ListFolders, AFolderIsChosenByItsPath) {
    const std::string missing = " was not found in the list.";
    struct Case {
        std::string folder;
        std::vector<std::string> previewed;  // the titles, then the message
    };
    const std::vector<Case> cases{
        {"", {"W1", "S1", "T1", "Top", "W2", "Loose", "Nested", "Done"}},
        {"Work", {"W1", "S1", "T1", "Done"}},  // the first of "Work" and "work"
        {"WORK", {"W1", "S1", "T1", "Done"}},
        {"work/a\\/b \\\\ c", {"S1", "Done"}},
        {" Work / Tom & Jerry ", {"T1", "Done"}},
        {"Work/Tom &amp; Jerry", {"The folder \"Work/Tom &amp; Jerry\"" + missing}},
        {"Work/A", {"The folder \"Work/A\"" + missing}},
        {"Work/A/B \\ C", {"The folder \"Work/A/B \\ C\"" + missing}},
        {"Heading without a list", {"The folder \"Heading without a list\"" + missing}},
    };
    RunSetup setup;
    setup.writeList(kExport);
    for (const Case& c : cases) {
        RunPaths paths = setup.paths();
        paths.folder = c.folder;
        EXPECT_EQ(Previewed(paths), c.previewed) << c.folder;
    }

    const std::vector<ListFolder> folders = ReadListFolders(setup.paths().listPath);
    const std::vector<std::tuple<std::string, std::string, int, std::size_t>> expected{
        {"Work", "Work", 0, 3},
        {"Work/A\\/B \\\\ C", "A/B \\ C", 1, 1},
        {"Work/Tom & Jerry", "Tom & Jerry", 1, 1},
        {"work", "work", 0, 1},
    };
    ASSERT_EQ(folders.size(), expected.size());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        EXPECT_EQ(std::tie(folders[i].path, folders[i].name, folders[i].depth, folders[i].links),
                  expected[i]);
    }

    setup.writeList("Work\r\nhttps://w/\r\n");
    RunPaths plain = setup.paths();
    plain.folder = "Work";
    const RunOutcome outcome = RunConversion(plain);
    EXPECT_EQ(outcome.status, RunStatus::InputError);
    EXPECT_EQ(outcome.message, "The list has no folders, so the folder \"Work\" cannot be chosen.");
    EXPECT_EQ(outcome.focusBox, RunInput::List);
    EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".bak"));
    EXPECT_TRUE(ReadListFolders(plain.listPath).empty());
}

// A file that tells itself a store but cannot be read as one says why, and changes nothing;
// one that is no store after all is read as a list.
TEST(ListFolders, AStoreThatCannotBeReadChangesNothing) {
    // The Windows build reads no places.sqlite at all, damaged or not.
#ifdef _WIN32
    constexpr std::string_view kPlacesUnreadable = kPlacesOnWindowsMessage;
#else
    constexpr std::string_view kPlacesUnreadable = kDamagedStoreMessage;
#endif
    const std::vector<std::pair<std::string, std::string_view>> cases{
        {R"({"roots": {"bookmark_bar": {"type": "folder", "children": [)", kDamagedStoreMessage},
        {R"({"roots": [], "version": 1})", kOtherVersionStoreMessage},
        {R"({"version": 1})", "No links were found in the list."},
        {std::string("SQLite format 3\0", 16) + "garbage", kPlacesUnreadable},
    };
    for (const auto& [store, message] : cases) {
        RunSetup setup;
        setup.writeList(store);
        const std::string menu = setup.menu();
        const RunOutcome outcome = RunConversion(setup.paths());
        EXPECT_EQ(outcome.status, RunStatus::InputError) << store;
        EXPECT_EQ(outcome.message, message) << store;
        EXPECT_EQ(outcome.focusBox, RunInput::List);
        EXPECT_EQ(setup.menu(), menu);
        EXPECT_FALSE(setup.exists(std::string(RunSetup::kMenu) + ".bak"));
        std::string problem;
        EXPECT_TRUE(ReadListFolders(setup.paths().listPath, RealFileSystem(), &problem).empty());
        EXPECT_EQ(problem, message == kDamagedStoreMessage ||
                                   message == kOtherVersionStoreMessage ||
                                   message == kPlacesOnWindowsMessage
                               ? message
                               : "");
    }
}

}  // namespace
}  // namespace tamsel
