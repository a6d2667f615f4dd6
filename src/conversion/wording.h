#pragma once

#include <optional>
#include <string>

#include "conversion/notice.h"
#include "conversion/outcome.h"

// Every sentence the user reads about an outcome, in one place, free of any toolkit: the
// window and hy3conv only lay these texts out.
namespace conversion {

// The status text for an outcome (UTF-8, two lines joined by CR LF): for kSucceeded
// "正常にコンバートされました。" and the test reminder, for kFailed "CODE:DESCRIPTION" and
// "ファイルを点検してください。"; none for kNothingToConvert and kWithheld.
std::optional<std::string> OutcomeText(const ConversionOutcome& outcome);

// The place of a problem: "12行目", "12行目5列目", followed by the source's own name for the
// cell where it has one: "12行目5列目（運賃!C12）".
std::string PlaceText(int line, std::optional<int> field = std::nullopt,
                      const std::string& cell = {});
// "入力ファイルの12行目でエラーが見つかりました。"
std::string ErrorFoundText(const platform::RunError& error);

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

// The first line where a .hy3 file cannot be shown as a table, before its error:
// "運賃.hy3 を表として読めません。"
std::string UnreadableDataFileText(const std::string& fileName);

// Why a table gave nothing to convert, as hy3conv says it.
std::string NothingToConvertText();

// The explanations of failures the use cases find, each said once.
namespace explanation {
std::string FileRole(ConcernedFile::Role role);  // "変換元（入力ファイル）のエラーです。"
std::string FileChanged();
std::string SameFile();  // the description of the refusal to write an output over its input
std::string NotRegularFile();
std::string DataFileTooLarge(size_t limit);
std::string WorkbookFileTooLarge(size_t limit);
std::string PlaceNameTooLong();
std::string TooManyFields(int column);
std::string OutOfRange(const std::string& shownText);
// A table saved as UTF-16 without its byte order mark, and how to save it instead.
std::string Utf16WithoutMark();
std::string NotAWorkbook();  // a sheet was asked for, but the input is a text table
// The library that writes workbooks, loaded when one is written, is missing or damaged.
std::string LibraryMissing(const std::string& library, const std::string& reason);
}  // namespace explanation

}  // namespace conversion
