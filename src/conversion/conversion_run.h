#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "conversion/outcome.h"
#include "conversion/row_source.h"
#include "platform/os/file_system.h"

namespace conversion {

struct ConversionOptions {
    // Scripts that must never load a doubtful table: notices withhold the output.
    bool withholdOnNotices = false;
    // A seam for tests: called after the rows are counted and before they are read again.
    std::function<void()> betweenReadings;
    // Seams for tests: faults put in the way of writing the output.
    platform::OutputFileSeams outputSeams;
    // The sheet of a workbook to convert; the first where none is named.
    std::optional<std::string> sheet;
    // The row of a workbook's sheet where the table starts; the first that holds anything
    // where none is given.
    std::optional<uint32_t> startRow;
    // Keeps the records in the outcome and writes nothing: the output path is not used.
    bool keepInMemory = false;
};

// Converts the fare table text file at `inputPath` to the fare display data file at
// `outputPath` (paths as the file system spells them). A workbook (.xlsx, .ods), told by its
// content, converts a sheet's cells as fields. Never throws: every failure becomes a
// kFailed outcome with a numbered RunError (7 for memory, 51 for anything unforeseen), and
// after one the output path is exactly as it was before.
// Every file is reached through `files`.
ConversionOutcome ConvertFareTableWith(platform::FileSystem& files, const std::string& inputPath,
                                       const std::string& outputPath,
                                       const ConversionOptions& options) noexcept;
// The same on the computer's own file system, for front ends; the second for callers that
// choose how notices are handled.
ConversionOutcome ConvertFareTable(const std::string& inputPath,
                                   const std::string& outputPath) noexcept;
ConversionOutcome ConvertFareTableWith(const std::string& inputPath, const std::string& outputPath,
                                       const ConversionOptions& options) noexcept;

// The conversion itself, for any source of rows: counts the rows, reads them, writes the data
// file at `outputPath` in place of whatever is there. `input` is the identity of the file the
// rows come from, which the output must never replace. Throws; a use case runs it inside
// RunUseCase, as ConvertFareTableWith does for every input format.
ConversionOutcome ConvertRows(platform::FileSystem& files, RowSource& source,
                              const platform::FileIdentity& input, const std::string& outputPath,
                              const ConversionOptions& options, UseCaseProgress& progress);

}  // namespace conversion
