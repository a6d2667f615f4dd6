#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// What a file was meant to hold, kept while it is written: its length and a 64-bit FNV-1a
// digest of its bytes, so that the file can be compared with what the medium gives back
// without keeping a copy of it.
class WrittenDigest {
  public:
    void Add(std::string_view bytes);
    bool operator==(const WrittenDigest&) const = default;

  private:
    uint64_t size_ = 0;
    uint64_t hash_ = 14695981039346656037ull;
};

// On media whose folder flush does not write a rename's directory entry (FAT without the
// `flush` mount option, exFAT, NTFS and anything through FUSE), flushes the whole file system
// the open file `fd` lies on. False (with errno) when that flush failed.
bool FlushMediumWhereFolderFlushIsNotEnough(int fd);

// Whether the medium gives back `meant` for the open file `fd`, after its cached pages are
// dropped, so that the bytes come from the card and not from memory.
bool MediumHolds(int fd, const WrittenDigest& meant);

}  // namespace platform
