#pragma once

#include "platform/os/written_digest.h"

namespace platform {

// On media whose folder flush does not write a rename's directory entry (FAT without the
// `flush` mount option, exFAT, NTFS and anything through FUSE), flushes the whole file system
// the open file `fd` lies on. False (with errno) when that flush failed.
bool FlushMediumWhereFolderFlushIsNotEnough(int fd);

// Whether the open file or folder `fd` lies on FAT or exFAT, which keep one name for every
// case even where the kernel looks names up with their case (vfat with iocharset=utf8).
bool KeepsOneNameForEveryCase(int fd);

// Whether the medium gives back `meant` for the open file `fd`, after its cached pages are
// dropped, so that the bytes come from the card and not from memory.
bool MediumHolds(int fd, const WrittenDigest& meant);

}  // namespace platform
