#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <ostream>

#include "conversion/conversion_run.h"
#include "conversion/failure_wording.h"
#include "conversion/formats/workbook/workbook.h"
#include "conversion/formats/workbook/workbook_writer.h"
#include "fare_model/fare_data_reader.h"
#include "fare_model/fare_line_parser.h"
#include "system_cp932.h"
#include "template/workbook/template_workbook.h"
#include "test_support.h"
#include "zip_builder.h"

namespace {

using conversion::workbook::Cell;
using conversion::workbook::SheetRow;
using conversion::workbook::Workbook;
using workbook_test::Ods;
using workbook_test::Xlsx;

const std::filesystem::path kFixtures = WORKBOOK_FIXTURES;

std::string Fixture(const std::string& name) {
    return test_support::Utf8(kFixtures / test_support::PathFromUtf8(name));
}
constexpr uint32_t kColumnLimit = 153;

std::string CsvField(const Cell& cell) {
    if (cell.kind == Cell::Kind::kNumber) {
        char digits[32];
        auto end = std::to_chars(digits, digits + sizeof digits, cell.number).ptr;
        return std::string(digits, end);
    }
    std::string text = cell.kind == Cell::Kind::kText ? cell.text : "{" + cell.text + "}";
    if (text.find_first_of(",\"\n\t") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char ch : text) {
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    }
    return quoted + "\"";
}

// The sheet as a user would type it as CSV: a line a row, a field a cell, a number as its
// value, a boolean or error in braces.
std::string SheetAsCsv(const Workbook& book, const std::string& sheet) {
    auto rows = sheet.empty() ? book.OpenSheet(size_t{0}, kColumnLimit)
                              : book.OpenSheet(std::string_view(sheet), kColumnLimit);
    std::string csv;
    SheetRow row;
    while (rows->Next(row)) {
        std::vector<std::string> fields;
        for (const Cell& cell : row.cells) {
            fields.resize(cell.column - 1);
            fields.insert(fields.end(), cell.span, CsvField(cell));
        }
        std::string line;
        for (const std::string& field : fields) {
            line += (&field == &fields.front() ? "" : ",") + field;
        }
        for (uint32_t copy = 0; copy < std::min<uint32_t>(row.repeat, 1000); ++copy) {
            csv += line + "\n";
        }
    }
    return csv;
}

std::string FromFixture(const std::string& name, const std::string& sheet = "") {
    return SheetAsCsv(
        *Workbook::Open(test_support::ReadBytes(test_support::PathFromUtf8(Fixture(name)))), sheet);
}

// Workbooks saved by LibreOffice Calc read as their CSV twins, typed as a user would type
// the table: one field a cell, a formula as its result, a thousands separator gone.
TEST(WorkbookReader, CalcWorkbooksReadAsTheirTwins) {
    struct Case {
        std::string book;
        std::string sheet;
        std::string twin;
    };
    const Case cases[] = {
        {"plain", "", "plain.csv"},        {"thousands", "", "thousands.txt"},
        {"formulas", "", "formulas.txt"},  {"gaps", "", "gaps.csv"},
        {"blankrow", "", "blankrow.txt"},  {"header", "", "header.csv"},
        {"many", "", "many.csv"},          {"comma", "", "comma.csv"},
        {"sheets", "", "sheets-運賃.txt"}, {"sheets", "二系統", "sheets-二系統.txt"},
    };
    for (const Case& c : cases) {
        for (const char* format : {".xlsx", ".ods"}) {
            EXPECT_EQ(FromFixture(c.book + format, c.sheet),
                      test_support::ReadBytes(test_support::PathFromUtf8(Fixture(c.twin))))
                << c.book << format << " " << c.sheet;
        }
    }
    auto book =
        Workbook::Open(test_support::ReadBytes(test_support::PathFromUtf8(Fixture("sheets.ods"))));
    EXPECT_EQ(book->sheetNames().ToVector(), (std::vector<std::string>{"運賃", "二系統"}));
}

// What other spreadsheet programs write: inline and rich text, furigana, cells and rows
// without references or with gaps, typed and cached formula results, repeated cells.
TEST(WorkbookReader, CellForms) {
    const std::string p = "<table:table-cell office:value-type=\"string\"><text:p>";
    const std::string q = "</text:p></table:table-cell>";
    struct Case {
        std::string name;
        std::string book;
        std::string csv;
    };
    const Case cases[] = {
        {"RichInlineWithoutFurigana",
         Xlsx(
             "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><r><t>本</t></r><r><t>町</t></r>"
             "<rPh sb=\"0\" eb=\"2\"><t>ホンマチ</t></rPh></is></c><c r=\"B1\"><v>1</v></c></row>"),
         "本町,1\n"},
        {"SharedRichWithoutFurigana",
         Xlsx("<row><c t=\"s\"><v>0</v></c><c><v>1.4E2</v></c></row>",
              "<si><r><t>駅</t></r><r><t xml:space=\"preserve\">前 </t></r><rPh><t>エキ</t></rPh>"
              "</si>"),
         "駅前 ,140\n"},
        {"GapsInRowsAndCells",
         Xlsx("<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"C2\"><v>3</v></c></row>"
              "<row r=\"4\"><c r=\"B4\"><v>5</v></c><c r=\"D4\" s=\"1\"/></row>"),
         "\n1,,3\n\n,5\n"},
        {"FormulaResultsAndTypes",
         Xlsx("<row><c t=\"str\"><f>A2</f><v>x</v></c><c t=\"b\"><v>1</v></c>"
              "<c t=\"e\"><f>1/0</f><v>#DIV/0!</v></c><c><f>1+1</f><v>2</v></c><c><f>1+1</f></c>"
              "<c><v>7</v></c></row>"),
         "x,{TRUE},{#DIV/0!},2,{},7\n"},
        {"EscapedCharacters",
         Xlsx("<row><c t=\"inlineStr\"><is><t>a_x0009_b_x005F_x0041_</t></is></c></row>"),
         "\"a\tb_x0041_\"\n"},
        {"OdsRepeatsSpacesNotesParagraphs",
         Ods("<table:table table:name=\"a\"><table:table-row table:number-rows-repeated=\"2\">" +
             p + "a<text:s text:c=\"2\"/>b" + q +
             "<table:covered-table-cell/><table:table-cell office:value-type=\"float\" "
             "office:value=\"5\" table:number-columns-repeated=\"2\"><text:p>5</text:p>"
             "</table:table-cell></table:table-row>"
             "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell/>"
             "</table:table-row><table:table-row><table:table-cell office:value-type=\"string\">"
             "<office:annotation><text:p>note</text:p></office:annotation><text:p>x</text:p>"
             "<text:p>y</text:p></table:table-cell><table:table-cell "
             "office:value-type=\"boolean\" office:boolean-value=\"false\"/></table:table-row>"
             "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
             "table:number-columns-repeated=\"1024\"/></table:table-row></table:table>"),
         "a  b,,5,5\na  b,,5,5\n\n\n\n\"x\ny\",{FALSE}\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SheetAsCsv(*Workbook::Open(c.book), ""), c.csv) << c.name;
    }
}

// Files that are no workbook, broken ones and hostile ones: each is refused with a numbered
// error that says what the file is, quickly and without unpacking what it claims to hold.
TEST(WorkbookReader, RefusesWhatItCannotRead) {
    using workbook_test::MakeZip;
    const std::string plain =
        test_support::ReadBytes(test_support::PathFromUtf8(Fixture("plain.xlsx")));
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
        "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&c;</t></is></c></row>"
        "</sheetData></worksheet>";
    const std::string external =
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&x;</t></is></c></row>"
        "</sheetData></worksheet>";
    const std::string deep = "<worksheet><sheetData>" + test_support::Repeat("<a>", 100000) +
                             test_support::Repeat("</a>", 100000) + "</sheetData></worksheet>";
    // Spaces pack about a thousand to one: the part claims 64 MiB and one byte more.
    const std::string bomb = "<worksheet><sheetData>" + std::string((size_t{64} << 20) - 33, ' ') +
                             "</sheetData></worksheet>";
    struct Case {
        std::string name;
        std::string bytes;
        int code;
        std::string explained;  // a part of the explanation
        std::string sheet = "";
    };
    const Case cases[] = {
        {"LegacyXls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + std::string(504, '\0'), 321,
         "Excel 97-2003"},
        {"ZipOfSomethingElse", MakeZip({{"readme.txt", "hello"}}), 321, "ではありません"},
        {"WordProcessorDocument",
         MakeZip({{"[Content_Types].xml", "<Types/>"}, {"xl/workbook.xml", "<document/>"}}), 321,
         "ではありません"},
        {"CutShort", plain.substr(0, plain.size() / 2), 321, "途中で切れて"},
        {"NotAZip", "PK\x03\x04 but nothing else", 321, "途中で切れて"},
        {"Encrypted", MakeZip({{"[Content_Types].xml", "<Types/>", true}}), 321, "暗号化"},
        {"EncryptedOds",
         MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                  {"content.xml", "\x01\x02"},
                  {"META-INF/manifest.xml", "<manifest:encryption-data/>"}}),
         321, "暗号化"},
        {"EntityExpansion", Xlsx("", "", laughs), 321, "DOCTYPE"},
        {"ExternalEntity", Xlsx("", "", external), 321, "DOCTYPE"},
        {"DeepNesting", Xlsx("", "", deep), 321, "入れ子が深すぎる"},
        {"ZipBomb", Xlsx("", "", bomb), 6, "64 MiB"},
        {"BrokenXml", Xlsx("<row><c>"), 321, "sheet1.xml"},
        {"MissingSharedString", Xlsx("<row><c t=\"s\"><v>3</v></c></row>"), 321, "A1"},
        {"MissingSheetPart",
         MakeZip({{"[Content_Types].xml", "<Types/>"},
                  {"xl/workbook.xml",
                   "<workbook><sheets><sheet name=\"a\" r:id=\"rId9\"/>"
                   "</sheets></workbook>"}}),
         321, "「a」の中身がありません"},
        {"MissingSheet", plain, 9, "「無い」というシートはありません（あるのは「plain」です）",
         "無い"},
        {"OverlongCellText",
         Ods("<table:table table:name=\"a\"><table:table-row><table:table-cell><text:p>"
             "<text:s text:c=\"2000000000\"/></text:p></table:table-cell></table:table-row>"
             "</table:table>"),
         6, "a!A1"},
    };
    for (const Case& c : cases) {
        try {
            auto book = Workbook::Open(c.bytes);
            SheetAsCsv(*book, c.sheet);
            ADD_FAILURE() << c.name << ": read without error";
        } catch (const fare_model::RunError& error) {
            EXPECT_EQ(error.code(), c.code) << c.name;
            EXPECT_NE(conversion::ExplanationText(error).find(c.explained), std::string::npos)
                << c.name << ": " << conversion::ExplanationText(error);
            if (c.code == 321) {
                EXPECT_NE(conversion::ExplanationText(error).find("セルの内容を表示どおりに保存"),
                          std::string::npos)
                    << c.name;
            }
        }
    }
}

