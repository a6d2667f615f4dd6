#include "conversion/failure_wording.h"

#include <cstdio>

#include "conversion/file_wording.h"
#include "conversion/name_wording.h"
#include "conversion/place_wording.h"
#include "platform/os/run_error.h"

namespace conversion {
namespace {

std::string Number(int64_t number) {
    return std::to_string(number);
}

std::string MiB(int64_t bytes) {
    return Number(bytes >> 20);
}

// "（…）" around where a workbook's damage was found, where that is known.
std::string Where(const std::string& where) {
    return where.empty() ? std::string() : "（" + where + "）";
}

std::string DataFileEnds(const RunError& error, const std::string& inside) {
    return "ファイルにこれ以上データがありません（" + PlaceText(error.line().value_or(0)) + "の" +
           inside + "の途中でファイルが終わっています）。";
}

// What a user can do with any workbook this program cannot read.
constexpr char kWhatToDoWithTheBook[] =
    "表計算ソフトで開き、「Excel 2007-365 ブック (.xlsx)」か「ODF スプレッドシート (.ods)」の"
    "形式で保存し直してから変換してください。CSV で保存する場合は、「セルの内容を表示どおりに"
    "保存」のチェックを外してください。";

constexpr char kOpenAndSaveTheBook[] =
    "表計算ソフト（LibreOffice Calc や Excel）でブックを開いて保存し直してから変換してください。";

// Why a file is no workbook this program reads; empty for other reasons.
std::string UnreadableBookText(const RunError& error) {
    const std::string& text = error.text();
    const std::string damaged = "このブックは壊れているか、途中で切れていて読めません";
    switch (error.reason()) {
        case Reason::kLegacyOrProtected:
            return "このファイルは Excel 97-2003 形式 (.xls) のブックか、パスワードで保護された"
                   "ブックで、このままでは読めません（パスワードがあれば外してください）。";
        case Reason::kNotWorkbook:
            return "このファイルは表計算のブック (.xlsx, .ods) ではありません。";
        case Reason::kZipOfOtherDocument:
            return "このファイルは表計算のブック (.xlsx, .ods) ではありません（表計算でない文書か、"
                   "ほかのファイルの zip です）。";
        case Reason::kBookDamaged:
            return damaged + Where(text) + "。";
        case Reason::kZipDirectoryUnreadable:
            return damaged + Where("zip の目録が読めません") + "。";
        case Reason::kPartMissing:
            return damaged + Where(text + " がありません") + "。";
        case Reason::kPartUnopenable:
            return damaged + Where(text + " が開けません") + "。";
        case Reason::kPartUninflatable:
            return damaged + Where(text + " が展開できません") + "。";
        case Reason::kXmlMalformed:
            return damaged + Where(text + " の " + Number(error.number()) + " 行目") + "。";
        case Reason::kSheetWithoutContent:
            return damaged + Where("シート「" + text + "」の中身がありません") + "。";
        case Reason::kSharedStringMissing:
            return damaged + Where(text + " の文字列が見つかりません") + "。";
        case Reason::kBookEncrypted:
            return "このブックはパスワードで保護（暗号化）されていて読めません。"
                   "パスワードを外してください。";
        case Reason::kForbiddenMarkup:
            return "このブックには表計算ソフトが書かない XML の宣言（DOCTYPE や実体の定義）が"
                   "あるため、読まずに止めました" +
                   Where(text) + "。";
        case Reason::kTooDeep:
            return "このブックは XML の入れ子が深すぎるため、読まずに止めました" + Where(text) +
                   "。";
        default:
            return {};
    }
}

std::string MissingSheetText(const RunError& error) {
    const std::string names = QuotedNames(error.names(), static_cast<size_t>(error.number()));
    return "このブックに「" + error.text() + "」というシートはありません" +
           (names.empty() ? std::string("（シートがひとつもありません）")
                          : "（あるのは" + names + "です）") +
           "。";
}

// "「😀」(U+1F600) は Shift-JIS で書けません。"
std::string UnwritableCharacterText(const RunError& error) {
    if (error.text().empty()) {
        return {};
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(error.number()));
    return "「" + error.text() + "」(" + code + ") は Shift-JIS で書けません。";
}

// The reason's own explanation; empty where it has none.
std::string ReasonText(const RunError& error) {
    switch (error.reason()) {
        case Reason::kPlaceNameTooLong:
            return "地名が 65535 バイトを超えています。";
        case Reason::kTooManyFields:
            return "運賃が150個を超えています（" + Number(error.number()) +
                   "番目の欄があります。表計算ソフトで保存した行の末尾の空の列も欄に数えます）。";
        case Reason::kOutOfRange:
            return "「" + error.text() + "」が -32768〜32767 の範囲を超えています。";
        case Reason::kNameNotWritable:
            return UnwritableCharacterText(error);
        case Reason::kWorkbookNotWritten:
            return "ブックを書き出せませんでした（" + error.text() + "）。";
        case Reason::kWorkbookNotReadBack:
            return "書き出したブックを読み戻すと、書いた内容になっていませんでした（出力先の空きが"
                   "足りないか、ファイルの大きさの上限を超えたようです）。前のファイルは変更して"
                   "いません。";
        case Reason::kWorkbookLibraryMissing:
            return "ブックを書き出すためのライブラリ " + error.text() +
                   " を読み込めませんでした。このプログラムをインストールし直してください（" +
                   (error.names().empty() ? std::string() : error.names().front()) + "）。";
        case Reason::kOutputTooLarge:
            return "書き出すファイルが大きすぎます（" + MiB(error.number()) +
                   " MiB を超えました）。";
        case Reason::kUtf16WithoutMark:
            return "1バイトおきに 0 のバイトが並んでいます。表計算ソフトやエディタで、文字コードを"
                   "「日本語 (Shift_JIS)」か UTF-8 にして保存し直してください（UTF-16 なら BOM "
                   "付きで保存すれば読めます）。";
        case Reason::kNotCp932:
            return error.text().empty() ? std::string()
                                        : "読めないバイト列: " + error.text() +
                                              "（16進）。文字化けしたファイルか、別の文字コードで"
                                              "保存されています。";
        case Reason::kNotUtf8:
            return error.text().empty() ? std::string()
                                        : "読めないバイト列: " + error.text() + "（16進）。";
        case Reason::kTooManyRows:
            return "表の行が 32767 行を超えています。";
        case Reason::kFileChanged:
            return "読んでいる間に入力ファイルが書き換えられました。";
        case Reason::kNotAWorkbook:
            return "シートや表の始まりの行を選べるのは表計算のブック (.xlsx, .ods) "
                   "だけです。この入力はテキストの表です。";
        case Reason::kNotRegularFile:
            return "通常のファイルではありません（フォルダ、パイプ、装置は読めません）。";
        case Reason::kDataFileTooLarge:
            return ".hy3 ファイルとして大きすぎます（読めるのは " + MiB(error.number()) +
                   " MiB までです）。";
        case Reason::kWorkbookTooLarge:
            return "ブックとして大きすぎます（読めるのは " + MiB(error.number()) +
                   " MiB までです）。";
        case Reason::kNoOutputFolder:
            return "出力先のフォルダがありません。";
        case Reason::kOutputNotFolder:
            return "-o のあとにはフォルダを指定してください。";
        case Reason::kPartTooLarge:
            return "このブックの " + error.text() + " は展開すると " + MiB(error.number()) +
                   " MiB を超えるため、読まずに止めました（運賃表としては大きすぎます）。";
        case Reason::kCellTextTooLong:
            return "セル " + error.text() + " の文字が多すぎます。";
        case Reason::kMissingSheet:
            return MissingSheetText(error);
        case Reason::kFormulaWithoutResult:
            return "セル " + error.cell() +
                   " は計算式ですが、計算した値がファイルに保存されていません（プログラムで作った"
                   "ブックは、表計算ソフトで保存するまで値を持ちません）。" +
                   kOpenAndSaveTheBook;
        case Reason::kFormulaError:
            return "セル " + error.cell() + " の計算式の結果がエラー「" + error.text() +
                   "」です。表計算ソフトで式を直して保存し直してから変換してください。";
        case Reason::kDateInNumberCell:
            return "セル " + error.cell() + " は日付か時刻（「" + error.text() +
                   "」）で、ゾーンや運賃の数値ではありません。表計算ソフトで数値を入れ、保存し直"
                   "してから変換してください。";
        case Reason::kBooleanInNumberCell:
            return "セル " + error.cell() + " は論理値（「" + error.text() +
                   "」）で、ゾーンや運賃の数値ではありません。表計算ソフトで数値を入れ、保存し直"
                   "してから変換してください。";
        default: {
            const std::string book = UnreadableBookText(error);
            return book.empty() ? book : book + kWhatToDoWithTheBook;
        }
    }
}

bool IsFileError(int code) {
    return code >= error_code::kBadFileName;
}

}  // namespace

std::string DescriptionText(const RunError& error) {
    switch (error.reason()) {
        case Reason::kNameNotWritable:
        case Reason::kNameNotCp932:
            return "地名に Shift-JIS で表せない文字があります。";
        case Reason::kDataFileTooShort:
            return "ファイルが短すぎます（2バイトの件数がありません）。";
        case Reason::kDataFileNegativeCount:
            return "件数が負の値です（" + Number(error.number()) + "）。";
        case Reason::kDataFileEndsInLength:
            return DataFileEnds(error, "地名のバイト数");
        case Reason::kDataFileEndsInFares:
            return DataFileEnds(error, "ゾーン番号と運賃");
        case Reason::kDataFileNamePastEnd:
            return "ファイルにこれ以上データがありません（" + PlaceText(error.line().value_or(0)) +
                   "の地名のバイト数 " + Number(error.number()) + " が残りのバイト数 " +
                   Number(error.other()) + " を超えています）。";
        case Reason::kDataFileNameNotCp932:
            return "地名に Shift-JIS として読めないバイト列があります。";
        case Reason::kDataFileNameNotStandard:
            return "地名に Shift-JIS の標準と異なる形の文字があります（書き戻すと別のバイト"
                   "になります）。";
        case Reason::kDataFileExtraBytes:
            return "最後の行（件数 " + Number(error.number()) + "）のあとに余分なデータが " +
                   Number(error.other()) + " バイトあります。";
        case Reason::kNoRecords:
            return "書き出す行がありません（0 行の表はコンバートできません）。";
        case Reason::kTooManyRecords:
            return "行が多すぎます（運賃表示器が読めるのは " + Number(kMaxTableRows) +
                   " 行までで、この表は " + Number(error.number()) + " 行あります）。";
        case Reason::kNameStartsWithSpace:
            return "地名が空白で始まっています（読み戻すと先頭の空白が消えます）。";
        case Reason::kNameHoldsSeparator:
            return "地名に区切り文字（「,」「，」またはタブ）があります。";
        case Reason::kNameHoldsQuote:
            return "地名に二重引用符（\"）があります。";
        case Reason::kNameHoldsLineEnd:
            return "地名に改行文字があります。";
        case Reason::kNameNotRoundTrip:
            return "地名が Shift-JIS で同じ文字に読み戻せません。";
        case Reason::kTableTakenForUtf8:
            return "表のバイト列全体が UTF-8 としても読めるため、コンバートすると地名が別の文字に"
                   "なります。";
        case Reason::kTableTakenForWorkbook:
            return "最初の地名の先頭が表計算ブックの印と同じバイト列のため、コンバートするとブック"
                   "として読まれます。";
        case Reason::kNameTooLongForCell:
            return "地名が長すぎて、表計算のセルに入りません。";
        case Reason::kUtf16WithoutMark:
            return "入力ファイルは BOM のない UTF-16 で保存されているようです。";
        case Reason::kNotUtf16:
            return "入力ファイルに UTF-16 として読めないバイト列があります。";
        case Reason::kNotUtf8:
            return "入力ファイルに UTF-8 として読めないバイト列があります。";
        case Reason::kNotCp932:
            return "入力ファイルに Shift-JIS として読めないバイト列があります。";
        case Reason::kSameFile:
            return "変換元と変換先が同じファイルです。";
        default:
            return platform::DescriptionForCode(error.code());
    }
}

std::string CodeAndDescription(const RunError& error) {
    return std::to_string(error.code()) + ":" + DescriptionText(error);
}

std::string ExplanationText(const RunError& error) {
    std::string text = ReasonText(error);
    if (text.empty()) {
        text = FileCauseText(error.cause(), error.path()).value_or(std::string());
    }
    if (text.empty() && IsFileError(error.code()) &&
        error.role() != fare_model::FileRole::kUnsaid) {
        text = error.role() == fare_model::FileRole::kOutput
                   ? "変換先（出力ファイル）のエラーです。"
                   : "変換元（入力ファイル）のエラーです。";
    }
    return text;
}

std::string CheckTheFileText() {
    return "ファイルを点検してください。";
}

}  // namespace conversion
