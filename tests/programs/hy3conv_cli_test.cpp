// Runs the built hy3conv program as a user would and checks its exit status and texts.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hy3conv_run.h"
#include "template/text/template_text.h"
#include "test_support.h"
#include "zip_builder.h"

namespace {

using hy3conv_test::Result;
using hy3conv_test::RunHy3conv;
using test_support::ReadBytes;
using test_support::WriteBytes;

struct CliCase {
    std::string label;
    std::string input;              // written to in.txt
    std::vector<std::string> args;  // "IN", "OUT", "DIR" stand for in.txt, out.hy3, the folder
    int status;
    std::string out;  // exact; "*" alone for any non-empty text, "...*" for a prefix
    std::string err;
    friend void PrintTo(const CliCase& c, std::ostream* os) { *os << c.label; }
};

class Hy3convTest : public ::testing::TestWithParam<CliCase> {
  protected:
    test_support::ScratchFolder folder_;
};

void ExpectText(const std::string& actual, std::string expected, const char* stream) {
    EXPECT_EQ(actual.find('\r'), std::string::npos) << stream << " holds CR";
    if (expected == "*") {
        EXPECT_FALSE(actual.empty()) << stream << " is empty";
    } else if (expected.ends_with('*')) {
        expected.pop_back();
        EXPECT_EQ(actual.substr(0, expected.size()), expected) << stream << ": " << actual;
    } else {
        EXPECT_EQ(actual, expected) << stream;
    }
}

TEST_P(Hy3convTest, ExitsWithStatusAndText) {
    const CliCase& c = GetParam();
    WriteBytes(folder_.Path("in.txt"), c.input);
    std::vector<std::string> args;
    for (const auto& arg : c.args) {
        args.push_back(arg == "IN"    ? folder_.Path("in.txt")
                       : arg == "OUT" ? folder_.Path("out.hy3")
                       : arg == "DIR" ? folder_.Root().string()
                                      : arg);
    }
    Result result = RunHy3conv(folder_, args);
    EXPECT_EQ(result.status, c.status);
    ExpectText(result.out, c.out, "stdout");
    ExpectText(result.err, c.err, "stderr");
    if (c.status != 0) {
        EXPECT_FALSE(test_support::Exists(folder_.Path("out.hy3")));
    }
    // An option where the output should be is never taken for a file name.
    EXPECT_FALSE(test_support::Exists("--help"));
}

const std::string kSuccess =
    "正常にコンバートされました（1行）。\n運賃表示器を動かして表示テストを行ってください。\n";
const std::string kUsage =
    "\n使い方: hy3conv [--strict] [--quiet] [--] 入力ファイル 出力ファイル\n*";

INSTANTIATE_TEST_SUITE_P(
    Cases, Hy3convTest,
    ::testing::Values(
        CliCase{"Converts", "a,1,140\n", {"IN", "OUT"}, 0, kSuccess, ""},
        CliCase{"ConvertsAfterDashDash", "a,1,140\n", {"--", "IN", "OUT"}, 0, kSuccess, ""},
        CliCase{"QuietSuccess", "a,1,140\n", {"--quiet", "IN", "OUT"}, 0, "", ""},
        CliCase{"MissingInput",
                "",
                {"none.txt", "OUT"},
                1,
                "",
                "hy3conv: none.txt: 53:ファイルが見つかりません。 "
                "変換元（入力ファイル）のエラーです。\n"
                "hy3conv: ファイルを点検してください。\n"},
        CliCase{"NamesTheLine",
                "a,1\nb,99999\n",
                {"--quiet", "IN", "OUT"},
                1,
                "",
                "hy3conv: *"},  // the file, line 2 and code 6: see the batch test
        CliCase{"NothingToConvert", "\r\nabc,1", {"IN", "OUT"}, 3, "", "*"},
        CliCase{"NoArguments", "", {}, 2, "", "hy3conv: 入力ファイルがありません" + kUsage},
        CliCase{"OneArgument", "", {"IN"}, 2, "", "hy3conv: 出力ファイルがありません*"},
        CliCase{
            "ThreeArguments", "a,1", {"IN", "OUT", "OUT"}, 2, "", "hy3conv: ファイルが多すぎます*"},
        CliCase{"UnknownOption",
                "a,1",
                {"--bogus", "IN", "OUT"},
                2,
                "",
                "hy3conv: 不明なオプションです: --bogus" + kUsage},
        CliCase{"HelpAsOutput",
                "a,1",
                {"IN", "--help"},
                2,
                "",
                "hy3conv: --help はほかの引数といっしょには使えません" + kUsage},
        CliCase{
            "Dash", "a,1", {"-", "OUT"}, 2, "", "hy3conv: 「-」(標準入力・標準出力)は使えません*"},
        CliCase{"DashAfterDashDash", "a,1", {"IN", "--", "-"}, 2, "", "hy3conv: 「-」*"},
        CliCase{"FolderOptionWithoutFolder",
                "a,1",
                {"IN", "-o"},
                2,
                "",
                "hy3conv: -o のあとに出力先のフォルダがありません" + kUsage},
        CliCase{"StrictWithShow", "", {"--strict", "--show", "IN"}, 2, "", "hy3conv: --show には*"},
        CliCase{"TwoOutputsOfOneName",
                "a,1",
                {"-o", "DIR", "IN", "DIR/in.csv"},
                2,
                "",
                "hy3conv: 出力ファイルが同じ *"},
        CliCase{"SheetOfATextTable",
                "a,1,140\n",
                {"--sheet", "運賃", "IN", "OUT"},
                1,
                "",
                "hy3conv: *"},  // 5: a sheet is chosen of a workbook only
        CliCase{"AllSheetsWithoutFolder",
                "",
                {"--all-sheets", "IN"},
                2,
                "",
                "hy3conv: --all-sheets には -o フォルダ が要ります*"},
        CliCase{"SheetAndAllSheets",
                "",
                {"-o", "DIR", "--sheet", "a", "--all-sheets", "IN"},
                2,
                "",
                "hy3conv: --sheet と --all-sheets はどちらか一つだけ*"},
        CliCase{"SheetWhenWritingBack",
                "",
                {"--to-sheet", "--sheet", "a", "IN", "OUT"},
                2,
                "",
                "hy3conv: --sheet、--all-sheets、--start-row は変換のときだけ*"},
        CliCase{"StartRowNotANumber",
                "",
                {"--start-row", "0", "IN", "OUT"},
                2,
                "",
                "hy3conv: --start-row のあとには 1 から 1048576 までの行の番号を*"},
        CliCase{"StartRowOfATextTable",
                "a,1,140\n",
                {"--start-row", "2", "IN", "OUT"},
                1,
                "",
                "hy3conv: *"},
        // A workbook is written as .xlsx only: no file is named for another format.
        CliCase{"WorkbookNamedOds",
                "",
                {"--to-sheet", "IN", "fare.ODS"},
                2,
                "",
                "hy3conv: ブックは .xlsx の形式でだけ書き出せます。出力ファイルの名前を .xlsx "
                "で終わるものにしてください: fare.ODS" +
                    kUsage},
        CliCase{"TemplateNamedXls",
                "",
                {"--template", "fare.xls"},
                2,
                "",
                "hy3conv: ブックは .xlsx の形式でだけ*"},
        CliCase{"StrictWhenWritingBackAWorkbook",
                "",
                {"--strict", "--to-sheet", "IN", "OUT"},
                2,
                "",
                "hy3conv: --strict は変換のときだけ使えます（--to-sheet では使えません）*"},
        CliCase{"Help", "", {"--help"}, 0, "使い方: *", ""},
        CliCase{"ShortHelp", "", {"-h"}, 0, "使い方: *", ""},
        CliCase{"Version", "", {"--version"}, 0, "hy3conv *", ""},
        CliCase{"ShortVersion", "", {"-V"}, 0, "hy3conv *", ""}),
    [](const auto& info) { return info.param.label; });

TEST(Hy3conv, BatchWritesEachFileAndKeepsTheFailedOnesOutput) {
    test_support::ScratchFolder folder;
    std::filesystem::create_directory(folder.Path("out"));
    const std::string a = folder.Path("a.csv"), b = folder.Path("b.txt"), c = folder.Path("c.csv");
    WriteBytes(a, "a,1,140\n");
    WriteBytes(b, "a,1\nb,99999\n");
    WriteBytes(c, "a,1\nb,2\n");
    WriteBytes(folder.Path("out/b.hy3"), "previous");

    Result result = RunHy3conv(folder, {"-o", folder.Path("out"), a, b, c});
    EXPECT_EQ(result.status, 1);
    const std::string out = folder.Path("out/");
    EXPECT_EQ(result.out, a + " → " + out + "a.hy3: 正常にコンバートされました（1行）。\n" + b +
                              " → " + out +
                              "b.hy3: 失敗しました（出力ファイルは変更していません）。\n" + c +
                              " → " + out + "c.hy3: 正常にコンバートされました（2行）。\n" +
                              "3 個のうち 2 個を変換しました。1 個は失敗しました。\n");
    EXPECT_EQ(
        result.err,
        "hy3conv: " + b +
            ":2:2: 6:オーバーフローしました。 「99999」が -32768〜32767 の範囲を超えています。\n" +
            "hy3conv: ファイルを点検してください。\n");
    EXPECT_EQ(ReadBytes(out + "a.hy3").size(), 2 + 305u);
    EXPECT_EQ(ReadBytes(out + "b.hy3"), "previous");
    EXPECT_EQ(ReadBytes(out + "c.hy3").size(), 2 + 2 * 305u);
}

TEST(Hy3conv, TemplateConvertsAndReadsBackToTheSameText) {
    test_support::ScratchFolder folder;
    const std::string text = folder.Path("template.txt"), data = folder.Path("template.hy3");
    const std::string templateBytes(template_text::TemplateText());
    Result result = RunHy3conv(folder, {"--template", text});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(text), templateBytes);

