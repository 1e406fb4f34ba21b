// Reading a list line by line as a run does (LinkCollector): a hand-written list, and the
// lines of a browser export with an embedded icon of a given size on each bookmark. The cost
// per byte should not grow with the icon: each line is looked at a bounded number of times,
// never case-converted whole.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "convert/link_collector.h"

namespace {

const tamsel::ItemTemplates kTemplates{
    "\t\t\t<Query key=\"#LINKID#\" src=\"##LINKID#_view\"/>\r\n",
    "\t<View id=\"#LINKID#_view\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"#LINKID#\">\r\n"
    "\t\t\t\t<Pair key=\"icon\"><String>/IMAGES/#LINKIMG#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"title\"><String>#LINKTITLE#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"info\"><String>#LINKINFO#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"url\"><String>#LINKURL#</String></Pair>\r\n"
    "\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t</View>\r\n",
    "\t<View id=\"#LINKID#_view\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"#LINKID#\">\r\n"
    "\t\t\t\t<Pair key=\"icon\"><String>#LINKIMG#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"title\"><String>#LINKTITLE#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"info\"><String>#LINKINFO#</String></Pair>\r\n"
    "\t\t\t\t<Pair key=\"url\"><String>#LINKURL#</String></Pair>\r\n"
    "\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t</View>\r\n",
};

std::vector<std::string> HandwrittenLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < 64; ++i) {
        const std::string n = std::to_string(i);
        lines.push_back(i % 3 == 0 ? "Example Site " + n + ";Reserved for documentation"
                                   : "Some Title " + n);
        lines.push_back("https://www.example.org/pages/" + n + "/index.html");
        lines.push_back("");
    }
    return lines;
}

std::string Icon(std::size_t bytes) {
    std::string icon = "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQ";
    for (std::size_t i = 0; icon.size() < bytes; ++i) {
        icon += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[(i * 37) % 64];
    }
    return icon;
}

// The lines of an export around each bookmark: folder headings, descriptions, a separator
// on a bookmark's line now and then.
std::vector<std::string> ExportLines(std::size_t iconBytes) {
    const std::string icon = iconBytes == 0 ? "" : " ICON=\"" + Icon(iconBytes) + "\"";
    std::vector<std::string> lines;
    for (int i = 0; i < 64; ++i) {
        const std::string n = std::to_string(i);
        if (i % 16 == 0) {
            lines.push_back("<DT><H3 ADD_DATE=\"1585479605\" LAST_MODIFIED=\"1585479704\">Folder " +
                            n + "</H3>");
            lines.push_back("<DL><p>");
        }
        const std::string separator = i % 20 == 7 ? "<HR>    " : "";
        lines.push_back(separator + "<DT><A HREF=\"https://www.site" + n +
                        ".org/articles/index.html\" ADD_DATE=\"1463686918\" "
                        "LAST_MODIFIED=\"1463686918\" ICON_URI=\"https://www.site" +
                        n + ".org/favicon.ico\"" + icon + ">Daily News Site " + n + "</A>");
        if (i % 4 == 0) {
            lines.push_back("<DD>What Daily News Site " + n + " is about");
        }
        if (i % 16 == 15) {
            lines.push_back("</DL><p>");
        }
    }
    return lines;
}

// A fresh reader per list, as a run has; a list is the lines repeated, so that setting up
// the reader weighs on the time about as much as it does for a list of a thousand lines.
void ParseLines(benchmark::State& state, const std::vector<std::string>& lines) {
    constexpr int kRepeats = 16;
    std::int64_t bytes = 0;
    for (const std::string& line : lines) {
        bytes += static_cast<std::int64_t>(line.size()) * kRepeats;
    }
    for (auto _ : state) {
        tamsel::LinkCollector links(kTemplates, "/m/IMAGES/",
                                    [](const std::string&) { return false; });
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            for (const std::string& line : lines) {
                links.Feed(line);
            }
        }
        links.Finish();
        benchmark::DoNotOptimize(links.LinkCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()) *
                            kRepeats);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
}

void BM_ParseHandwrittenList(benchmark::State& state) {
    ParseLines(state, HandwrittenLines());
}
BENCHMARK(BM_ParseHandwrittenList);

// Argument: bytes of the embedded icon on each bookmark line (0 = none).
void BM_ParseBookmarkExport(benchmark::State& state) {
    ParseLines(state, ExportLines(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ParseBookmarkExport)->ArgName("icon")->Arg(0)->Arg(1500)->Arg(12000)->Arg(70000);

}  // namespace
