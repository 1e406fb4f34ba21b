#include "support/file_probe.h"

#include "support/native_file.h"

namespace tamsel {

bool probe::IsInvalidHandle(std::int64_t handle) {
    return handle >= -1 && handle <= 0;
}

bool FileExists(const std::string& path) {
    return ProbeFileSize(path) > 0;
}

namespace {

std::uint64_t SizeIfReadable(const native::File& file) {
    if (probe::IsInvalidHandle(native::HandleNumber(file.Get())) ||
        native::HeldOpenForWriting(file)) {
        return 0;
    }
    return native::CurrentSize(file);
}

}  // namespace

// No trace of a failed probe outlives the call.
std::uint64_t ProbeFileSize(const std::string& path) {
    const native::SystemErrorKeeper keepError;
    return SizeIfReadable(native::OpenForReading(path));
}

}  // namespace tamsel
