#include "conversion/print_wording.h"

namespace conversion {

std::string ChartTitle(bool revision) {
    return revision ? "新旧対照表" : "運賃表";
}

std::string ChartFactsText(const std::string& fileName, const std::string& fileDate, size_t records,
                           const std::string& printedDate) {
    std::string text = fileName;
    if (!fileDate.empty()) {
        text += "　ファイルの日付 " + fileDate;
    }
    return text + "　" + std::to_string(records) + " 行　印刷 " + printedDate;
}

std::string PageNumberText(int page, int pages) {
    return std::to_string(page) + " / " + std::to_string(pages);
}

std::string NoticeLegendText() {
    return "＊ 注意のあったセル";
}

std::string ChangedLegendText() {
    return "太枠 前の .hy3 から変わったセル（前の値→新しい値）";
}

std::string OldAndNewText(int oldValue, int newValue) {
    return std::to_string(oldValue) + "→" + std::to_string(newValue);
}

std::string RevisionSummaryText(const fare_model::RevisionCount& count) {
    std::string text = "運賃が上がったところ " + std::to_string(count.rose) +
                       " か所、下がったところ " + std::to_string(count.fell) +
                       " か所、加わった運賃 " + std::to_string(count.added) +
                       " か所、なくなった運賃 " + std::to_string(count.removed) + " か所。";
    if (count.rowsAdded > 0 || count.rowsRemoved > 0) {
        text += "加わった行 " + std::to_string(count.rowsAdded) + " 行、なくなった行 " +
                std::to_string(count.rowsRemoved) + " 行。";
    }
    return text;
}

std::string ChartNotesHeading() {
    return "表にない変更と注意";
}

std::string PrintedText(const std::string& fileName) {
    return fileName + " を印刷しました。";
}

std::string NotPrintedText() {
    return "印刷できませんでした。";
}

std::string PrintingText(const std::string& fileName) {
    return fileName + " を印刷しています…";
}

std::string SavingPdfText(const std::string& fileName) {
    return fileName + " に保存しています…";
}

std::string PdfUsageText() {
    return "使い方: rukanoba3 --pdf [--compare 前の.hy3] [--] 入力ファイル 出力.pdf\n";
}

std::string PdfPathsUsageText() {
    return "入力ファイルと出力する PDF を一つずつ指定してください";
}

std::string PdfCompareUsageText() {
    return "--compare のあとに前の .hy3 を一つ指定してください";
}

std::string UnknownOptionText(const std::string& option) {
    return "不明なオプションです: " + option;
}

}  // namespace conversion
