// The window program's command line: what it answers without opening a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hy3conv_run.h"
#include "template/text/template_text.h"

namespace {

TEST(Rukanoba3CommandLine, AnswersHelpVersionMistakesAndAMissingDisplayInJapanese) {
    struct Case {
        std::vector<std::string> environment;  // for env(1)
        std::vector<std::string> args;
        int status;
        std::string out;  // the start of standard output
        std::string err;  // a line of standard error
    };
    const std::vector<std::string> noDisplay = {"-u", "DISPLAY",        "-u", "WAYLAND_DISPLAY",
                                                "-u", "QT_QPA_PLATFORM"};
    const std::vector<std::string> offscreen = {"QT_QPA_PLATFORM=offscreen"};
    const Case cases[] = {
        {noDisplay, {"--help"}, 0, "使い方: rukanoba3 [--] [ファイル...]\n", ""},
        {noDisplay, {"-V"}, 0, "rukanoba3 1.", ""},
        {offscreen,
         {"--help", "運賃.hy3"},
         2,
         "",
         "rukanoba3: --help はほかの引数といっしょには使えません\n使い方:"},
        {offscreen, {"--table"}, 2, "", "rukanoba3: 不明なオプションです: --table\n"},
        {noDisplay,
         {"運賃.hy3"},
         1,
         "",
         "rukanoba3: 画面（ディスプレイ）に接続できないため、ウィンドウを開けません。\n"},
    };
    test_support::ScratchFolder folder;
    for (const Case& c : cases) {
        std::vector<std::string> args = {"env"};
        args.insert(args.end(), c.environment.begin(), c.environment.end());
        args.push_back(RUKANOBA3_PATH);
        args.insert(args.end(), c.args.begin(), c.args.end());
        const hy3conv_test::Result result = hy3conv_test::RunProgram(folder, args);
        EXPECT_EQ(result.status, c.status) << c.args[0];
        EXPECT_TRUE(result.out.starts_with(c.out)) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
}

// --pdf needs no display, speaks as hy3conv speaks, and replaces a PDF only with a whole one.
TEST(Rukanoba3CommandLine, PdfWritesTheChartWithoutADisplayAndKeepsTheOldOneOnFailure) {
    test_support::ScratchFolder folder;
    const std::string table = folder.Path("運賃.csv");
    test_support::WriteBytes(table, template_text::TemplateText());
    const std::string old = folder.Path("前.hy3");
    test_support::WriteBytes(old, test_support::Hy3({{test_support::Cp932("地名１"), 1, {130}}}));
    const std::string pdf = folder.Path("運賃.pdf");
    test_support::WriteBytes(pdf, "old");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;   // a line of standard error
        std::string text;  // in the PDF's text, where one is written
    };
    const Case cases[] = {
        {{"--pdf", folder.Path("none.csv"), pdf},
         1,
         "",
         "none.csv: 53:ファイルが見つかりません。\nrukanoba3: ファイルを点検してください。\n",
         ""},
        {{"--pdf", table, folder.Path("no folder/運賃.pdf")}, 1, "", ": 76:", ""},
        {{"--pdf", table}, 2, "", "rukanoba3: 入力ファイルと出力する PDF を一つずつ", ""},
        {{"--pdf", table, pdf}, 0, "運賃.pdf に保存しました。\n", "", "地名６"},
        {{"--pdf", "--compare", old, table, pdf},
         0,
         "",
         "",
         "運賃が上がったところ 1 か所、下がったところ 0 か所"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<std::string> args = {
            "env",         "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
            RUKANOBA3_PATH};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const hy3conv_test::Result result = hy3conv_test::RunProgram(folder, args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_TRUE(result.out.starts_with(c.out)) << result.out;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_TRUE(result.err.empty() || result.err.starts_with("rukanoba3: ")) << result.err;
        if (c.text.empty()) {
            EXPECT_EQ(test_support::ReadBytes(pdf), "old");
            continue;
        }
        EXPECT_TRUE(test_support::ReadBytes(pdf).starts_with("%PDF"));
        const hy3conv_test::Result text =
            hy3conv_test::RunProgram(folder, {"pdftotext", "-layout", pdf, "-"});
        if (text.status != 127) {
            EXPECT_NE(text.out.find(c.text), std::string::npos) << text.out;
        }
    }
}

}  // namespace
