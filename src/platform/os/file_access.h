#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/file_system.h"
#include "platform/os/run_error.h"

namespace platform {

// `name` with A to Z made a to z and every other byte kept: how FAT and exFAT compare the
// names this program makes, and how a file's extension is told whatever its case.
inline std::string AsciiLowercase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// `name` as a case-ignoring medium compares it: every letter of Unicode in one case, every
// other character and every byte that is not UTF-8 kept. Kana and kanji have no case.
std::string CaseFolded(std::string_view name);

// The FileSystem operations on the computer's own file system, for the front ends and the
// tests of the system's side.
std::optional<FileIdentity> IdentityOf(const std::string& path);
bool MayNameOneFile(const std::string& first, const std::string& second);
bool FolderIgnoresCase(const std::string& path);
BoundedRead ReadBoundedFile(const std::string& path, size_t limit);
EntryKind EntryKindOf(const std::string& path);

}  // namespace platform
