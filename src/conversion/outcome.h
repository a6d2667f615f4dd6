#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversion/fare_model_names.h"

namespace conversion {

// The file a failure is about: the one the user must look at.
struct ConcernedFile {
    enum class Role { kInput, kOutput };
    Role role = Role::kInput;
    std::string path;

    friend bool operator==(const ConcernedFile&, const ConcernedFile&) = default;
};

// What one use case (convert, read back, write back) came to. Use cases never throw: every
// failure is a kFailed outcome with a numbered RunError and the file it concerns.
struct ConversionOutcome {
    // kWithheld: the table converted with notices and the caller asked that such a table not
    // be written; the output path is as it was.
    enum class Kind { kSucceeded, kFailed, kNothingToConvert, kWithheld };
    Kind kind = Kind::kNothingToConvert;
    std::optional<fare_model::RunError> error;  // set for kFailed only
    // What the table lost or misread on the way, in the order met; a failure keeps those
    // found before it.
    Notices notices;
    int rowsWritten = 0;                  // kSucceeded: the rows (records or lines) written
    std::optional<ConcernedFile> file;    // kFailed: the file the error is about
    std::vector<FareLineRecord> records;  // kSucceeded, read back: the data file's records
    // kSucceeded, convert: what the table changed against the .hy3 it replaced; none where
    // there was no readable one.
    std::optional<RecordDifferences> differences{};
    // kSucceeded, kWithheld: the workbook's sheet converted; empty for a text table.
    std::string sheet{};
    // kSucceeded: the line (the sheet's row) of the first record; the others follow it.
    int firstLine = 1;

    static ConversionOutcome Succeeded(Notices notices = {}) {
        return {Kind::kSucceeded, std::nullopt, std::move(notices), 0, std::nullopt, {}};
    }
    static ConversionOutcome Failed(fare_model::RunError error, Notices notices = {}) {
        return {Kind::kFailed, std::move(error), std::move(notices), 0, std::nullopt, {}};
    }
    static ConversionOutcome NothingToConvert() {
        return {Kind::kNothingToConvert, std::nullopt, {}, 0, std::nullopt, {}};
    }
};

// What a use case has found so far, kept when it fails.
struct UseCaseProgress {
    Notices notices;
    ConcernedFile::Role at = ConcernedFile::Role::kInput;  // the file being worked on
};

// Runs `body` and turns whatever it throws into a kFailed outcome (7 for memory, 51 for
// anything unforeseen) that names the file being worked on, in the outcome and in the error;
// `explainRole` has the error say which of the two files it is about.
ConversionOutcome RunUseCase(
    const std::string& inputPath, const std::string& outputPath, bool explainRole,
    const std::function<ConversionOutcome(UseCaseProgress&)>& body) noexcept;

}  // namespace conversion
