#include "conversion/conversion_run.h"

#include <algorithm>
#include <new>
#include <vector>

#include "conversion/fare_data_file.h"
#include "conversion/fare_line_parser.h"
#include "conversion/line_reader.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"

namespace conversion {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

// The display unit reads at most 301 rows; the row counter has always been 16 bits wide.
constexpr int kMaxRows = 301;
constexpr int kMaxCountedRows = INT16_MAX;

int CountRows(TableLineReader& reader) {
    int rows = 0;
    while (!reader.AtEnd()) {
        if (reader.IsBlank(reader.ReadRawLine())) {
            break;
        }
        if (rows == kMaxCountedRows) {
            throw RunError(error_code::kOverflow, reader.lineNumber());
        }
        ++rows;
    }
    return rows;
}

std::vector<FareLineRecord> ParseRows(TableLineReader& reader, int countedRows) {
    std::vector<FareLineRecord> table;
    table.reserve(static_cast<size_t>(countedRows));
    while (!reader.AtEnd() && table.size() < kMaxRows) {
        const std::u32string& line = ReadLineCP932(reader);
        if (IsBlankText(line)) {
            break;
        }
        // The file grew between the two readings.
        if (static_cast<int>(table.size()) == countedRows) {
            throw RunError(error_code::kSubscriptOutOfRange, reader.lineNumber());
        }
        try {
            table.push_back(ParseFareLine(line));
        } catch (const RunError& error) {
            throw error.WithLine(reader.lineNumber());
        }
    }
    return table;
}

ConversionOutcome Convert(const std::string& inputPath, const std::string& outputPath,
                          const ConversionOptions& options) {
    platform::InputFile input(inputPath);
    InputEncoding encoding = DetectInputEncoding(input);
    TableLineReader reader(input, encoding);

    int rows = CountRows(reader);
    if (rows == 0) {
        return ConversionOutcome::NothingToConvert();
    }
    rows = std::min(rows, kMaxRows);

    // Writing the output over its own input would destroy the table.
    platform::FileIdentity outputIdentity{};
    if (platform::IdentityOf(outputPath, outputIdentity) && outputIdentity == input.Identity()) {
        throw RunError(error_code::kPathFileAccess, "変換元と変換先が同じファイルです。");
    }

    platform::AtomicOutputFile output = CreateFareDataFile(outputPath);
    reader.Restart();
    std::vector<FareLineRecord> table = ParseRows(reader, rows);
    // Only the rows actually read are written, so the count always matches the records even
    // where the file shrank between the two readings.
    WriteFareDataFile(output, static_cast<int16_t>(table.size()), table);
    Notices notices;
    if (options.withholdOnNotices && !notices.empty()) {
        ConversionOutcome withheld{ConversionOutcome::Kind::kWithheld, std::nullopt,
                                   std::move(notices), 0};
        return withheld;
    }
    // Checked again right before the rename: the output may have been swapped for a link to
    // the input since the check above.
    output.Commit(input.Identity());
    ConversionOutcome succeeded = ConversionOutcome::Succeeded(std::move(notices));
    succeeded.rowsWritten = static_cast<int>(table.size());
    return succeeded;
}

}  // namespace

ConversionOutcome ConvertFareTableWith(const std::string& inputPath, const std::string& outputPath,
                                       const ConversionOptions& options) {
    try {
        return Convert(inputPath, outputPath, options);
    } catch (const RunError& error) {
        return ConversionOutcome::Failed(error);
    } catch (const std::bad_alloc&) {
        return ConversionOutcome::Failed(RunError(error_code::kOutOfMemory));
    } catch (const std::exception&) {
        return ConversionOutcome::Failed(RunError(error_code::kInternal));
    }
}

ConversionOutcome ConvertFareTable(const std::string& inputPath, const std::string& outputPath) {
    return ConvertFareTableWith(inputPath, outputPath, ConversionOptions{});
}

std::optional<std::string> OutcomeText(const ConversionOutcome& outcome) {
    switch (outcome.kind) {
        case ConversionOutcome::Kind::kSucceeded:
            return "正常にコンバートされました。\r\n運賃表示器を動かして表示テストを行ってください"
                   "。";
        case ConversionOutcome::Kind::kFailed: {
            const RunError& error = outcome.error.value();
            return std::to_string(error.code()) + ":" + error.description() +
                   "\r\nファイルを点検してください。";
        }
        case ConversionOutcome::Kind::kNothingToConvert:
        case ConversionOutcome::Kind::kWithheld:
            break;
    }
    return std::nullopt;
}

}  // namespace conversion
