#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "conversion/fare_model_names.h"

namespace conversion {

// `name` (a path or a file name, bytes as the file system gives them) as coreutils quotes a
// file name in a message: as it is where a shell would read it so, else in single quotes (in
// double quotes where only a single quote asks for quoting), each byte that is not UTF-8 and
// each control character written as $'\ooo' or $'\n'. A message that shows it stays one line
// of valid UTF-8, and the name can be pasted back into a shell. On Windows, as cmd.exe and
// PowerShell take a name: in double quotes where it holds a space or a character they treat
// specially, backslashes as they are.
std::string QuotedFileName(std::string_view name);

// The plain words for what stands behind a file error about the output `path`; none where
// the cause is not known.
std::optional<std::string> FileCauseText(fare_model::FileCause cause, std::string_view path);

}  // namespace conversion
