#include "conversion/read_back.h"

#include <utility>

#include "conversion/fare_data_reader.h"
#include "conversion/fare_table_text.h"
#include "conversion/whole_file.h"
#include "conversion/wording.h"
#include "platform/os/file_access.h"

namespace conversion {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

struct ReadBack {
    std::vector<FareLineRecord> records;
    platform::FileIdentity identity;
};

ReadBack ReadRecords(const std::string& path) {
    platform::BoundedRead read =
        ReadWholeFile(path, kMaxDataFileBytes, explanation::DataFileTooLarge(kMaxDataFileBytes));
    return {ReadFareDataFile(read.bytes), read.identity};
}

}  // namespace

ConversionOutcome ReadBackDataFile(const std::string& path) noexcept {
    return RunUseCase(path, path, false, [&](UseCaseProgress&) {
        ConversionOutcome outcome = ConversionOutcome::Succeeded();
        outcome.records = ReadRecords(path).records;
        return outcome;
    });
}

ConversionOutcome WriteBackAsText(const std::string& inputPath, const std::string& outputPath,
                                  platform::OutputFileSeams seams) noexcept {
    return WriteBackAs(inputPath, outputPath, FareTableText, std::move(seams));
}

ConversionOutcome WriteBackAs(const std::string& inputPath, const std::string& outputPath,
                              const TableForm& form, platform::OutputFileSeams seams) noexcept {
    return RunUseCase(inputPath, outputPath, false, [&](UseCaseProgress& progress) {
        const ReadBack input = ReadRecords(inputPath);
        const std::string text = form(input.records);
        // Writing the table over the .hy3 it came from would lose the data file.
        progress.at = ConcernedFile::Role::kOutput;
        RefuseOutputOverInput(outputPath, input.identity);
        RefuseOutputOverInputSpelledApart(inputPath, outputPath);
        platform::AtomicOutputFile output(outputPath, std::move(seams));
        output.Write(text);
        output.Commit(input.identity);
        ConversionOutcome outcome = ConversionOutcome::Succeeded();
        outcome.rowsWritten = static_cast<int>(input.records.size());
        return outcome;
    });
}

}  // namespace conversion
