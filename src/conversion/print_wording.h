#pragma once

#include <string>

#include "fare_model/revision_comparison.h"

// The sentences of a printed fare table and of its revision chart, and of printing itself.
namespace conversion {

// The chart's title: "運賃表", or for a revision "新旧対照表".
std::string ChartTitle(bool revision);
// The facts under the title (dates as the caller formats them):
// "運賃.hy3　ファイルの日付 2026/12/10 9:30　7 行　印刷 2026/12/10 10:02".
std::string ChartFactsText(const std::string& fileName, const std::string& fileDate, size_t records,
                           const std::string& printedDate);
// "1 / 3"
std::string PageNumberText(int page, int pages);
// What the marks mean, as the chart draws them.
std::string NoticeLegendText();  // "＊ 注意のあったセル"
std::string ChangedLegendText();  // "太枠 前の .hy3 から変わったセル（前の値→新しい値）"
// A changed value as a cell of the revision chart shows it: "140→150".
std::string OldAndNewText(int oldValue, int newValue);
// "運賃が上がったところ 3 か所、下がったところ 1 か所、加わった運賃 2 か所、なくなった運賃 0
// か所。" and, where whole rows came or went, "加わった行 1 行、なくなった行 2 行。" after it.
std::string RevisionSummaryText(const fare_model::RevisionCount& count);
// The heading of the lines after the table: "表にない変更と注意".
std::string ChartNotesHeading();

// Printing from the window: "運賃.hy3 を印刷しました。", and its failure's first line.
std::string PrintedText(const std::string& fileName);
std::string NotPrintedText();  // "印刷できませんでした。"
// While the pages go to the printer, and while a PDF is written.
std::string PrintingText(const std::string& fileName);
std::string SavingPdfText(const std::string& fileName);

// rukanoba3 --pdf: its usage, and what is wrong with a command line.
std::string PdfUsageText();  // "使い方: rukanoba3 --pdf …\n"
std::string PdfPathsUsageText();  // "入力ファイルと出力する PDF を一つずつ指定してください"
std::string PdfCompareUsageText();  // "--compare のあとに前の .hy3 を一つ指定してください"
std::string UnknownOptionText(const std::string& option);  // "不明なオプションです: --x"

}  // namespace conversion
