#include "conversion/workbook/workbook_errors.h"

namespace conversion::workbook {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

// What a user can do with any workbook this program cannot read.
constexpr std::string_view kWhatToDo =
    "表計算ソフトで開き、「Excel 2007-365 ブック (.xlsx)」か「ODF スプレッドシート (.ods)」の"
    "形式で保存し直してから変換してください。CSV で保存する場合は、「セルの内容を表示どおりに"
    "保存」のチェックを外してください。";

std::string ProblemText(BookProblem problem, std::string_view detail) {
    std::string where = detail.empty() ? std::string() : "（" + std::string(detail) + "）";
    switch (problem) {
        case BookProblem::kLegacyOrProtected:
            return "このファイルは Excel 97-2003 形式 (.xls) のブックか、パスワードで保護された"
                   "ブックで、このままでは読めません（パスワードがあれば外してください）。";
        case BookProblem::kNotWorkbook:
            return "このファイルは表計算のブック (.xlsx, .ods) ではありません" + where + "。";
        case BookProblem::kDamaged:
            return "このブックは壊れているか、途中で切れていて読めません" + where + "。";
        case BookProblem::kEncrypted:
            return "このブックはパスワードで保護（暗号化）されていて読めません。"
                   "パスワードを外してください。";
        case BookProblem::kForbiddenMarkup:
            return "このブックには表計算ソフトが書かない XML の宣言（DOCTYPE や実体の定義）が"
                   "あるため、読まずに止めました" +
                   where + "。";
        case BookProblem::kTooDeep:
            return "このブックは XML の入れ子が深すぎるため、読まずに止めました" + where + "。";
    }
    return {};
}

}  // namespace

RunError UnreadableBook(BookProblem problem, std::string_view detail) {
    return RunError(error_code::kBadFileFormat)
        .WithExplanation(ProblemText(problem, detail) + std::string(kWhatToDo));
}

RunError PartTooLarge(std::string_view part, size_t limit) {
    return RunError(error_code::kOverflow)
        .WithExplanation("このブックの " + std::string(part) + " は展開すると " +
                         std::to_string(limit >> 20) +
                         " MiB を超えるため、読まずに止めました（運賃表としては大きすぎます）。");
}

RunError CellTextTooLong(std::string_view sheet, std::string_view reference) {
    return RunError(error_code::kOverflow)
        .WithExplanation("セル " + std::string(sheet) + "!" + std::string(reference) +
                         " の文字が多すぎます。");
}

RunError MissingSheet(std::string_view name, const std::vector<std::string>& sheets) {
    std::string names;
    for (const std::string& sheet : sheets) {
        names += (names.empty() ? "「" : "、「") + sheet + "」";
    }
    return RunError(error_code::kSubscriptOutOfRange)
        .WithExplanation("このブックに「" + std::string(name) + "」というシートはありません" +
                         (names.empty() ? std::string("（シートがひとつもありません）")
                                        : "（あるのは" + names + "です）") +
                         "。");
}

}  // namespace conversion::workbook
