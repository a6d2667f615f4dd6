#include "conversion/wording.h"

#include <string_view>

#include "conversion/failure_wording.h"
#include "conversion/name_wording.h"
#include "fare_model/fare_table_listing.h"

namespace conversion {
namespace {

std::string Quoted(std::string_view text) {
    return "「" + std::string(text) + "」";
}

std::string Where(const Notice& notice) {
    return PlaceText(notice.line, notice.field, notice.cell);
}

std::string RowOf(const RecordDifference& difference) {
    return std::to_string(difference.row) + "行目（" +
           ShortenedName(fare_model::PrintableName(difference.place)) + "）";
}

std::string Change(int oldValue, int newValue) {
    return "を " + std::to_string(oldValue) + " から " + std::to_string(newValue) +
           " に変えました。";
}

// Rows past the display unit's limit are told of but never written.
bool Converted(const Notice& notice) {
    return notice.line <= kMaxTableRows;
}

// "NUL（16進 00）", "Ctrl-Z（16進 1A）": how an editor's user knows the character.
std::string ControlName(int code) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name = code == 0 ? "NUL" : code == 0x7F ? "DEL" : "Ctrl-";
    if (code > 0 && code < 0x20) {
        name += static_cast<char>('@' + code);
    }
    return name + "（16進 " + kHex[(code >> 4) & 0xF] + kHex[code & 0xF] + "）";
}

std::string StopCalled(std::string_view name) {
    return name.empty() ? "名前のない停留所" : Quoted(name) + "という停留所";
}

const char kSaveWithTheCharacterSet[] =
    "表計算ソフトで文字セットを「日本語 (Shift_JIS)」か「Unicode (UTF-8)」にして保存し直して"
    "ください。";

std::string QuotedSeparatorText(const Notice& notice) {
    std::string parts;
    for (size_t k = 0; k < notice.parts.size(); ++k) {
        parts += (k == 0                         ? ""
                  : k + 1 == notice.parts.size() ? " と "
                                                 : "、") +
                 std::to_string(notice.parts[k]);
    }
    const bool fares = notice.field.value_or(1) >= 3;
    return Where(notice) + "の" + Quoted(notice.text) + "は、引用符の中の区切りで" +
           (parts.empty() ? "" : " " + parts + " の") + std::to_string(notice.count) +
           "つの欄に分かれ、その後ろの" + (fares ? "運賃" : "欄") + "は" +
           std::to_string(notice.count - 1) +
           "つずつ後ろにずれました。表計算ソフトで「セルの内容を表示どおりに保存」のチェックを"
           "外して保存し直してください。";
}

}  // namespace

std::optional<std::string> OutcomeText(const ConversionOutcome& outcome) {
    switch (outcome.kind) {
        case ConversionOutcome::Kind::kSucceeded:
            return "正常にコンバートされました。\r\n" + TestReminderText();
        case ConversionOutcome::Kind::kFailed: {
            return CodeAndDescription(outcome.error.value()) + "\r\n" + CheckTheFileText();
        }
        case ConversionOutcome::Kind::kNothingToConvert:
        case ConversionOutcome::Kind::kWithheld:
            break;
    }
    return std::nullopt;
}

std::string ErrorFoundText(const fare_model::RunError& error) {
    return "入力ファイルの" + PlaceText(error.line().value_or(0), std::nullopt, error.cell()) +
           "でエラーが見つかりました。";
}

