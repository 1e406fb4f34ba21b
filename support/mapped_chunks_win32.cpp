#include "support/mapped_chunks.h"

namespace tamsel {

// Windows reads lists the ordinary way: a view of a file that shrinks raises an exception
// that only structured exception handling could catch.
MappedChunks::MappedChunks(const native::File& file) : file_(file) {}

MappedChunks::~MappedChunks() = default;

std::optional<std::string_view> MappedChunks::Next() {
    return std::nullopt;
}

bool MappedChunks::Map(std::uint64_t) {
    return false;
}

void MappedChunks::Unmap() {}

}  // namespace tamsel
