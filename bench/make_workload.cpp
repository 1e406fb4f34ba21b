// Writes a conversion workload: a browser-style bookmarks export of N bookmarks, a menu file
// of about M bytes shaped like a real Links.xml, its IMAGES folder and the three templates.
// Everything comes from one seeded generator of our own (not <random>, whose distributions
// differ between standard libraries), so a seed gives the same bytes on every machine.
//
//   make_workload [--bookmarks N] [--menu-bytes M] [--seed S] [--crlf] OUT_DIR
//
// OUT_DIR/bookmarks.html       the export
// OUT_DIR/FEATURES/Links.xml   the menu file
// OUT_DIR/IMAGES/              network.png, an own icon for 5% of the titles, and a few
//                              names that only look like icons (empty file, folder, other case)
// OUT_DIR/app/                 item_template_query.txt, _image.txt, _noimage.txt

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// splitmix64: small, fast and the same everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform enough in [0, n) for workload shaping.
    std::size_t Below(std::uint64_t n) { return static_cast<std::size_t>(Next() % n); }
    bool Percent(std::size_t p) { return Below(100) < p; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& items) {
        return items[Below(N)];
    }

  private:
    std::uint64_t state_;
};

struct Options {
    std::uint64_t bookmarks = 1000;
    std::uint64_t menuBytes = 64 * 1024;
    std::uint64_t seed = 1;
    std::string lineBreak = "\n";  // exports from Firefox on Linux use LF
    fs::path out;
};

constexpr std::array<std::string_view, 24> kWords = {
    "Daily",   "News",    "Open",   "Source", "Guide",  "Recipes", "Weather", "Maps",
    "Linux",   "Kernel",  "Travel", "Music",  "Photo",  "Forum",   "Wiki",    "Shop",
    "Science", "Journal", "Café",   "Über",   "Bücher", "日本語",  "新闻",    "Straße",
};

constexpr std::array<std::string_view, 6> kTlds = {"org", "com", "net", "de", "io", "fr"};

constexpr std::string_view kBase64 =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Embedded icons vary like real favicons: mostly small, now and then a large one.
std::vector<std::string> MakeIconPool(Random& random) {
    std::vector<std::string> pool(509);
    for (std::string& icon : pool) {
        const std::size_t length =
            random.Percent(2) ? 10000 + random.Below(60000) : 300 + random.Below(2700);
        icon = "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQ";
        while (icon.size() < length) {
            icon += kBase64[random.Below(kBase64.size())];
        }
        icon += "==";
    }
    return pool;
}

std::string MakeTitle(Random& random, std::size_t serial) {
    std::string title;
    const std::size_t words = 1 + random.Below(4);
    for (std::size_t i = 0; i < words; ++i) {
        title += random.Pick(kWords);
        title += ' ';
    }
    title += std::to_string(serial);
    if (random.Percent(2)) {
        title += "; part two";  // a ";" inside a bookmark's title stays in the title
    } else if (random.Percent(2)) {
        title += " &amp; more";
    }
    return title;
}

std::string MakeAddress(Random& random, std::size_t serial) {
    const std::size_t kind = random.Below(100);
    if (kind < 2) {
        return "place:type=6&sort=14&maxResults=" + std::to_string(serial);  // not a web address
    }
    if (kind < 3) {
        return "javascript:void(" + std::to_string(serial) + ")";
    }
    std::string url = kind < 20 ? "http://" : "https://";
    url += "www.site" + std::to_string(random.Below(50000)) + '.' + std::string(random.Pick(kTlds));
    url += "/articles/" + std::to_string(serial) + "/index.html";
    if (random.Percent(20)) {
        url += "?ref=bookmarks&id=" + std::to_string(random.Next() % 100000);
    }
    return url;
}

std::string Timestamp(Random& random) {
    return std::to_string(1400000000 + random.Below(300000000));
}

class ExportWriter {
  public:
    ExportWriter(const Options& options, std::ostream& out)
        : options_(options), out_(out), random_(options.seed), icons_(MakeIconPool(random_)) {}

    // Writes the export and returns the Ids (titles without blanks) that get an own icon.
    std::vector<std::string> Write() {
        Header();
        OpenFolder("Bookmarks Toolbar");
        while (written_ < options_.bookmarks) {
            if (random_.Percent(2) && depth_ < 4) {
                OpenFolder(MakeTitle(random_, folders_));
            } else if (random_.Percent(2) && depth_ > 1) {
                CloseFolder();
            }
            Bookmark();
        }
        while (depth_ > 0) {
            CloseFolder();
        }
        return ownIcons_;
    }

