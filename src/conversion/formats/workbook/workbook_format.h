#pragma once

#include "conversion/formats/input_format.h"

namespace conversion::workbook {

// A spreadsheet workbook (.xlsx, .ods), told by its container's first bytes (a zip archive,
// or the compound document of an Excel 97-2003 book, which is refused with a clear word): the
// cells of the sheet asked for (the first where none is), each cell a field. Opening throws
// RunError 321 for a file that is no readable workbook and 9 for a sheet it does not have.
extern const InputFormat kWorkbookFormat;

}  // namespace conversion::workbook
