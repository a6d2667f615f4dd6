#pragma once

#include <string>

#include "programs/hy3conv/file_result.h"

namespace hy3conv {

// Writes the .hy3 file at `inputPath` back as fare table text at `outputPath`, reporting a
// failure against the file it concerns.
FileResult WriteBackAsText(const std::string& inputPath, const std::string& outputPath);
// The same as an .xlsx workbook: one row a record, a value a cell.
FileResult WriteBackAsWorkbook(const std::string& inputPath, const std::string& outputPath);

// Prints the records of the .hy3 file at `path` to standard output; the exit status.
int ShowDataFile(const std::string& path);

}  // namespace hy3conv
