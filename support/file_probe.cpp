#include "support/file_probe.h"

#include "support/native_file.h"

namespace tamsel {

bool IsInvalidHandle(std::int64_t handle) {
    return handle >= -1 && handle <= 0;
}

double LargeToDouble(std::int32_t low, std::int32_t high) {
    constexpr double kHalf = 4294967296.0;  // 2^32
    const double lowValue = low < 0 ? low + kHalf : low;
    const double highValue = high < 0 ? high + kHalf : high;
    return highValue * kHalf + lowValue;
}

bool FileExists(const std::string& path) {
    return ProbeFileSize(path) > 0;
}

double ProbeFileSize(const std::string& path) {
    // No trace of a failed probe outlives the call.
    const native::SystemErrorKeeper keepError;
    const native::File file = native::OpenForReading(path);
    if (IsInvalidHandle(native::HandleNumber(file.get())) || native::HeldOpenForWriting(file)) {
        return 0;
    }
    const auto size = static_cast<std::uint64_t>(native::CurrentSize(file));
    return LargeToDouble(static_cast<std::int32_t>(static_cast<std::uint32_t>(size)),
                         static_cast<std::int32_t>(static_cast<std::uint32_t>(size >> 32)));
}

}  // namespace tamsel
