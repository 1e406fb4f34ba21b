#include "convert/places_store.h"

namespace tamsel {

// The Windows build carries no SQLite: Firefox's store is read from its HTML export there.
StoreStatus ReadPlacesStore(const std::string& /*path*/, BookmarkEvents& /*events*/) {
    return StoreStatus::NotSupported;
}

}  // namespace tamsel