// Runs of rows and cells are never spelt out: a row repeated a million times across every
// column is one row with the cells up to the limit and the first beyond it.
TEST(WorkbookReader, RepeatsCostNoMoreThanTheLimit) {
    auto book =
        Workbook::Open(Ods("<table:table table:name=\"a\"><table:table-row "
                           "table:number-rows-repeated=\"1000000\"><table:table-cell "
                           "table:number-columns-repeated=\"16384\" office:value-type=\"float\" "
                           "office:value=\"1\"/></table:table-row></table:table>"));
    auto rows = book->OpenSheet(size_t{0}, kColumnLimit);
    SheetRow row;
    ASSERT_TRUE(rows->Next(row));
    EXPECT_EQ(row.repeat, 1000000u);
    ASSERT_EQ(row.cells.size(), 1u);
    EXPECT_EQ(row.cells[0].span, kColumnLimit + 1);
    EXPECT_FALSE(rows->Next(row));

    // A cell named over and over is one cell: the last one holds.
    std::string cells;
    for (int i = 0; i < 100000; ++i) {
        cells += "<c r=\"" + std::string(i % 2 ? "A1" : "B1") + "\"><v>" + std::to_string(i) +
                 "</v></c>";
    }
    EXPECT_EQ(SheetAsCsv(*Workbook::Open(Xlsx("<row>" + cells + "</row>")), ""), "99999,99998\n");
}

