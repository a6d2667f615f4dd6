#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

namespace platform {

// Where an output file goes: an open descriptor of the folder actually written and the
// entry's name in it, after following any links at the end of the path.
struct OutputTarget {
    int folder = -1;
    std::string name;
    // The regular file found there as it stood when resolved; none where the entry is absent.
    std::optional<struct stat> existing;
    // That file, held open (without reading or writing it) until the caller closes it. A file
    // held so keeps its inode number: kernel FAT and exFAT and FUSE number a file anew once
    // they have forgotten it, and a comparison of numbers alone would then see a swap.
    int held = -1;
};

// Resolves `path` as a shell's `>` does: a link at the end is followed, also where it
// dangles, but one in a sticky, world-writable folder only when it belongs to the folder's
// owner or to us (the kernel's rule for protected links). Throws RunError: 70 for a link
// not to be followed, 75 for a loop, a folder or anything but a regular file. The caller
// closes `folder` and `held` (CloseTarget).
OutputTarget ResolveOutputTarget(const std::string& path);

void CloseTarget(OutputTarget& target) noexcept;

// Whether the entry now at the target is still what ResolveOutputTarget found: no entry where
// there was none, else the very file held.
bool TargetUnchanged(const OutputTarget& target);

}  // namespace platform
