// ReplaceText and FindChunked from 1 KB to 100 MB. The complexity report of each family
// must come out as O(N): a search that copied a window per call, or a replacement that
// grew its output piece by piece, would show up as a larger exponent or a jump at the
// window length. A match near the start must cost the same whatever the text's length.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/text.h"

namespace {

constexpr std::int64_t kSmallest = 1 << 10;
constexpr std::int64_t kLargest = 100 << 20;

enum Shape : std::int64_t {
    kNoMatch = 0,  // the find text never occurs
    kDense = 1,    // a match every 16 bytes
    kNearEnd = 2,  // one match, in the last 100 bytes
};

// The find text is "#LINK#": it starts with a character that recurs in every stretch of
// the text, so a search cannot skip ahead on its first byte alone.
std::string MakeText(std::size_t size, std::int64_t shape) {
    const std::string filler = shape == kDense ? "abc#LINK#defghi\n" : "abc#LIN#defghij\n";
    std::string text;
    text.reserve(size);
    while (text.size() + filler.size() <= size) {
        text += filler;
    }
    text.resize(size, 'x');
    if (shape == kNearEnd) {
        text.replace(size - 100 + 50, 6, "#LINK#");
    }
    return text;
}

void SetSizeCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}

void ShapeArguments(benchmark::internal::Benchmark* family) {
    family->ArgNames({"bytes", "shape"});
    for (std::int64_t shape : {kNoMatch, kDense, kNearEnd}) {
        for (std::int64_t bytes = kSmallest; bytes < kLargest; bytes *= 8) {
            family->Args({bytes, shape});
        }
        family->Args({kLargest, shape});
    }
}

void BM_ReplaceText(benchmark::State& state) {
    const std::string text = MakeText(static_cast<std::size_t>(state.range(0)), state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamsel::ReplaceText(text, "#LINK#", "https://example.org/"));
    }
    SetSizeCounters(state);
}
BENCHMARK(BM_ReplaceText)
    ->Apply(ShapeArguments)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// The floor of anything that returns a new text: a plain copy. Where its cost per byte
// rises (texts too large for the allocator to reuse memory, fresh pages from the system),
// ReplaceText's rises with it.
void BM_CopyText(benchmark::State& state) {
    const std::string text = MakeText(static_cast<std::size_t>(state.range(0)), state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::string(text));
    }
    SetSizeCounters(state);
}
BENCHMARK(BM_CopyText)
    ->Apply(ShapeArguments)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// Every match in turn, as ReplaceText and InsertBeforeTag walk a text.
template <tamsel::CompareMode kMode>
void BM_FindChunkedAll(benchmark::State& state) {
    const std::string text = MakeText(static_cast<std::size_t>(state.range(0)), state.range(1));
    const std::string find = kMode == tamsel::CompareMode::Text ? "#link#" : "#LINK#";
    for (auto _ : state) {
        std::size_t matches = 0;
        for (std::size_t at = tamsel::FindChunked(1, text, find, kMode); at != 0;
             at = tamsel::FindChunked(at + find.size(), text, find, kMode)) {
            ++matches;
        }
        benchmark::DoNotOptimize(matches);
    }
    SetSizeCounters(state);
}
BENCHMARK(BM_FindChunkedAll<tamsel::CompareMode::Binary>)
    ->Apply(ShapeArguments)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindChunkedAll<tamsel::CompareMode::Text>)
    ->Apply(ShapeArguments)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// A match 1,000 bytes in: the cost must not depend on the text's length (O(1) in the
// report), which it would if a window of the text were copied per search.
template <tamsel::CompareMode kMode>
void BM_FindChunkedNearStart(benchmark::State& state) {
    std::string text = MakeText(static_cast<std::size_t>(state.range(0)), kNoMatch);
    text.replace(1000, 6, "#LINK#");
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamsel::FindChunked(1, text, "#LINK#", kMode));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindChunkedNearStart<tamsel::CompareMode::Binary>)
    ->RangeMultiplier(8)
    ->Range(4 * kSmallest, kLargest)
    ->Complexity(benchmark::o1);
BENCHMARK(BM_FindChunkedNearStart<tamsel::CompareMode::Text>)
    ->RangeMultiplier(8)
    ->Range(4 * kSmallest, kLargest)
    ->Complexity(benchmark::o1);

}  // namespace
