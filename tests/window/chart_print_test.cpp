// Printed fare tables, read back from the PDF with poppler's tools: every name and fare in
// page order, the face embedded, the paper as asked, nothing past a page's edge.
#include <gtest/gtest.h>

#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <set>

#include "conversion/table_in_memory.h"
#include "fare_records.h"
#include "pdf_text.h"
#include "qt_files.h"
#include "template/text/template_text.h"
#include "test_support.h"
#include "window/fare_table_model.h"
#include "window/print/chart_painter.h"
#include "window/print/fare_chart.h"

namespace main_window {
namespace {

using fare_model::FareLineRecord;

// The numbers a line shows, in order.
std::vector<int> Numbers(const QString& text) {
    std::vector<int> numbers;
    static const QRegularExpression number(QStringLiteral("(?<![\\d])-?\\d+"));
    for (const QRegularExpressionMatch& match : number.globalMatch(text)) {
        numbers.push_back(match.captured().toInt());
    }
    return numbers;
}

// Every fare of the big table differs from every other, and none looks like a row number or
// a zone: at least 1000 either way.
int16_t BigFare(int row, int fare) {
    const int k = row * 150 + fare;
    return static_cast<int16_t>(k < 31000 ? 1000 + k : -(1000 + k - 31000));
}

std::u32string Digits(int number) {
    const std::string text = std::to_string(number);
    return std::u32string(text.begin(), text.end());
}

std::vector<FareLineRecord> BigTable() {
    std::vector<FareLineRecord> records;
    for (int row = 0; row < 301; ++row) {
        FareLineRecord record =
            test_support::Record(U"停留所" + Digits(row + 1), static_cast<int16_t>(1 + row % 9));
        for (int fare = 0; fare < 150; ++fare) {
            record.Fares[static_cast<size_t>(fare)] = BigFare(row, fare);
        }
        records.push_back(std::move(record));
    }
    return records;
}

class ChartPrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test_support::HavePdfTools()) {
            GTEST_SKIP() << "poppler-utils (pdftotext, pdffonts) are not installed";
        }
    }

    // Prints the records, as the table window shows them with `marks`, on `layout`.
    PaintedChart Print(const std::vector<FareLineRecord>& records, const TableMarks& marks,
                       const QPageLayout& layout, const QString& pdf) {
        const FareTableModel model(records, marks);
        const FareChart chart = MakeFareChart(
            model, marks, {QStringLiteral("運賃.hy3"), QDateTime(), QDateTime::currentDateTime()});
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageLayout(layout);
        const std::optional<PaintedChart> painted = PaintChart(chart, writer);
        EXPECT_TRUE(painted.has_value());
        return painted.value_or(PaintedChart{});
    }

    QTemporaryDir directory_;
};

TEST_F(ChartPrintTest, TheTemplatePrintsEveryNameZoneAndFareWithTheFaceEmbedded) {
    const QString text = directory_.filePath(QStringLiteral("template.txt"));
    test_support::WriteBytes(text, template_text::TemplateText());
    const conversion::ConversionOutcome table = conversion::ReadTableInMemory(text.toStdString());
    ASSERT_EQ(table.kind, conversion::ConversionOutcome::Kind::kSucceeded)
        << (table.error ? table.error->code() : 0);
    const QString pdf = directory_.filePath(QStringLiteral("template.pdf"));
    const std::optional<QByteArray> bytes = ChartPdf(
        MakeFareChart(FareTableModel(table.records, {}), {},
                      {QStringLiteral("運賃.hy3"), QDateTime(), QDateTime::currentDateTime()}),
        DefaultChartPageLayout());
    ASSERT_TRUE(bytes);
    test_support::WriteBytes(pdf, bytes->toStdString());

    const QStringList pages = test_support::PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("運賃.hy3"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("7 行")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("1 / 1")));
    const QStringList lines = pages[0].split(QLatin1Char('\n'));
    for (size_t row = 0; row < table.records.size(); ++row) {
        const FareLineRecord& record = table.records[row];
        // The name's last word, then the zone and the fares up to the last that is not 0.
        const QString name =
            QString::fromStdU32String(record.PlaceName).split(QChar(0x3000)).last();
        std::vector<int> expected = {record.ZoneNumber};
        for (size_t fare = 0; fare < fare_model::FaresInUse(record); ++fare) {
            expected.push_back(record.Fares[fare]);
        }
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QString& l) { return l.contains(name); });
        ASSERT_NE(line, lines.end()) << name.toStdString();
        EXPECT_EQ(Numbers(line->mid(line->indexOf(name) + name.size())), expected)
            << line->toStdString();
    }
    const QString fonts = test_support::PdfFonts(pdf);
    EXPECT_TRUE(fonts.contains(QStringLiteral("IPA")) && fonts.contains(QStringLiteral("yes")))
        << fonts.toStdString();
    for (const test_support::PdfPageBoxes& page : test_support::PdfWordBoxes(pdf)) {
        EXPECT_GT(page.width, page.height);  // A4 landscape: 842 x 595 points
        EXPECT_NEAR(page.width, 841.9, 1);
    }
}

