#include "conversion/batch_wording.h"

namespace conversion {
namespace {

constexpr char kNotWritten[] = "（出力ファイルは変更していません）。";

}  // namespace

std::string TestReminderText() {
    return "運賃表示器を動かして表示テストを行ってください。";
}

std::string ConvertedText(int rows) {
    return "正常にコンバートされました（" + std::to_string(rows) + "行）。";
}

std::string WrittenBackText(WrittenForm form, int rows) {
    return std::string(form == WrittenForm::kText ? "テキスト" : "ブック") + "に書き戻しました（" +
           std::to_string(rows) + "行）。";
}

std::string NotWrittenText(NotWritten why) {
    switch (why) {
        case NotWritten::kFailed:
            return std::string("失敗しました") + kNotWritten;
        case NotWritten::kNothingToConvert:
            return std::string("変換する行がありません") + kNotWritten;
        case NotWritten::kWithheld:
            break;
    }
    return std::string("注意があるため書き出していません") + kNotWritten;
}

std::string WithheldText() {
    return "注意があるため書き出していません（--strict）。出力ファイルは変更していません。";
}

std::string BatchSummaryText(size_t total, int written, int failed, int withheld, int empty) {
    std::string summary =
        std::to_string(total) + " 個のうち " + std::to_string(written) + " 個を変換しました。";
    if (failed > 0) {
        summary += std::to_string(failed) + " 個は失敗しました。";
    }
    if (withheld > 0) {
        summary += std::to_string(withheld) + " 個は注意があるため書き出していません。";
    }
    if (empty > 0) {
        summary += std::to_string(empty) + " 個は変換する行がありませんでした。";
    }
    return summary;
}

std::string NoFileNameText(const std::string& input) {
    return "ファイル名がありません: " + input;
}

std::string SharedOutputText(const std::string& output, const std::string& first,
                             const std::string& second) {
    return "出力ファイルが同じ " + output + " になる入力が二つあります: " + first + " と " + second;
}

std::string SheetNotFileNameText(const std::string& source) {
    return "シート名をファイル名にできません: " + source;
}

std::string SharedSheetOutputText(const std::string& output, const std::string& first,
                                  const std::string& second) {
    return "出力ファイルが同じ " + output + " になるシートが二つあります: " + first + " と " +
           second;
}

std::string LostOutputText(LostOutput why) {
    std::string text = "標準出力に書き込めませんでした";
    if (why == LostOutput::kClosedPipe) {
        text += "（読み取る側が閉じています）";
    } else if (why == LostOutput::kDiskFull) {
        text += "（ディスクの空きがありません）";
    }
    return text + "。表示の一部または全部が失われています。";
}

}  // namespace conversion
