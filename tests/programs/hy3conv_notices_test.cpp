// The notices a table draws, as hy3conv prints them, and --strict withholding the output.

#include <gtest/gtest.h>

#include "conversion/wording.h"
#include "hy3conv_run.h"

namespace {

using hy3conv_test::RunHy3conv;
using test_support::ReadBytes;
using test_support::WriteBytes;

TEST(Hy3convNotices, RowsBeyondTheLimitAreNoticedAndWithheldUnderStrict) {
    test_support::ScratchFolder folder;
    const std::string in = folder.Path("in.csv"), out = folder.Path("out.hy3");
    WriteBytes(in, test_support::Repeat("a,1,100\r\n", 302));
    fare_model::Notice beyond;
    beyond.kind = fare_model::Notice::Kind::kRowsBeyondLimit;
    beyond.line = 302;
    const std::string noticeLine =
        "hy3conv: " + in + ":302: 注意: " + conversion::NoticeText(beyond) + "\n";
    const std::string withheldLine =
        "hy3conv: " + in +
        ": 注意があるため書き出していません（--strict）。出力ファイルは変更していません。\n";
    const std::string success =
        "正常にコンバートされました（301行）。\n運賃表示器を動かして表示テストを行ってください。\n";

    struct Case {
        std::vector<std::string> options;
        int status;
        std::string out, err;
        bool written;
    } cases[] = {
        {{}, 0, success, noticeLine, true},
        {{"--quiet"}, 0, "", "", true},
        {{"--strict"}, 4, "", noticeLine + withheldLine, false},
        // The notices are why the table was withheld, so --quiet still shows them.
        {{"--strict", "--quiet"}, 4, "", noticeLine + withheldLine, false},
    };
    for (const Case& c : cases) {
        std::string label = "hy3conv";
        for (const auto& option : c.options)
            label += " " + option;
        SCOPED_TRACE(label);
        WriteBytes(out, "previous");
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {in, out});
        const auto result = RunHy3conv(folder, args);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
        if (c.written) {
            EXPECT_EQ(ReadBytes(out).size(), 2 + 301 * (304 + 1u));
        } else {
            EXPECT_EQ(ReadBytes(out), "previous");
        }
    }
}

}  // namespace