  private:
    void Line(std::string_view text) {
        out_ << std::string(4 * depth_, ' ') << text << options_.lineBreak;
    }

    void Header() {
        const std::string_view br = options_.lineBreak;
        out_ << "<!DOCTYPE NETSCAPE-Bookmark-file-1>" << br
             << "<!-- This is an automatically generated file." << br
             << "     It will be read and overwritten." << br << "     DO NOT EDIT! -->" << br
             << "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">" << br
             << "<meta http-equiv=\"Content-Security-Policy\"" << br
             << "      content=\"default-src 'self'; script-src 'none'; img-src data: *;\">" << br
             << "<TITLE>Bookmarks</TITLE>" << br << "<H1>Bookmarks Menu</H1>" << br << br
             << "<DL><p>" << br;
        depth_ = 1;
    }

    void OpenFolder(const std::string& name) {
        ++folders_;
        Line("<DT><H3 ADD_DATE=\"" + Timestamp(random_) + "\" LAST_MODIFIED=\"" +
             Timestamp(random_) + "\">" + name + "</H3>");
        if (random_.Percent(30)) {
            Line("<DD>Folder of " + name);
        }
        Line("<DL><p>");
        ++depth_;
    }

    void CloseFolder() {
        --depth_;
        Line("</DL><p>");
    }

    void Bookmark() {
        const std::size_t serial = written_++;
        const std::string title = MakeTitle(random_, serial);
        std::string line = random_.Percent(3) ? "<HR>" + std::string(4 * depth_, ' ') : "";
        line += "<DT><A HREF=\"" + MakeAddress(random_, serial) + "\"";
        if (!random_.Percent(1)) {  // now and then an anchor with HREF alone
            line += " ADD_DATE=\"" + Timestamp(random_) + "\" LAST_MODIFIED=\"" +
                    Timestamp(random_) + "\"";
            if (random_.Percent(85)) {
                line += " ICON_URI=\"https://www.site" + std::to_string(serial) +
                        ".org/favicon.ico\" ICON=\"" + icons_[random_.Below(icons_.size())] + "\"";
            }
        }
        line += ">" + title + "</A>";
        Line(line);
        if (random_.Percent(10)) {
            Line("<DD>What " + title + " is about");
        } else if (random_.Percent(1)) {
            Line("<DD>A description that goes on");  // its continuation is a plain line
            out_ << "over a second line" << options_.lineBreak;
        }
        if (random_.Percent(5)) {
            std::string id = title;
            std::erase(id, ' ');
            ownIcons_.push_back(std::move(id));
        }
    }

    const Options& options_;
    std::ostream& out_;
    Random random_;
    std::vector<std::string> icons_;
    std::vector<std::string> ownIcons_;
    std::size_t written_ = 0;
    std::size_t folders_ = 0;
    std::size_t depth_ = 0;
};

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string MenuEntry(std::size_t serial) {
    const std::string id = "oldlink" + std::to_string(serial);
    return "\t<View id=\"" + id + "_view\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"" + id +
           "\">\r\n\t\t\t\t<Pair key=\"title\"><String>Old link " + std::to_string(serial) +
           "</String></Pair>\r\n\t\t\t\t<Pair key=\"url\"><String>https://example.org/" + id +
           "</String></Pair>\r\n\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t</View>\r\n";
}

// The sample menu's structure with the links list and the views padded by old entries, and
// a comment of blanks making up the last bytes, so the file has exactly `bytes` bytes when
// that is more than the bare structure needs.
std::string MakeMenu(std::size_t bytes) {
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<XMBML version=\"1.0\">\r\n"
        "\t<View id=\"links_top\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"links_folder\">\r\n"
        "\t\t\t\t<Pair key=\"icon\"><String>/IMAGES/links.png</String></Pair>\r\n"
        "\t\t\t\t<Pair key=\"title\"><String>Web Links</String></Pair>\r\n"
        "\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t\t<Items>\r\n"
        "\t\t\t<Query key=\"links_folder\" src=\"#links_list\"/>\r\n\t\t</Items>\r\n\t</View>\r\n"
        "\t<View id=\"links_list\">\r\n\t\t<Items>\r\n";
    const std::string middle = "\t\t</Items>\r\n\t</View>\r\n";
    const std::string tail = "</XMBML>\r\n";
    std::string queries;
    std::string views;
    for (std::size_t serial = 0;; ++serial) {
        const std::string id = "oldlink" + std::to_string(serial);
        const std::string query = "\t\t\t<Query key=\"" + id + "\" src=\"#" + id + "_view\"/>\r\n";
        const std::string view = MenuEntry(serial);
        const std::size_t size = head.size() + queries.size() + middle.size() + views.size() +
                                 tail.size() + query.size() + view.size() + 10;
        if (size > bytes) {
            break;
        }
        queries += query;
        views += view;
    }
    std::string menu = head + queries + middle + views;
    const std::size_t used = menu.size() + tail.size();
    if (used + 9 <= bytes) {
        menu += "<!--" + std::string(bytes - used - 9, ' ') + "-->\r\n";
    }
    return menu + tail;
}

