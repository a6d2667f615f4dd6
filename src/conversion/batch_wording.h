#pragma once

#include <cstddef>
#include <string>

// The sentences of a command-line run over files: one line a file, the summary of a batch,
// the refusals of a batch. Part of the wording module (wording.h).
namespace conversion {

// The reminder after every conversion that wrote a file.
std::string TestReminderText();  // "運賃表示器を動かして表示テストを行ってください。"

// One file's result.
std::string ConvertedText(int rows);  // "正常にコンバートされました（12行）。"
enum class WrittenForm { kText, kWorkbook };
std::string WrittenBackText(WrittenForm form, int rows);  // "テキストに書き戻しました（12行）。"
// The output left as it was: the run failed, found nothing to convert, or withheld a table
// with notices (--strict).
enum class NotWritten { kFailed, kNothingToConvert, kWithheld };
std::string NotWrittenText(NotWritten why);
// Why a withheld table was not written, for the error stream.
std::string WithheldText();

// "3 個のうち 2 個を変換しました。1 個は失敗しました。"
std::string BatchSummaryText(size_t total, int written, int failed, int withheld, int empty);

// The refusals of a batch before anything is written (names already quoted for a shell).
std::string NoFileNameText(const std::string& input);
std::string SharedOutputText(const std::string& output, const std::string& first,
                             const std::string& second);
std::string SheetNotFileNameText(const std::string& source);
std::string SharedSheetOutputText(const std::string& output, const std::string& first,
                                  const std::string& second);

// Standard output could not be written (a closed pipe, a full disk, something else).
enum class LostOutput { kClosedPipe, kDiskFull, kOther };
std::string LostOutputText(LostOutput why);

}  // namespace conversion
