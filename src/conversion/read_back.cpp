#include "conversion/read_back.h"

#include <utility>

#include "conversion/formats/text/fare_table_text.h"
#include "conversion/same_file.h"
#include "conversion/whole_file.h"
#include "fare_model/fare_data_reader.h"
#include "platform/os/code_page.h"
#include "platform/os/file_system.h"

namespace conversion {
namespace {

struct ReadBack {
    std::vector<FareLineRecord> records;
    platform::FileIdentity identity;
};

ReadBack ReadRecords(platform::FileSystem& files, const std::string& path) {
    platform::BoundedRead read =
        ReadWholeFile(files, path, kMaxDataFileBytes, Reason::kDataFileTooLarge);
    platform::Cp932Codec cp932;
    return {fare_model::ReadFareDataFile(read.bytes, cp932), read.identity};
}

}  // namespace

ConversionOutcome ReadBackDataFile(platform::FileSystem& files, const std::string& path) noexcept {
    return RunUseCase(path, path, false, [&](UseCaseProgress&) {
        ConversionOutcome outcome = ConversionOutcome::Succeeded();
        outcome.records = ReadRecords(files, path).records;
        return outcome;
    });
}

ConversionOutcome ReadBackDataFile(const std::string& path) noexcept {
    return ReadBackDataFile(platform::SystemFileSystem(), path);
}

ConversionOutcome WriteBackAsText(const std::string& inputPath, const std::string& outputPath,
                                  platform::OutputFileSeams seams) noexcept {
    return WriteBackAs(inputPath, outputPath, FareTableText, std::move(seams));
}

ConversionOutcome WriteBackAs(const std::string& inputPath, const std::string& outputPath,
                              const TableForm& form, platform::OutputFileSeams seams) noexcept {
    return WriteBackAs(platform::SystemFileSystem(), inputPath, outputPath, form, std::move(seams));
}

ConversionOutcome WriteBackAs(platform::FileSystem& files, const std::string& inputPath,
                              const std::string& outputPath, const TableForm& form,
                              platform::OutputFileSeams seams) noexcept {
    return RunUseCase(inputPath, outputPath, false, [&](UseCaseProgress& progress) {
        const ReadBack input = ReadRecords(files, inputPath);
        // Writing the table over the .hy3 it came from would lose the data file.
        progress.at = ConcernedFile::Role::kOutput;
        RefuseOutputOverInput(files, outputPath, input.identity);
        RefuseOutputOverInputSpelledApart(files, inputPath, outputPath);
        // Opened first: an output that cannot be written fails as that before the form is
        // made (a workbook's library keeps its scratch files in the output's folder).
        std::unique_ptr<platform::OutputFile> output =
            files.CreateOutput(outputPath, std::move(seams));
        std::string text;
        try {
            progress.at = ConcernedFile::Role::kInput;
            text = form(input.records);
        } catch (const RunError& error) {
            // A table the form cannot hold is the input's; any other failure is the writing's.
            if (!error.line() && error.code() != error_code::kInvalidData) {
                progress.at = ConcernedFile::Role::kOutput;
            }
            throw;
        }
        progress.at = ConcernedFile::Role::kOutput;
        output->Write(text);
        output->Commit(input.identity);
        ConversionOutcome outcome = ConversionOutcome::Succeeded();
        outcome.rowsWritten = static_cast<int>(input.records.size());
        return outcome;
    });
}

std::optional<RecordDifferences> CompareWithExistingFile(
    platform::FileSystem& files, const std::string& path,
    std::span<const FareLineRecord> records) noexcept {
    try {
        const ConversionOutcome old = ReadBackDataFile(files, path);
        // No old file, or none the display unit could have read: nothing to compare with.
        if (old.kind != ConversionOutcome::Kind::kSucceeded ||
            old.records.size() > static_cast<size_t>(kMaxTableRows)) {
            return std::nullopt;
        }
        return fare_model::CompareRecords(old.records, records);
    } catch (...) {
        return std::nullopt;  // only memory can fail here; the comparison is not worth a failure
    }
}

}  // namespace conversion