constexpr std::string_view kQueryTemplate =
    "\t\t\t<Query key=\"#LINKID#\" src=\"##LINKID#_view\"/>\r\n";

std::string ViewTemplate(std::string_view icon) {
    return "\t<View id=\"#LINKID#_view\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"#LINKID#\">\r\n"
           "\t\t\t\t<Pair key=\"icon\"><String>" +
           std::string(icon) +
           "</String></Pair>\r\n"
           "\t\t\t\t<Pair key=\"title\"><String>#LINKTITLE#</String></Pair>\r\n"
           "\t\t\t\t<Pair key=\"info\"><String>#LINKINFO#</String></Pair>\r\n"
           "\t\t\t\t<Pair key=\"url\"><String>#LINKURL#</String></Pair>\r\n"
           "\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t</View>\r\n";
}

// Own icons, plus names that a shortcut could take for icons, each of which counts as
// missing: an empty file, a folder, a dangling link and a name that differs only in letter
// case. A link to a real icon counts as present.
void WriteImages(const fs::path& images, const std::vector<std::string>& ownIcons) {
    fs::create_directories(images);
    WriteFile(images / "network.png", "\x89PNG fallback icon");
    for (std::size_t i = 0; i < ownIcons.size(); ++i) {
        const fs::path icon = images / (ownIcons[i] + ".png");
        std::string otherCase = ownIcons[i];
        for (char& c : otherCase) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        }
        switch (i % 100) {
            case 17:
                WriteFile(icon, "");
                break;
            case 42:
                fs::create_directories(icon);
                break;
            case 55:
                fs::create_symlink("missing.png", icon);
                break;
            case 73:
                WriteFile(images / (otherCase + ".png"), "\x89PNG other case");
                break;
            case 91:
                fs::create_symlink("network.png", icon);
                break;
            default:
                WriteFile(icon, "\x89PNG own icon");
        }
    }
}

bool ParseCount(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::uint64_t* number = argument == "--bookmarks"    ? &options.bookmarks
                                : argument == "--menu-bytes" ? &options.menuBytes
                                : argument == "--seed"       ? &options.seed
                                                             : nullptr;
        if (argument == "--crlf") {
            options.lineBreak = "\r\n";
        } else if (number != nullptr) {
            if (i + 1 == argc || !ParseCount(argv[++i], *number)) {
                return false;
            }
        } else if (options.out.empty() && !argument.starts_with("--")) {
            options.out = argument;
        } else {
            return false;
        }
    }
    return !options.out.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << "usage: make_workload [--bookmarks N] [--menu-bytes M] [--seed S] [--crlf] "
                     "OUT_DIR\n";
        return 64;
    }
    try {
        const fs::path app = options.out / "app";
        fs::create_directories(app);
        fs::create_directories(options.out / "FEATURES");
        std::vector<std::string> ownIcons;
        {
            std::ofstream list(options.out / "bookmarks.html", std::ios::binary);
            std::vector<char> buffer(1 << 20);
            list.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            ownIcons = ExportWriter(options, list).Write();
            if (!list.flush()) {
                throw std::runtime_error("cannot write the export");
            }
        }
        WriteFile(options.out / "FEATURES" / "Links.xml", MakeMenu(options.menuBytes));
        WriteImages(options.out / "IMAGES", ownIcons);
        WriteFile(app / "item_template_query.txt", kQueryTemplate);
        WriteFile(app / "item_template_image.txt", ViewTemplate("/IMAGES/#LINKIMG#"));
        WriteFile(app / "item_template_noimage.txt", ViewTemplate("#LINKIMG#"));
    } catch (const std::exception& error) {
        std::cerr << "make_workload: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
