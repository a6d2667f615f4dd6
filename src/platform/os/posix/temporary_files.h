#pragma once

#include <string>
#include <string_view>

namespace platform {

// A fresh hidden name for a temporary file that says whose it is: ".hy3-", this boot of the
// kernel, the writing process and its start time, and six random letters, e.g.
// ".hy3-3f2a9c0b1d4e-4242-1234567-kXbQzr". A path of any legal length stays legal beside it.
std::string RandomTemporaryName();

// Whether `name` has the shape of RandomTemporaryName's names, and of nothing else.
bool IsTemporaryName(std::string_view name);

// Holds an exclusive lock on the open temporary file `fd` for as long as it is open; the
// kernel lets go of it when the writer ends, however it ends.
void LockAsWriter(int fd);

// Removes from the open folder `folder` the temporary files of runs that have ended (killed,
// or lost power before they could clean up), once per folder in the life of this process. A
// file goes only on proof that its writer is gone: its name is one of this program's names of
// this very boot, the process it names has ended (or another has its number since), it is a
// regular file, and no one holds its lock. A name alone or an age is never proof; files from
// another computer, another boot or a user are left alone.
void RemoveTemporariesOfEndedRuns(int folder);

}  // namespace platform