std::string NoticeText(const Notice& notice) {
    const std::string count = std::to_string(notice.count);
    const std::string value = std::to_string(notice.value);
    const std::string row = PlaceText(notice.line);
    switch (notice.kind) {
        case Notice::Kind::kRowsBeyondLimit:
            return row + "から" + count + "行は変換していません（変換するのは" +
                   std::to_string(kMaxTableRows) + "行までです）。";
        case Notice::Kind::kRowsAfterBlankLine:
            return row + "の空行で表が終わり、その後の" + count + "行は変換していません。";
        case Notice::Kind::kTextInNumber:
            if (notice.count > 1) {
                return row + "に数値でない欄が" + count + "個あります（" + Where(notice) + "の" +
                       Quoted(notice.text) + "を " + value + " と読むなど）。";
            }
            return Where(notice) + "の" + Quoted(notice.text) + "は数値だけではないため、" + value +
                   " と読みました。";
        case Notice::Kind::kQuotedSeparator:
            return QuotedSeparatorText(notice);
        case Notice::Kind::kRounded:
            if (notice.count > 1) {
                return row + "の小数の値" + count + "個を整数に丸めました（" + Where(notice) +
                       "の" + Quoted(notice.text) + "を " + value + " にするなど）。";
            }
            return Where(notice) + "の" + Quoted(notice.text) + "を " + value + " に丸めました。";
        case Notice::Kind::kEmptyRow:
            return row +
                   "は空の行です（表計算ソフトの空の行は区切りだけの行になります）。"
                   "空の停留所として変換しました。";
        case Notice::Kind::kHeaderRow:
            return row + "は見出しの行のようです（ゾーンと運賃の欄がすべて文字です）。" +
                   StopCalled(notice.text) +
                   "として運賃表示器に出ます（ゾーンと運賃は 0）。見出しの行は表から取り除いて"
                   "ください。";
        case Notice::Kind::kLostLetters:
            return Where(notice) + "の地名" + Quoted(notice.text) +
                   "は、文字が「?」に置き換わっています。文字セットを選ばずに保存した表のようで"
                   "す。" +
                   kSaveWithTheCharacterSet;
        case Notice::Kind::kControlCharacter:
            return Where(notice) + "に制御文字 " + ControlName(notice.value) + "があります。" +
                   (notice.field == 1 ? "地名にそのまま書き込みました。"
                                      : "数値はその文字の前までを読みました。") +
                   "エディタで取り除いてください。";
        case Notice::Kind::kEndOfFileMark:
            return row + "は Ctrl-Z（古いエディタがファイルの終わりに付ける印）だけの行です。" +
                   (Converted(notice) ? "この文字を名前にした停留所として変換しました。"
                                      : "この行は変換していません。") +
                   "エディタでこの行を消してください。";
        case Notice::Kind::kZeroFilledTail:
            return row +
                   "から後ろは 0 のバイト（NUL）で埋まっていて、ファイルが壊れています（保存や"
                   "カードへのコピーが途中で止まると残ります）。" +
                   (Converted(notice) ? "名前が NUL だけの停留所として変換しました。"
                                      : "この部分は変換していません。") +
                   "元の表から保存し直してください。";
        case Notice::Kind::kHiddenRow:
            return Where(notice) +
                   "は表計算ソフトで隠した（またはフィルターで除いた）行ですが、表計算ソフトの "
                   "CSV 保存と同じく変換しました。運賃表示器に出してよいか確かめてください。";
        case Notice::Kind::kHiddenColumn:
            return notice.cell +
                   " は表計算ソフトで隠した列ですが、表計算ソフトの CSV 保存と同じく変換しました"
                   "（" +
                   std::to_string(notice.field.value_or(0)) +
                   "列目）。運賃表示器に出してよいか確かめてください。";
        case Notice::Kind::kSheetChosen:
            return "ブックのシート" + std::to_string(notice.count) + "枚（" +
                   QuotedNames(notice.names, static_cast<size_t>(notice.count)) +
                   "）のうち、最初のシート" + Quoted(notice.text) + "を変換しました。";
        case Notice::Kind::kTableStartsLater:
            return "表は " + notice.cell +
                   " から始まるものとして変換しました（その上と左の空の"
                   "行と列は読み飛ばしました）。";
    }
    return {};
}

std::string NothingToConvertText() {
    return "変換する行がありません（入力ファイルが空か、" + PlaceText(1) +
           "が空行です）。出力ファイルは変更していません。";
}

std::string DifferenceText(const RecordDifference& difference) {
    switch (difference.kind) {
        case RecordDifference::Kind::kPlaceRenamed:
            return std::to_string(difference.row) + "行目の地名を「" +
                   ShortenedName(fare_model::PrintableName(difference.oldPlace)) + "」から「" +
                   ShortenedName(fare_model::PrintableName(difference.place)) + "」に変えました。";
        case RecordDifference::Kind::kZoneChanged:
            return RowOf(difference) + "のゾーン番号" +
                   Change(difference.oldValue, difference.newValue);
        case RecordDifference::Kind::kFareChanged:
            return RowOf(difference) + "の運賃" + std::to_string(difference.fare) +
                   Change(difference.oldValue, difference.newValue);
        case RecordDifference::Kind::kRowAdded:
            return RowOf(difference) + "を加えました。";
        case RecordDifference::Kind::kRowRemoved:
            return RowOf(difference) + "がなくなりました。";
    }
    return {};
}

std::string DifferenceSummary(size_t count) {
    if (count == 0) {
        return "前の .hy3 から変わったところはありません。";
    }
    return "前の .hy3 から " + std::to_string(count) + " か所変わりました。";
}

std::string SheetUsedText(const std::string& sheet) {
    return "シート" + Quoted(sheet) + "を変換しました。";
}

std::string ConvertingText() {
    return "変換しています…";
}

std::string NoticeMark() {
    return "注意: ";
}

std::string NoticeCountText(size_t count) {
    return "注意（" + std::to_string(count) + "件）";
}

std::string SavedText(const std::string& fileName) {
    return fileName + " に保存しました。";
}

std::string NotSavedText(const std::string& fileName) {
    return "保存できませんでした（" + fileName + " は変更していません）。";
}

fare_model::ListingHeadings ListingHeadings() {
    return {U"行", U"地名", U"ゾーン", U"運賃"};
}

std::string UnreadableDataFileText(const std::string& fileName) {
    return fileName + " を表として読めません。";
}

}  // namespace conversion