    result = RunHy3conv(folder, {text, data});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "正常にコンバートされました（7行）。\n"
              "運賃表示器を動かして表示テストを行ってください。\n");
    EXPECT_EQ(ReadBytes(data).size(), 2202u);

    result = RunHy3conv(folder, {"--to-text", data, folder.Path("back.txt")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "テキストに書き戻しました（7行）。\n");
    EXPECT_EQ(ReadBytes(folder.Path("back.txt")), templateBytes);

    std::filesystem::create_directory(folder.Path("texts"));
    result = RunHy3conv(folder, {"--to-text", "--quiet", "-o", folder.Path("texts"), data});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(folder.Path("texts/template.txt")), templateBytes);

    // Written back over itself, the data file would be lost.
    result = RunHy3conv(folder, {"--to-text", data, data});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ReadBytes(data).size(), 2202u);

    result = RunHy3conv(folder, {"--show", data});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("行  地名")) << result.out;
    EXPECT_NE(result.out.find("\n 7  地名６ "), std::string::npos) << result.out;

    // A file that ends inside its last record names that record.
    WriteBytes(data, ReadBytes(data).substr(0, 2201));
    result = RunHy3conv(folder, {"--show", data});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("hy3conv: " + data + ":7: 62:")) << result.err;
}

// --compare exits as cmp and diff do: 0 the same, 1 different, 2 trouble.
TEST(Hy3conv, CompareNamesEachDifferenceAndExitsAsCmpDoes) {
    test_support::ScratchFolder folder;
    const std::string before = folder.Path("before.hy3"), after = folder.Path("after.hy3");
    const std::string damaged = folder.Path("damaged.hy3");
    using test_support::Cp932;
    WriteBytes(before,
               test_support::Hy3({{Cp932("地名１"), 1, {140}}, {Cp932("地名２"), 1, {150}}}));
    WriteBytes(after, test_support::Hy3({{Cp932("地名１"), 2, {140, 0, 160}}}));
    WriteBytes(damaged, "\x01");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;  // the start of standard error
    };
    const Case cases[] = {
        {{"--compare", before, before}, 0, "前の .hy3 から変わったところはありません。\n", ""},
        {{"--compare", before, after},
         1,
         "hy3conv: " + after +
             ":1:2: 1行目（地名１）のゾーン番号を 1 から 2 に変えました。\n"
             "hy3conv: " +
             after +
             ":1:5: 1行目（地名１）の運賃3を 0 から 160 に変えました。\n"
             "hy3conv: " +
             before +
             ":2: 2行目（地名２）がなくなりました。\n"
             "前の .hy3 から 3 か所変わりました。\n",
         ""},
        {{"--compare", "--quiet", before, after}, 1, "", ""},
        {{"--compare", before, damaged}, 2, "", "hy3conv: " + damaged + ": 62:"},
        {{"--compare", before, folder.Path("missing.hy3")},
         2,
         "",
         "hy3conv: " + folder.Path("missing.hy3") + ": 53:"},
        {{"--compare", before}, 2, "", "hy3conv: --compare には"},
    };
    for (const Case& c : cases) {
        const Result result = RunHy3conv(folder, c.args);
        EXPECT_EQ(result.status, c.status) << c.args.back();
        EXPECT_EQ(result.out, c.out);
        EXPECT_TRUE(result.err.starts_with(c.err)) << result.err;
    }
}