// Records written as a workbook read back as the same cells: the template, and names that
// a text table could not hold (separators, quotes, control characters).
TEST(WorkbookWriter, RecordsReadBackCellForCell) {
    EXPECT_EQ(SheetAsCsv(*Workbook::Open(template_workbook::TemplateWorkbook()), ""),
              test_support::ReadBytes(test_support::PathFromUtf8(Fixture("plain.csv"))));

    std::vector<fare_model::FareLineRecord> records(3);
    records[0].PlaceName = U"本町,\"東口\"\t\x01_x0041_";
    records[0].ZoneNumber = -2;
    records[0].Fares[0] = 140;
    records[0].Fares[149] = -1;
    records[2].Fares[1] = 32767;  // a record of nothing but a zone of 0 still ends no table
    auto book = Workbook::Open(conversion::workbook::FareTableWorkbook(records));
    EXPECT_EQ(book->sheetNames().ToVector(), std::vector<std::string>{"運賃"});
    EXPECT_EQ(SheetAsCsv(*book, ""), "\"本町,\"\"東口\"\"\t\x01_x0041_\",-2,140" +
                                         test_support::Repeat(",0", 148) + ",-1\n,0\n,0,0,32767\n");
}

TEST(WorkbookWriter, RefusesRecordsThatWouldNotReadBack) {
    struct Case {
        std::string name;
        std::vector<fare_model::FareLineRecord> records;
        int code;
        std::optional<int> line;
    };
    std::vector<fare_model::FareLineRecord> spaced(2);
    spaced[1].PlaceName = U"\u3000本町";
    std::vector<fare_model::FareLineRecord> overlong(1);
    overlong[0].PlaceName = std::u32string(40000, U'あ');
    const Case cases[] = {
        {"NoRecords", {}, 5, std::nullopt},
        {"LeadingSpace", spaced, 5, 2},
        {"LongerThanACell", overlong, 5, 1},
        {"MoreThan301", std::vector<fare_model::FareLineRecord>(302), 9, 302},
    };
    for (const Case& c : cases) {
        try {
            conversion::workbook::FareTableWorkbook(c.records);
            ADD_FAILURE() << c.name;
        } catch (const fare_model::RunError& error) {
            EXPECT_EQ(error.code(), c.code) << c.name;
            EXPECT_EQ(error.line(), c.line) << c.name;
        }
    }
}

