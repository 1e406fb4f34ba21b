// The splice of a run: both blocks into a menu text of 1 MB to 100 MB, the second
// "</Items>" a sixth of the way in and "</XMBML>" at the very end, as in a menu padded with
// old entries. Each splice gets a fresh copy of the menu (outside the timing), sized as a
// file read leaves it, so the growth of the text is part of what is timed.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "convert/insert_before_tag.h"

namespace {

std::string Repeat(const std::string& piece, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) {
        text += piece;
    }
    return text;
}

std::string Menu(std::size_t bytes) {
    const std::string query = "\t\t\t<Query key=\"oldlink\" src=\"#oldlink_view\"/>\r\n";
    const std::string view =
        "\t<View id=\"oldlink_view\">\r\n\t\t<Attributes>\r\n\t\t\t<Table key=\"oldlink\">\r\n"
        "\t\t\t\t<Pair key=\"url\"><String>https://example.org/</String></Pair>\r\n"
        "\t\t\t</Table>\r\n\t\t</Attributes>\r\n\t</View>\r\n";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<XMBML version=\"1.0\">\r\n"
           "\t<View id=\"links_top\">\r\n\t\t<Items>\r\n"
           "\t\t\t<Query key=\"links_folder\" src=\"#links_list\"/>\r\n\t\t</Items>\r\n"
           "\t</View>\r\n\t<View id=\"links_list\">\r\n\t\t<Items>\r\n" +
           Repeat(query, bytes / 6) + "\t\t</Items>\r\n\t</View>\r\n" +
           Repeat(view, bytes - bytes / 6) + "</XMBML>\r\n";
}

void BM_InsertBeforeTag(benchmark::State& state) {
    const std::string menu = Menu(static_cast<std::size_t>(state.range(0)));
    const std::string queries(64 << 10, 'q');
    const std::string items(512 << 10, 'i');
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = menu;
        state.ResumeTiming();
        benchmark::DoNotOptimize(tamsel::InsertBeforeTag("</Items>", text, queries, 2));
        benchmark::DoNotOptimize(tamsel::InsertBeforeTag("</XMBML>", text, items, 1));
        state.PauseTiming();
        text = std::string();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_InsertBeforeTag)
    ->ArgName("menu")
    ->RangeMultiplier(10)
    ->Range(1 << 20, 100 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
