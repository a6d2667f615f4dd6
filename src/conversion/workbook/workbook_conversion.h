#pragma once

#include <string>

#include "conversion/conversion_run.h"
#include "platform/os/file_access.h"

namespace conversion::workbook {

// Whether the file's first bytes are those of a workbook container (a zip archive, or the
// compound document of an Excel 97-2003 book): told by content, whatever the name's
// extension. Leaves the file at its start.
bool HoldsWorkbook(platform::InputFile& input);

// Converts the sheet `options.sheet` names (the first where none is named) of the workbook
// at `inputPath`, as ConvertRows does; throws as it does, and platform::RunError 321 for a
// file that is no readable workbook, 9 for a sheet the book does not have.
ConversionOutcome ConvertWorkbook(const std::string& inputPath, const std::string& outputPath,
                                  const ConversionOptions& options, UseCaseProgress& progress);

}  // namespace conversion::workbook
