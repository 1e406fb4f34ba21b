#pragma once

// What a caller can follow of a conversion while it runs, and how it asks the run to stop.
// Every call comes from the thread that runs the conversion; an observer shared with another
// thread synchronises itself.

#include <cstdint>

namespace tamsel {

class RunObserver {
  public:
    virtual ~RunObserver() = default;

    // The list has been read up to `bytesRead` of its `totalBytes`. Told every few hundred
    // kilobytes and once when the whole list is read; `bytesRead` never passes `totalBytes`.
    virtual void ListRead(std::uint64_t /*bytesRead*/, std::uint64_t /*totalBytes*/) {}

    // The run waits for another run to release the menu's lock (true), or has stopped
    // waiting (false).
    virtual void WaitingForLock(bool /*waiting*/) {}

    // Whether the run should stop. Asked at each step up to the moment the menu starts
    // being replaced, never after, and while the list is read at least every 1,024 links,
    // every 50 ms and every few hundred kilobytes of it: a run that stops here has changed
    // nothing and left no temporary file.
    virtual bool CancelRequested() { return false; }
};

}  // namespace tamsel
