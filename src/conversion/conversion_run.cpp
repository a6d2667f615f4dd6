#include "conversion/conversion_run.h"

#include <algorithm>
#include <vector>

#include "conversion/formats/input_format.h"
#include "conversion/read_back.h"
#include "conversion/same_file.h"
#include "fare_model/fare_data_file.h"
#include "platform/os/code_page.h"

namespace conversion {
namespace {

constexpr int kMaxRows = kMaxTableRows;

// Puts the source's own name for the place of the row read last on what it found.
RunError Placed(const RowSource& source, const RunError& error) {
    std::string cell = source.CellReference(source.rowNumber(), error.field());
    return cell.empty() ? error : error.WithCell(std::move(cell));
}
Notice Placed(const RowSource& source, Notice notice) {
    notice.cell = source.CellReference(source.rowNumber(), notice.field);
    return notice;
}

std::vector<FareLineRecord> ReadRows(RowSource& source, int countedRows, Notices& notices,
                                     int& firstLine) {
    std::vector<FareLineRecord> table;
    table.reserve(static_cast<size_t>(countedRows));
    bool blank = false;
    while (table.size() < kMaxRows) {
        bool counted = static_cast<int>(table.size()) < countedRows;
        FareLineRecord record;
        Notices rowNotices;
        RowSource::Row row = RowSource::Row::kEnd;
        try {
            row = source.ReadRow(counted, record, rowNotices);
        } catch (const RunError& error) {
            throw Placed(source, error.WithLine(source.rowNumber()));
        }
        if (row == RowSource::Row::kEnd) {
            break;
        }
        if (row == RowSource::Row::kBlank) {
            blank = true;
            break;
        }
        if (!counted) {
            // The file grew between the two readings.
            throw RunError(error_code::kSubscriptOutOfRange, Reason::kFileChanged,
                           source.rowNumber());
        }
        for (Notice& notice : rowNotices) {
            notice.line = source.rowNumber();
            notices.push_back(Placed(source, std::move(notice)));
        }
        if (table.empty()) {
            firstLine = source.rowNumber();
        }
        table.push_back(std::move(record));
    }
    // The file shrank between the two readings: the table it now holds is not the one counted.
    if (static_cast<int>(table.size()) < std::min(countedRows, kMaxRows)) {
        int endLine = blank ? source.rowNumber() : source.rowNumber() + 1;
        throw RunError(error_code::kSubscriptOutOfRange, Reason::kFileChanged, endLine);
    }
    return table;
}

// Writes the data file's bytes and puts it in place: the new file replaces the old one
// only once it is whole, so a failure leaves the output path exactly as it was. The input's
// identity is checked again right before the rename: the output may have been swapped for a
// link to the input since the first check.
void WriteFareDataFile(platform::OutputFile& output, const std::string& bytes,
                       const platform::FileIdentity& input) {
    output.Write(bytes);
    output.Commit(input);
}

}  // namespace

ConversionOutcome ConvertRows(platform::FileSystem& files, RowSource& source,
                              const platform::FileIdentity& input, const std::string& outputPath,
                              const ConversionOptions& options, UseCaseProgress& progress) {
    Notices& notices = progress.notices;
    // Set up before the output's files are opened: the system may load its code page 932
    // table from a file of its own the first time it is asked, and a workbook, unlike a text,
    // asks for none while its rows are read.
    platform::Cp932Codec cp932;
    TableCount count = source.CountRows();
    int rows = count.rows;
    if (rows == 0) {
        return ConversionOutcome::NothingToConvert();
    }
    rows = std::min(rows, kMaxRows);
    notices = source.TableNotices();

    std::unique_ptr<platform::OutputFile> output;
    if (!options.keepInMemory) {
        RefuseOutputOverInput(files, outputPath, input);
        // Opened before the second reading, so that an output that cannot be written fails
        // before any row is parsed.
        progress.at = ConcernedFile::Role::kOutput;
        output = files.CreateOutput(outputPath, options.outputSeams);
        progress.at = ConcernedFile::Role::kInput;
    }
    if (options.betweenReadings) {
        options.betweenReadings();
    }
    source.Restart(count);
    int firstLine = 1;
    std::vector<FareLineRecord> table = ReadRows(source, rows, notices, firstLine);
    // What the table loses as a whole comes after what its rows misread, in line order.
    if (count.rows > kMaxRows) {
        // A damaged tail or an end-of-file mark past the limit is told as what it is, not as
        // one more row left out.
        const bool junk = count.lastRowJunk != TableCount::Junk::kNone;
        if (count.rows - kMaxRows - (junk ? 1 : 0) > 0) {
            notices.push_back({Notice::Kind::kRowsBeyondLimit,
                               kMaxRows + 1,
                               std::nullopt,
                               {},
                               0,
                               count.rows - kMaxRows - (junk ? 1 : 0)});
        }
        if (junk) {
            Notice notice;
            notice.kind = count.lastRowJunk == TableCount::Junk::kZeroFilled
                              ? Notice::Kind::kZeroFilledTail
                              : Notice::Kind::kEndOfFileMark;
            notice.line = count.rows;
            notices.push_back(std::move(notice));
        }
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
        withheld.sheet = source.SheetName();
        return withheld;
    }
    // The records become bytes before the output is touched: a place name that code page 932
    // cannot write is the input's fault, on its own row, not the output's.
    const std::string bytes = fare_model::FareDataFileBytes(table, cp932);
    if (options.keepInMemory) {
        ConversionOutcome kept = ConversionOutcome::Succeeded(std::move(notices));
        kept.rowsWritten = static_cast<int>(table.size());
        kept.records = std::move(table);
        kept.sheet = source.SheetName();
        kept.firstLine = firstLine;
        return kept;
    }
    // Read before it is replaced: what this revision changes on the card.
    std::optional<RecordDifferences> differences =
        CompareWithExistingFile(files, outputPath, table);
    progress.at = ConcernedFile::Role::kOutput;
    WriteFareDataFile(*output, bytes, input);
    ConversionOutcome succeeded = ConversionOutcome::Succeeded(std::move(notices));
    succeeded.rowsWritten = static_cast<int>(table.size());
    succeeded.differences = std::move(differences);
    succeeded.sheet = source.SheetName();
    succeeded.firstLine = firstLine;
    return succeeded;
}

ConversionOutcome ConvertFareTableWith(platform::FileSystem& files, const std::string& inputPath,
                                       const std::string& outputPath,
                                       const ConversionOptions& options) noexcept {
    return RunUseCase(inputPath, outputPath, true, [&](UseCaseProgress& progress) {
        // The input is opened once; its format reads it from this handle.
        std::unique_ptr<platform::InputFile> input = files.OpenInput(inputPath);
        RefuseOutputOverInputSpelledApart(files, inputPath, outputPath);
        std::unique_ptr<RowSource> source =
            OpenRowSource(*input, {options.sheet, options.startRow});
        return ConvertRows(files, *source, input->Identity(), outputPath, options, progress);
    });
}

ConversionOutcome ConvertFareTableWith(const std::string& inputPath, const std::string& outputPath,
                                       const ConversionOptions& options) noexcept {
    return ConvertFareTableWith(platform::SystemFileSystem(), inputPath, outputPath, options);
}

ConversionOutcome ConvertFareTable(const std::string& inputPath,
                                   const std::string& outputPath) noexcept {
    return ConvertFareTableWith(inputPath, outputPath, ConversionOptions{});
}

}  // namespace conversion
