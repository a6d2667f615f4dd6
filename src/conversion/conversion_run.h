#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/os/run_error.h"

namespace conversion {

struct ConversionOutcome {
    enum class Kind { kSucceeded, kFailed, kNothingToConvert };
    Kind kind = Kind::kNothingToConvert;
    std::optional<platform::RunError> error;  // set for kFailed only

    static ConversionOutcome Succeeded() { return {Kind::kSucceeded, std::nullopt}; }
    static ConversionOutcome Failed(platform::RunError error) { return {Kind::kFailed, error}; }
    static ConversionOutcome NothingToConvert() { return {Kind::kNothingToConvert, std::nullopt}; }
};

// Converts the fare table text file at `inputPath` to the fare display data file at
// `outputPath` (paths as the file system spells them). Never throws: every failure becomes a
// kFailed outcome with a numbered RunError (7 for memory, 51 for anything unforeseen), and
// after one the output path is exactly as it was before.
ConversionOutcome ConvertFareTable(const std::string& inputPath,
                                   const std::string& outputPath) noexcept;

// Seams for tests: called at fixed points of a run.
struct ConversionHooks {
    // After the rows are counted and before they are read again.
    std::function<void()> betweenReadings;
};

// The same, calling `hooks` on the way.
ConversionOutcome ConvertFareTable(const std::string& inputPath, const std::string& outputPath,
                                   const ConversionHooks& hooks) noexcept;

// The status text for an outcome (UTF-8, two lines joined by CR LF); none for
// kNothingToConvert.
std::optional<std::string> OutcomeText(const ConversionOutcome& outcome);

}  // namespace conversion