TEST_F(ChartPrintTest, ABigTableSplitsOverPagesOfAnySizeWithNamesAndHeadingsOnEach) {
    const std::vector<FareLineRecord> records = BigTable();
    struct Paper {
        const char* name;
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
        double width, height;  // points
    };
    const Paper papers[] = {
        {"A4 landscape", QPageSize::A4, QPageLayout::Landscape, 841.9, 595.3},
        {"A4 portrait", QPageSize::A4, QPageLayout::Portrait, 595.3, 841.9},
        {"A3 landscape", QPageSize::A3, QPageLayout::Landscape, 1190.6, 841.9},
        {"A3 portrait", QPageSize::A3, QPageLayout::Portrait, 841.9, 1190.6},
    };
    for (const Paper& paper : papers) {
        SCOPED_TRACE(paper.name);
        const QString pdf = directory_.filePath(QString::fromLatin1(paper.name) + ".pdf");
        const PaintedChart painted =
            Print(records, {},
                  QPageLayout(QPageSize(paper.size), paper.orientation, QMarginsF(10, 10, 10, 10),
                              QPageLayout::Millimeter),
                  pdf);
        const QStringList pages = test_support::PdfPages(pdf);
        ASSERT_EQ(pages.size(), static_cast<qsizetype>(painted.gridPages.size()));
        ASSERT_GT(pages.size(), 1);
        std::set<std::pair<int, int>> printed;
        for (size_t p = 0; p < painted.gridPages.size(); ++p) {
            const ChartPage& page = painted.gridPages[p];
            const QString& text = pages[static_cast<qsizetype>(p)];
            EXPECT_TRUE(text.contains(QStringLiteral("%1 / %2").arg(p + 1).arg(pages.size())));
            EXPECT_TRUE(text.contains(QStringLiteral("運賃%1").arg(page.firstFare + 1)));
            std::vector<int> expected;
            int searchFrom = 0;
            for (int row = page.firstRow; row < page.firstRow + page.rowCount; ++row) {
                const QString name = QStringLiteral("停留所%1").arg(row + 1);
                const int at = text.indexOf(name + QLatin1Char(' '), searchFrom);
                ASSERT_GE(at, 0) << name.toStdString() << " on page " << p + 1;
                searchFrom = at;
                for (int fare = page.firstFare; fare < page.firstFare + page.fareCount; ++fare) {
                    expected.push_back(BigFare(row, fare));
                    EXPECT_TRUE(printed.insert({row, fare}).second);
                }
            }
            // The grid starts at its headings, under the title lines and their dates.
            std::vector<int> fares;
            for (int number : Numbers(text.mid(text.indexOf(QStringLiteral("地名"))))) {
                if (number >= 1000 || number <= -1000) {
                    fares.push_back(number);
                }
            }
            EXPECT_EQ(fares, expected) << "page " << p + 1;
        }
        EXPECT_EQ(printed.size(), 301u * 150u);
        const std::vector<test_support::PdfPageBoxes> boxes = test_support::PdfWordBoxes(pdf);
        ASSERT_EQ(boxes.size(), static_cast<size_t>(pages.size()));
        for (const test_support::PdfPageBoxes& page : boxes) {
            EXPECT_NEAR(page.width, paper.width, 1);
            EXPECT_NEAR(page.height, paper.height, 1);
            // Within the 10 mm margins, less a point for the letters' own edges.
            const double margin = 10 / 25.4 * 72 - 1;
            for (const test_support::PdfWord& word : page.words) {
                ASSERT_GE(word.xMin, margin);
                ASSERT_GE(word.yMin, margin);
                ASSERT_LE(word.xMax, page.width - margin);
                ASSERT_LE(word.yMax, page.height - margin);
            }
        }
    }
}

TEST_F(ChartPrintTest, ARevisionShowsOldAndNewValuesSideBySideAndCountsThem) {
    using test_support::Record;
    const std::vector<FareLineRecord> before = {
        Record(U"１２３系統", 1, {140}), Record(U"地名１", 1, {140, 150, 160, 0, 170}),
        Record(U"地名２", 2, {150}), Record(U"地名３", 2, {150})};
    const std::vector<FareLineRecord> after = {Record(U"１２３系統", 1, {140}),
                                               Record(U"地名１", 1, {150, 140, 180, 200, 0}),
                                               Record(U"新地名", 3, {150})};
    const TableMarks marks{{}, fare_model::CompareRecords(before, after), 1};
    const QString pdf = directory_.filePath(QStringLiteral("revision.pdf"));
    const PaintedChart painted = Print(after, marks, DefaultChartPageLayout(), pdf);
    EXPECT_EQ(painted.gridPages.size(), 1u);
    EXPECT_EQ(painted.notePages, 1);
    const QString text = test_support::PdfPages(pdf).join(QLatin1Char('\f'));
    EXPECT_TRUE(text.contains(QStringLiteral("新旧対照表")));
    for (const char* changed : {"140→150", "150→140", "160→180", "0→200", "170→0", "2→3"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(changed))) << changed;
    }
    EXPECT_TRUE(text.contains(
        QStringLiteral("運賃が上がったところ 2 か所、下がったところ 1 か所、加わった運賃 1 か所、"
                       "なくなった運賃 1 か所。加わった行 0 行、なくなった行 1 行。")))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains(QStringLiteral("3行目の地名を「地名２」から「新地名」に変えました。")));
    EXPECT_TRUE(text.contains(QStringLiteral("4行目（地名３）がなくなりました。")));
}

}  // namespace
}  // namespace main_window
