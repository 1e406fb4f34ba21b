#pragma once

// Reading a whole link list into a LinkCollector, two processors at it: one thread reads the
// list's lines and takes the links out of them, up to a few thousand links ahead of the
// caller's thread, which builds their entries. Each half costs about as much as the other.

#include <cstdint>
#include <functional>
#include <string>

#include "convert/link_collector.h"
#include "support/file_system.h"

namespace tamsel {

// Reads the list at `path` through `files` (FileSystem::ReadLines) into `links`: the same
// as feeding each line to links.Feed and then calling links.Finish. The links are added on
// the calling thread, in list order; the lines are read and the links' icons probed on the
// reading thread, through `files` and the collector's icon probe, while the caller's thread
// calls neither. `onRead` hears, on the calling thread, of the bytes of the list read since
// it was last called (a line counts one byte for its break), once the links in them are
// added; what it throws stops the reading and passes on to the caller, as does what the
// reading throws. False when the list could not be read to its end; the links of the lines
// read before are added, and links.Finish is not called. Where no thread can be started,
// the list is read on the calling thread. `meanwhile`, when set, runs on the calling thread
// once the reading has begun and before the first link is added: work that the links need
// only when they are added overlaps with the list's first lines.
bool ReadLinks(FileSystem& files, const std::string& path, LinkCollector& links,
               const std::function<void(std::uint64_t bytes)>& onRead,
               const std::function<void()>& meanwhile = {});

}  // namespace tamsel