// The data file a conversion writes, or the outcome's kind where it writes none.
struct Converted {
    conversion::ConversionOutcome::Kind kind;
    std::string bytes;
    std::vector<std::pair<fare_model::Notice::Kind, int>> notices;  // kind and row
};
Converted Convert(const std::string& input, const conversion::ConversionOptions& options = {}) {
    test_support::ScratchFolder folder;
    const std::string output = folder.Path("out.hy3");
    conversion::ConversionOutcome outcome =
        conversion::ConvertFareTableWith(input, output, options);
    Converted converted{outcome.kind, test_support::ReadBytesIfPresent(output).value_or(""), {}};
    for (const fare_model::Notice& notice : outcome.notices) {
        converted.notices.emplace_back(notice.kind, notice.line);
    }
    return converted;
}

bool operator==(const Converted& a, const Converted& b) {
    return a.kind == b.kind && a.bytes == b.bytes && a.notices == b.notices;
}
std::ostream& operator<<(std::ostream& out, const Converted& c) {
    return out << static_cast<int>(c.kind) << " " << test_support::Hex(c.bytes.substr(0, 32))
               << " (" << c.bytes.size() << " bytes, " << c.notices.size() << " notices)";
}

// A workbook converts to the bytes its CSV twin converts to, with the same notices on the
// same rows: cells are fields, rows are the text's rows.
TEST(WorkbookConversion, ConvertsAsItsTwin) {
    struct Case {
        std::string book;
        std::string sheet;
        std::string twin;
    };
    const Case cases[] = {
        {"plain", "", "plain.csv"},
        {"thousands", "", "thousands.txt"},
        {"formulas", "", "formulas.txt"},
        {"gaps", "", "gaps.csv"},
        {"blankrow", "", "blankrow.txt"},
        {"header", "", "header.csv"},
        {"many", "", "many.csv"},
        {"sheets", "", "sheets-運賃.txt"},
        {"sheets", "二系統", "sheets-二系統.txt"},
    };
    for (const Case& c : cases) {
        Converted twin = Convert(Fixture(c.twin));
        EXPECT_EQ(twin.kind, conversion::ConversionOutcome::Kind::kSucceeded) << c.twin;
        if (c.book == "sheets" && c.sheet.empty()) {  // which of its sheets, where none is named
            twin.notices.insert(twin.notices.begin(), {fare_model::Notice::Kind::kSheetChosen, 0});
        }
        for (const char* format : {".xlsx", ".ods"}) {
            conversion::ConversionOptions options;
            if (!c.sheet.empty()) {
                options.sheet = c.sheet;
            }
            EXPECT_EQ(Convert(Fixture((c.book + format)), options), twin)
                << c.book << format << " " << c.sheet;
        }
    }
    // A comma in a cell is part of the place name.
    const std::string comma = test_support::Hy3(
        {{test_support::Cp932("本町,東口"), 1, {140}}, {test_support::Cp932("駅前"), 2, {150}}});
    EXPECT_EQ(Convert(Fixture("comma.xlsx")).bytes, comma);
    EXPECT_EQ(Convert(Fixture("comma.ods")).bytes, comma);
}

// The template as a workbook, and every table of the fuzz corpus that converts, written back
// as a workbook, convert to the very same data file.
TEST(WorkbookConversion, WrittenBackWorkbooksConvertToTheSameBytes) {
    test_support::ScratchFolder folder;
    const std::string book = folder.Path("book.xlsx");
    test_support::WriteBytes(book, template_workbook::TemplateWorkbook());
    EXPECT_EQ(Convert(book).bytes.size(), 2202u);

    int tables = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TABLE_CORPUS)) {
        const Converted text = Convert(test_support::Utf8(entry.path()));
        if (text.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
            continue;
        }
        ++tables;
        test_support::WriteBytes(
            book, conversion::workbook::FareTableWorkbook(
                      fare_model::ReadFareDataFile(text.bytes, test_support::SystemCp932())));
        EXPECT_EQ(Convert(book).bytes, text.bytes) << entry.path();
    }
    EXPECT_GE(tables, 5);
}

}  // namespace
