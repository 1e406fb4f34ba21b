#pragma once

// The checks behind each fuzz target. libFuzzer calls them through LLVMFuzzerTestOneInput;
// the regression test calls them on every kept input, in every normal build. Each returns 0
// and aborts, naming the broken property, when its target misbehaves.

#include <cstddef>
#include <cstdint>

namespace tamsel::fuzz {

// A whole list through the line splitter and the line parser.
int FuzzLinkParser(const std::uint8_t* data, std::size_t size);
// ReplaceText against a naive reference.
int FuzzReplaceText(const std::uint8_t* data, std::size_t size);
// FindChunked against a plain search.
int FuzzFindChunked(const std::uint8_t* data, std::size_t size);
// InsertBeforeTag against its contract.
int FuzzInsertBeforeTag(const std::uint8_t* data, std::size_t size);
// The whole conversion on in-memory files, with one file step made to fail.
int FuzzConversion(const std::uint8_t* data, std::size_t size);
// A browser's JSON bookmark store through its reader.
int FuzzChromiumStore(const std::uint8_t* data, std::size_t size);

}  // namespace tamsel::fuzz

// Each target defines the libFuzzer entry point unless it is built for replaying.
#ifdef TAMSEL_FUZZ_REPLAY
#define TAMSEL_FUZZ_ENTRY(check)
#else
#define TAMSEL_FUZZ_ENTRY(check)                                                        \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        return check(data, size);                                                       \
    }
#endif