// A reader that went away must not pass for a success, nor kill the program by SIGPIPE.
// The workbook commands: the template as a workbook, a data file back to a workbook, a sheet
// chosen by name or every sheet to its own file; each converts to the same data file, and a
// problem is placed as BOOK:SHEET!CELL as well as by row and field.
TEST(Hy3conv, WorkbooksInAndOut) {
    test_support::ScratchFolder folder;
    const std::string fixtures = WORKBOOK_FIXTURES;
    Result result = RunHy3conv(folder, {"--template", folder.Path("template.xlsx")});
    ASSERT_EQ(result.status, 0) << result.err;
    result = RunHy3conv(folder, {folder.Path("template.xlsx"), folder.Path("template.hy3")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(folder.Path("template.hy3")).size(), 2202u);

    result =
        RunHy3conv(folder, {"--to-sheet", folder.Path("template.hy3"), folder.Path("back.xlsx")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "ブックに書き戻しました（7行）。\n");
    RunHy3conv(folder, {"--quiet", folder.Path("back.xlsx"), folder.Path("back.hy3")});
    EXPECT_EQ(ReadBytes(folder.Path("back.hy3")), ReadBytes(folder.Path("template.hy3")));

    std::filesystem::create_directory(folder.Path("sheets"));
    result = RunHy3conv(
        folder, {"--quiet", "-o", folder.Path("sheets"), "--all-sheets", fixtures + "/sheets.ods"});
    EXPECT_EQ(result.status, 0) << result.err;
    result = RunHy3conv(folder, {"--quiet", "--sheet", "二系統", fixtures + "/sheets.xlsx",
                                 folder.Path("second.hy3")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(folder.Path("sheets/二系統.hy3")), ReadBytes(folder.Path("second.hy3")));
    EXPECT_EQ(ReadBytes(folder.Path("sheets/運賃.hy3")).size(), 2u + 3 * 304 + 4 + 4 + 6);
    // Without --sheet the first of several sheets is converted, and named; --start-row leaves
    // the rows above it out.
    result = RunHy3conv(folder, {fixtures + "/sheets.xlsx", folder.Path("first.hy3")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE((result.out + result.err).find("最初のシート「運賃」を変換しました"),
              std::string::npos)
        << result.out << result.err;
    result = RunHy3conv(folder, {"--quiet", "--sheet", "運賃", "--start-row", "2",
                                 fixtures + "/sheets.xlsx", folder.Path("from2.hy3")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(folder.Path("from2.hy3")).size(), 2u + 2 * 304 + 4 + 6);

    const std::string book = fixtures + "/overflow.xlsx";
    result = RunHy3conv(folder, {book, folder.Path("second.hy3")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "hy3conv: " + book +
                              ":overflow!C2: 2行目3列目: 6:オーバーフローしました。 「99999」が "
                              "-32768〜32767 の範囲を超えています。\n"
                              "hy3conv: ファイルを点検してください。\n");
}

// Sheets whose names differ only in case are two files on an ordinary folder; the same
// sheet twice is refused before anything is written.
TEST(Hy3conv, AllSheetsKeepsCaseTwinsApartAndRefusesOneOutputTwice) {
    test_support::ScratchFolder folder;
    auto sheet = [](const std::string& name, const std::string& zone) {
        return "<table:table table:name=\"" + name +
               "\"><table:table-row><table:table-cell><text:p>a</text:p></table:table-cell>"
               "<table:table-cell office:value-type=\"float\" office:value=\"" +
               zone + "\"/></table:table-row></table:table>";
    };
    const std::string book = folder.Path("book.ods");
    WriteBytes(book, workbook_test::Ods(sheet("Fare", "1") + sheet("fare", "2")));
    const std::string out = folder.Path("out/");
    struct Case {
        std::vector<std::string> books;
        int status;
        std::string err;  // the start of standard error
    };
    const Case cases[] = {
        {{book}, 0, ""},
        {{book, book},
         2,
         "hy3conv: 出力ファイルが同じ " + out + "Fare.hy3 になるシートが二つあります: " + book +
             ":Fare と " + book + ":Fare\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        std::vector<std::string> args{"--quiet", "-o", out, "--all-sheets"};
        args.insert(args.end(), c.books.begin(), c.books.end());
        const Result result = RunHy3conv(folder, args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_TRUE(result.err.starts_with(c.err)) << result.err;
        if (c.status == 0) {
            EXPECT_NE(ReadBytes(out + "Fare.hy3"), ReadBytes(out + "fare.hy3"));
        } else {
            EXPECT_TRUE(std::filesystem::is_empty(out));
        }
    }
}

}  // namespace
