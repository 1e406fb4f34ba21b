// Throughput of the helpers that every list line and every template passes through. Run
// with different sizes to see that the cost per byte stays flat.

#include <benchmark/benchmark.h>

#include <string>

#include "support/line_splitter.h"
#include "support/text.h"

namespace {

// A list-like text: lines of 60 characters with a TAB and a CR LF each.
std::string ListText(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 64);
    while (text.size() < bytes) {
        text += "Some Site Title;info\thttps://example.org/a/very/long/path\r\n";
    }
    return text;
}

void BM_ReplaceTabs(benchmark::State& state) {
    const std::string text = ListText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamsel::ReplaceText(text, "\t", " "));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ReplaceTabs)->Range(1 << 10, 1 << 24);

void BM_ReplaceGrowing(benchmark::State& state) {
    const std::string text = ListText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamsel::ReplaceText(text, "e", "#LINKURL#"));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ReplaceGrowing)->Range(1 << 10, 1 << 24);

void BM_FindLateMatch(benchmark::State& state) {
    std::string text(static_cast<std::size_t>(state.range(0)), '.');
    text += "</XMBML>";
    const auto mode = static_cast<tamsel::CompareMode>(state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamsel::FindChunked(1, text, "</xmbml>", mode));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FindLateMatch)->ArgsProduct({{1 << 16, 1 << 24}, {0, 1}});

void BM_SplitLines(benchmark::State& state) {
    const std::string text = ListText(static_cast<std::size_t>(state.range(0)));
    std::size_t lines = 0;
    tamsel::LineSplitter splitter([&lines](std::string_view) { ++lines; });
    for (auto _ : state) {
        for (std::size_t at = 0; at < text.size(); at += 65536) {
            splitter.Feed(std::string_view(text).substr(at, 65536));
        }
        splitter.Finish();
    }
    benchmark::DoNotOptimize(lines);
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SplitLines)->Range(1 << 16, 1 << 24);

}  // namespace
