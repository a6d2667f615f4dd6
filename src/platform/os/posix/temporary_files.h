#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace platform {

// A fresh hidden name for a temporary file: ".hy3-" and ten letters or digits, short, so that
// an output path of any legal length stays legal beside it.
std::string RandomTemporaryName();

// Whether `name` has the shape of RandomTemporaryName's names, and of nothing else.
bool IsTemporaryName(std::string_view name);

// A temporary file last written this long ago, in a folder no run writes into, was left by a
// run that was killed. The age keeps clear of one that a run elsewhere (another computer on a
// shared folder) may still be writing; two seconds, since FAT dates a file to two seconds.
inline constexpr std::time_t kStaleAfterSeconds = 2;

// Makes the open folder `folder` ours to write a temporary file into: where no other run holds
// the folder, first removes the temporary files that killed runs left there (by their names'
// shape and their age, never another file), then holds the folder (a shared lock) until
// `folder` is closed, so that no later run takes our file for a forgotten one. Where the file
// system keeps no locks it does neither, and removes nothing.
void TakeUpFolder(int folder);

}  // namespace platform
