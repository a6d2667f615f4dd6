#include "conversion/conversion_run.h"

#include <algorithm>
#include <span>
#include <vector>

#include "conversion/fare_data_file.h"
#include "conversion/fare_line_parser.h"
#include "conversion/line_reader.h"
#include "conversion/text_rules.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"

namespace conversion {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

// The display unit reads at most 301 rows.
constexpr int kMaxRows = 301;

const char kFileChanged[] = "読んでいる間に入力ファイルが書き換えられました。";

std::vector<FareLineRecord> ParseRows(TableLineReader& reader, int countedRows, Notices& notices) {
    std::vector<FareLineRecord> table;
    table.reserve(static_cast<size_t>(countedRows));
    FareLineParser parser;
    bool blank = false;
    while (!reader.AtEnd() && table.size() < kMaxRows) {
        // A line is parsed as it is read; a blank one leaves the parser unharmed, as leading
        // spaces never reach the place name and spaces never change a number.
        bool counted = static_cast<int>(table.size()) < countedRows;
        blank = true;
        try {
            reader.ReadLineCharacters([&](std::u32string_view characters) {
                blank = blank && IsBlankText(characters);
                if (counted) {
                    parser.Feed(characters);
                } else if (!blank) {
                    // The file grew between the two readings.
                    throw RunError(error_code::kSubscriptOutOfRange).WithExplanation(kFileChanged);
                }
            });
        } catch (const RunError& error) {
            throw error.WithLine(reader.lineNumber());
        }
        FareLineRecord record = parser.Finish();
        if (blank) {
            break;
        }
        for (Notice& notice : parser.TakeNotices()) {
            notice.line = reader.lineNumber();
            notices.push_back(std::move(notice));
        }
        table.push_back(std::move(record));
    }
    // The file shrank between the two readings: the table it now holds is not the one counted.
    if (static_cast<int>(table.size()) < std::min(countedRows, kMaxRows)) {
        int endLine = blank ? reader.lineNumber() : reader.lineNumber() + 1;
        throw RunError(error_code::kSubscriptOutOfRange, endLine).WithExplanation(kFileChanged);
    }
    return table;
}

// Writes the data file for `records` and puts it in place: the new file replaces the old one
// only once it is whole, so a failure leaves the output path exactly as it was. The input's
// identity is checked again right before the rename: the output may have been swapped for a
// link to the input since the first check.
void WriteFareDataFile(platform::AtomicOutputFile& output, std::span<const FareLineRecord> records,
                       const platform::InputFile& input) {
    output.Write(FareDataFileBytes(records));
    output.Commit(input.Identity());
}

ConversionOutcome Convert(const std::string& inputPath, const std::string& outputPath,
                          const ConversionOptions& options, UseCaseProgress& progress) {
    Notices& notices = progress.notices;
    platform::InputFile input(inputPath);
    TableLineReader reader(input);
    TableCount count = reader.CountRows();
    int rows = count.rows;
    if (rows == 0) {
        return ConversionOutcome::NothingToConvert();
    }
    rows = std::min(rows, kMaxRows);

    RefuseOutputOverInput(outputPath, input.Identity());

    // Opened before the second reading, so that an output that cannot be written fails
    // before any row is parsed.
    progress.at = ConcernedFile::Role::kOutput;
    platform::AtomicOutputFile output(outputPath, options.outputSeams);
    progress.at = ConcernedFile::Role::kInput;
    if (options.betweenReadings) {
        options.betweenReadings();
    }
    reader.Restart(count.encoding);
    std::vector<FareLineRecord> table = ParseRows(reader, rows, notices);
    // What the table loses as a whole comes after what its rows misread, in line order.
    if (count.rows > kMaxRows) {
        notices.push_back({Notice::Kind::kRowsBeyondLimit,
                           kMaxRows + 1,
                           std::nullopt,
                           {},
                           0,
                           count.rows - kMaxRows});
    }
    if (count.rowsAfterBlank > 0) {
        notices.push_back({Notice::Kind::kRowsAfterBlankLine,
                           count.blankLineNumber,
                           std::nullopt,
                           {},
                           0,
                           count.rowsAfterBlank});
    }
    if (options.withholdOnNotices && !notices.empty()) {
        ConversionOutcome withheld = ConversionOutcome::Succeeded(std::move(notices));
        withheld.kind = ConversionOutcome::Kind::kWithheld;
        return withheld;
    }
    progress.at = ConcernedFile::Role::kOutput;
    WriteFareDataFile(output, table, input);
    ConversionOutcome succeeded = ConversionOutcome::Succeeded(std::move(notices));
    succeeded.rowsWritten = static_cast<int>(table.size());
    return succeeded;
}

}  // namespace

ConversionOutcome ConvertFareTableWith(const std::string& inputPath, const std::string& outputPath,
                                       const ConversionOptions& options) noexcept {
    return RunUseCase(inputPath, outputPath, true, [&](UseCaseProgress& progress) {
        return Convert(inputPath, outputPath, options, progress);
    });
}

ConversionOutcome ConvertFareTable(const std::string& inputPath,
                                   const std::string& outputPath) noexcept {
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
