// Runs the built hy3conv program as a user would and checks its exit status and texts.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "template/text/template_text.h"
#include "test_support.h"

namespace {

using test_support::ReadBytes;
using test_support::WriteBytes;

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

Result RunHy3conv(const test_support::ScratchFolder& folder, const std::vector<std::string>& args) {
    std::string command = Quote(HY3CONV_PATH);
    for (const auto& arg : args)
        command += " " + Quote(arg);
    const std::string outPath = folder.Path("stdout"), errPath = folder.Path("stderr");
    command += " </dev/null >" + Quote(outPath) + " 2>" + Quote(errPath);
    int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(outPath), ReadBytes(errPath)};
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

struct CliCase {
    std::string label;
    std::string input;              // written to in.txt
    std::vector<std::string> args;  // "IN", "OUT" stand for in.txt and out.hy3
    int status;
    std::string out;  // exact; "*" for any non-empty text
    std::string err;
    friend void PrintTo(const CliCase& c, std::ostream* os) { *os << c.label; }
};

class Hy3convTest : public ::testing::TestWithParam<CliCase> {
  protected:
    test_support::ScratchFolder folder_;
};

void ExpectText(const std::string& actual, const std::string& expected, const char* stream) {
    if (expected == "*") {
        EXPECT_FALSE(actual.empty()) << stream << " is empty";
        EXPECT_EQ(actual.find('\r'), std::string::npos) << stream << " holds CR";
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
                                      : arg);
    }
    Result result = RunHy3conv(folder_, args);
    EXPECT_EQ(result.status, c.status);
    ExpectText(result.out, c.out, "stdout");
    ExpectText(result.err, c.err, "stderr");
    if (c.status != 0) {
        EXPECT_FALSE(test_support::Exists(folder_.Path("out.hy3")));
    }
}

const std::string kSuccess =
    "正常にコンバートされました。\n運賃表示器を動かして表示テストを行ってください。\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, Hy3convTest,
    ::testing::Values(CliCase{"Converts", "a,1,140\n", {"IN", "OUT"}, 0, kSuccess, ""},
                      CliCase{"MissingInput",
                              "",
                              {"none.txt", "OUT"},
                              1,
                              "",
                              "53:ファイルが見つかりません。\nファイルを点検してください。\n"},
                      CliCase{"NamesTheLine",
                              "a,1\nb,99999\n",
                              {"IN", "OUT"},
                              1,
                              "",
                              "6:オーバーフローしました。\nファイルを点検してください。\n2行目\n"},
                      CliCase{"NothingToConvert", "\r\nabc,1", {"IN", "OUT"}, 3, "", "*"},
                      CliCase{"NoArguments", "", {}, 2, "", "*"},
                      CliCase{"OneArgument", "", {"IN"}, 2, "", "*"},
                      CliCase{"ThreeArguments", "a,1", {"IN", "OUT", "OUT"}, 2, "", "*"},
                      CliCase{"UnknownOption", "a,1", {"--bogus", "IN", "OUT"}, 2, "", "*"},
                      CliCase{"Help", "", {"--help"}, 0, "*", ""},
                      CliCase{"Version", "", {"--version"}, 0, "*", ""}),
    [](const auto& info) { return info.param.label; });

TEST(Hy3conv, ConvertsTheTemplateItHandsOut) {
    test_support::ScratchFolder folder;
    const std::string text = folder.Path("template.txt"), data = folder.Path("template.hy3");
    Result result = RunHy3conv(folder, {"--template", text});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(text), std::string(template_text::TemplateText()));

    result = RunHy3conv(folder, {text, data});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, kSuccess);
    EXPECT_EQ(ReadBytes(data).size(), 2202u);
}

}  // namespace
