#pragma once

namespace platform {

// Gives the file open as `to` the access ACL and the user.* extended attributes of the file
// open as `from`, so that a replaced file keeps who may read it and what the user noted on
// it. Fails with errno set (and false) where an attribute cannot be read or set.
bool CopyAccessMetadata(int from, int to);

}  // namespace platform
