// Writes the seed corpus of every fuzz target, in each target's input format, from the test
// data (lists, bookmark exports, the menu) and the program's default templates.
//
//     tamsel_seed_corpus TEST_DATA DEFAULTS OUT
//
// OUT/<target>/ receives one file per seed; files already there are overwritten.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_input.h"

namespace fs = std::filesystem;
using tamsel::fuzz::kPartSeparator;

namespace {

// Seeds stay small so that the fuzzer mutates quickly; a big export is cut at a line break.
constexpr std::size_t kSeedLimit = 32 * 1024;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Cut(std::string text) {
    if (text.size() > kSeedLimit) {
        const std::size_t end = text.rfind('\n', kSeedLimit);
        text.resize(end == std::string::npos ? kSeedLimit : end + 1);
    }
    return text;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        joined += (i == 0 ? "" : std::string(kPartSeparator)) + parts[i];
    }
    return joined;
}

class Corpus {
  public:
    explicit Corpus(fs::path root) : root_(std::move(root)) {}

    void Add(const std::string& target, const std::string& bytes) {
        const fs::path folder = root_ / target;
        fs::create_directories(folder);
        const fs::path file = folder / ("seed-" + std::to_string(++count_));
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

  private:
    fs::path root_;
    int count_ = 0;
};

std::vector<std::string> Lists(const fs::path& fixtures) {
    std::vector<std::string> lists;
    for (const char* folder : {"lists", "bookmarks"}) {
        for (const auto& entry : fs::directory_iterator(fixtures / folder)) {
            if (entry.path().extension() != ".md") {
                lists.push_back(Cut(ReadFile(entry.path())));
            }
        }
    }
    return lists;
}

// The same text as UTF-16 with its byte-order mark; `ascii` holds only ASCII.
std::string AsciiToUtf16(std::string_view ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (char c : ascii) {
        bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return bytes;
}

// Lists that reach the readers of marks, UTF-16 and shared bookmark lines, and values that
// need escaping.
std::vector<std::string> EncodedAndEscapedLists() {
    static constexpr char kSurrogates[] =
        "\xff\xfeT\0\x3d\xd8\x00\xde\r\0\n\0\x3d\xd8h\0\x00\xdc:\0\x01";
    const std::string handwritten =
        "Tom & Jerry;Say \"hi\" <now> &amp; &#38; &#x26; &nbsp;\r\nhttp://a.org/?a=1&b=2\r\n";
    return {
        "\xef\xbb\xbfhttps://a.org/\r\nTitle\r\n",
        AsciiToUtf16(handwritten, false),
        AsciiToUtf16(handwritten, true),
        // A surrogate pair, a lone high surrogate, a lone low one and an odd last byte.
        std::string(kSurrogates, sizeof kSurrogates - 1),
        handwritten,
        "<DL><p><DT><A HREF=\"http://a.org/\">A &amp; B</A><dt><a href=\"https://b.org/\" "
        "X=\"1\">B</a>\n",
    };
}

struct TextSeed {
    char control;
    std::vector<std::string> parts;
};

const std::string kLongText = std::string(kPartSeparator) + std::string("\x01\0\0\0\0\0\0 ", 8);

void AddTextSeeds(Corpus& corpus) {
    // ReplaceText: control (bit 0 case-blind; bit 1 a limit of bits 2+ mod 5), find,
    // replacement, text, then optionally the request for a long text.
    const std::vector<TextSeed> replacements = {
        {0, {"\t", " ", "a\tb\t\tc"}},
        {0, {" ", "", "Big News Site"}},
        {0, {"a", "xyz", "aaa"}},
        {0, {"aa", "b", "aaaa"}},
        {0, {"ab", "xaby", "ab"}},
        {6, {"-", "+", "a-b-c"}},
        {2, {"-", "+", "a-b-c"}},
        {1, {"b", "x", "ABC abc"}},
        {1, {"\xc3\xa9", "e", "\xc3\x89 \xc3\xa9"}},
        {0, {"#LINKID#", "Big", "<Query key=\"#LINKID#\" src=\"##LINKID#_view\"/>"}},
    };
    for (const TextSeed& seed : replacements) {
        corpus.Add("replace_text", seed.control + Join(seed.parts));
        corpus.Add("replace_text", seed.control + Join(seed.parts) + kLongText);
    }
    // FindChunked: control (bit 0 case-blind, bits 1-2 the occurrence - 1), a start choice
    // (below 128: from the start), find, text, then optionally the request for a long text.
    const std::vector<TextSeed> searches = {
        {0, {"ab", "xxabxx"}},
        {1, {"</items>", "<Items>\r\n</Items>\r\n</ITEMS>\r\n"}},
        {3, {"</Items>", "<Items>\r\n</Items>\r\n</Items>\r\n"}},
        {0, {"aa", "aaaaa"}},
    };
    for (const TextSeed& seed : searches) {
        corpus.Add("find_chunked", seed.control + std::string(1, '\0') + Join(seed.parts));
        corpus.Add("find_chunked",
                   seed.control + std::string(1, '\0') + Join(seed.parts) + kLongText);
    }
}

void AddMenuSeeds(Corpus& corpus, const std::string& menu, const fs::path& defaults) {
    // occurrence byte (value % 6 - 1), tag, block, text.
    corpus.Add("insert_before_tag", "\x03" + Join({"</Items>", "<Query/>\r\n", menu}));
    corpus.Add("insert_before_tag", "\x02" + Join({"</XMBML>", "<Item/>\r\n", menu}));
    corpus.Add("insert_before_tag", "\x02" + Join({"</x>", "B", "a\nb\r</X>"}));
    corpus.Add("insert_before_tag", "\x02" + Join({"</x>", "B", "\r\n</x>"}));

    const std::string query = ReadFile(defaults / "item_template_query.txt");
    const std::string image = ReadFile(defaults / "item_template_image.txt");
    const std::string noImage = ReadFile(defaults / "item_template_noimage.txt");
    const std::string list = ReadFile(defaults / "url.txt");
    // control (bit 0 stale backup, bits 1+ layout), fault step, fault kind, then the files.
    for (const char* head : {"\x00\xff\x00", "\x01\xff\x00", "\x02\x10\x01", "\x04\x14\x02",
                             "\x00\x12\x00", "\x01\x13\x01"}) {
        corpus.Add("conversion",
                   std::string(head, 3) + Join({list, menu, query, image, noImage, "Weather"}));
    }
}

// Browsers' JSON stores: every kind of node and root, escapes, and a store cut short.
void AddStoreSeeds(Corpus& corpus) {
    const std::string store =
        R"json({"checksum": "00ff", "roots": {"bookmark_bar": {"children": [)json"
        R"json({"name": "A \u00e9 \ud83d\ude00", "type": "url", "url": "https://a.example/"},)json"
        R"json({"children": [{"name": "", "type": "url", "url": "http://b.example/?q=1&r=2"}],)json"
        R"json("name": "Folder", "type": "folder"}], "name": "", "type": "folder"},)json"
        R"json("other": {"children": [{"meta_info": {"k": "v"}, "name": "J", "type": "url",)json"
        R"json("url": "javascript:void(0)"}], "name": "Other", "type": "folder"},)json"
        R"json("synced": {"children": [], "name": "", "type": "folder"}},)json"
        R"json("sync_metadata": "AA==", "version": 1})json";
    for (const std::string& seed : {
             store,
             store.substr(0, store.size() / 2),
             std::string(
                 R"json({"roots": {"other": {"type": "folder", "children": [1, null,)json"
                 R"json("x", [], {"type": "separator"}, {"type": "url", "url": 7}]}}})json"),
             std::string(R"json({"roots": []})json"),
             std::string("\xef\xbb\xbf {\"roots\": {}, \"version\": 1e400}"),
         }) {
        corpus.Add("chromium_store", seed);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: tamsel_seed_corpus TEST_DATA DEFAULTS OUT\n", stderr);
        return 2;
    }
    const fs::path fixtures = argv[1];
    const fs::path defaults = argv[2];
    Corpus corpus(argv[3]);
    const std::string menu = ReadFile(fixtures / "menu" / "Links.xml");
    std::vector<std::string> lists = Lists(fixtures);
    for (std::string& list : EncodedAndEscapedLists()) {
        lists.push_back(std::move(list));
    }
    for (const std::string& list : lists) {
        // The list, then the sizes of the pieces the line splitter is fed.
        corpus.Add("link_parser", list + std::string(kPartSeparator) + "\x07\x3f\x01\x10");
        corpus.Add("conversion", std::string("\x00\xff\x00", 3) +
                                     Join({list, menu, "<Q #LINKID#/>\r\n",
                                           "<I #LINKID# #LINKIMG# #LINKTITLE# #LINKURL#/>",
                                           "<N #LINKID# #LINKTITLE# #LINKURL#/>", ""}));
    }
    AddTextSeeds(corpus);
    AddMenuSeeds(corpus, menu, defaults);
    AddStoreSeeds(corpus);
    return 0;
}
