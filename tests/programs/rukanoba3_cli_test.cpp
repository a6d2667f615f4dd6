// The window program's command line: what it answers without opening a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hy3conv_run.h"

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

}  // namespace
