#pragma once

#include <optional>
#include <string>

#include "conversion/batch_wording.h"
#include "conversion/failure_wording.h"
#include "conversion/outcome.h"
#include "conversion/place_wording.h"
#include "fare_model/fare_table_listing.h"

// Every sentence the user reads about an outcome, in one place, free of any toolkit: the
// window and hy3conv only lay these texts out.
namespace conversion {

// The status text for an outcome (UTF-8, two lines joined by CR LF): for kSucceeded
// "正常にコンバートされました。" and the test reminder, for kFailed CodeAndDescription and
// CheckTheFileText; none for kNothingToConvert and kWithheld.
std::optional<std::string> OutcomeText(const ConversionOutcome& outcome);

// "入力ファイルの12行目でエラーが見つかりました。"
std::string ErrorFoundText(const fare_model::RunError& error);

// What stands before a notice where it is shown among other lines: "注意: ".
std::string NoticeMark();
// "変換しています…": what the window says while a conversion takes its time.
std::string ConvertingText();

// "シート「運賃」を変換しました。": which sheet of a workbook became the data file.
std::string SheetUsedText(const std::string& sheet);

// One line of plain Japanese (UTF-8) that says what happened, without the file's name: for
// example "302行目から199行は変換していません（変換するのは301行までです）。".
std::string NoticeText(const Notice& notice);

// One line of plain Japanese (UTF-8) that names a difference between two tables, without the file's
// name: for example "3行目（地名２）の運賃5を 140 から 150 に変えました。". Control characters in a
// name are shown as \xNN.
std::string DifferenceText(const RecordDifference& difference);

// The count as the status line and the command line give it: "前の .hy3 から 12 か所変わりました。"
// or, for none, "前の .hy3 から変わったところはありません。".
std::string DifferenceSummary(size_t count);

// The heading of the list of a table's notices: "注意（3件）".
std::string NoticeCountText(size_t count);

// Where a table was written back as a text (`fileName` in UTF-8), and where it was not:
// "運賃.txt に保存しました。", "保存できませんでした（運賃.txt は変更していません）。"
std::string SavedText(const std::string& fileName);
std::string NotSavedText(const std::string& fileName);

// The column headings of a .hy3 file's records listed for a terminal.
fare_model::ListingHeadings ListingHeadings();

// The first line where a .hy3 file cannot be shown as a table, before its error:
// "運賃.hy3 を表として読めません。"
std::string UnreadableDataFileText(const std::string& fileName);

// Why a table gave nothing to convert, as hy3conv says it.
std::string NothingToConvertText();

}  // namespace conversion
