#pragma once

namespace platform {

// Gives the file open as `to` the access ACL and the user.* extended attributes of the file
// open as `from`, so that a replaced file keeps who may read it and what the user noted on
// it. An attribute the medium refuses to store is left out, as `cp` leaves it out; fails
// with errno set (and false) where one cannot be read or set for another reason.
bool CopyAccessMetadata(int from, int to);

// Whether `err` is a file system saying that it keeps no such thing (owner, mode, ACL or
// attribute) for this file: FAT, exFAT, NTFS and FUSE media say so in one of these words.
bool RefusedByMedium(int err);

}  // namespace platform
