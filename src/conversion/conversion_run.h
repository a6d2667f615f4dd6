#pragma once

#include <functional>
#include <optional>
#include <string>

#include "conversion/notice.h"
#include "platform/os/output_file.h"
#include "platform/os/run_error.h"

namespace conversion {

struct ConversionOutcome {
    // kWithheld: the table converted with notices and the caller asked that such a table not
    // be written; the output path is as it was.
    enum class Kind { kSucceeded, kFailed, kNothingToConvert, kWithheld };
    Kind kind = Kind::kNothingToConvert;
    std::optional<platform::RunError> error;  // set for kFailed only
    // What the table lost or misread on the way, in the order met; a failure keeps those
    // found before it.
    Notices notices;
    int rowsWritten = 0;  // kSucceeded only

    static ConversionOutcome Succeeded(Notices notices = {}) {
        return {Kind::kSucceeded, std::nullopt, std::move(notices), 0};
    }
    static ConversionOutcome Failed(platform::RunError error, Notices notices = {}) {
        return {Kind::kFailed, std::move(error), std::move(notices), 0};
    }
    static ConversionOutcome NothingToConvert() {
        return {Kind::kNothingToConvert, std::nullopt, {}, 0};
    }
};

struct ConversionOptions {
    // Scripts that must never load a doubtful table: notices withhold the output.
    bool withholdOnNotices = false;
    // A seam for tests: called after the rows are counted and before they are read again.
    std::function<void()> betweenReadings;
    // Seams for tests: faults put in the way of writing the output.
    platform::OutputFileSeams outputSeams;
};

// Converts the fare table text file at `inputPath` to the fare display data file at
// `outputPath` (paths as the file system spells them). Never throws: every failure becomes a
// kFailed outcome with a numbered RunError (7 for memory, 51 for anything unforeseen), and
// after one the output path is exactly as it was before.
ConversionOutcome ConvertFareTable(const std::string& inputPath,
                                   const std::string& outputPath) noexcept;
// The same, for callers that choose how notices are handled.
ConversionOutcome ConvertFareTableWith(const std::string& inputPath, const std::string& outputPath,
                                       const ConversionOptions& options) noexcept;

// The status text for an outcome (UTF-8, two lines joined by CR LF); none for
// kNothingToConvert and kWithheld.
std::optional<std::string> OutcomeText(const ConversionOutcome& outcome);

}  // namespace conversion
