#include "support/file_probe.h"

#include "support/native_file.h"

namespace tamsel {

bool probe::IsInvalidHandle(std::int64_t handle) {
    return handle >= -1 && handle <= 0;
}

bool FileExists(const std::string& path) {
    return ProbeFileSize(path) > 0;
}

std::uint64_t ProbeFileSize(const std::string& path) {
    const native::SystemErrorKeeper keepError;  // no trace of a failed probe outlives the call
    const native::File file = native::OpenForReading(path);
    if (probe::IsInvalidHandle(native::HandleNumber(file.Get())) ||
        native::HeldOpenForWriting(file)) {
        return 0;
    }
    return native::CurrentSize(file);
}

}  // namespace tamsel
