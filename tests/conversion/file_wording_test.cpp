#include "conversion/file_wording.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using conversion::FileCauseText;
using conversion::QuotedFileName;
using fare_model::FileCause;

#ifdef _WIN32
// Each name as it would be typed at cmd.exe: in double quotes where a character means
// something there.
TEST(QuotedFileName, QuotesAsCmdExeNeeds) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc.hy3", "abc.hy3"},     {"運賃.hy3", "運賃.hy3"},
        {"a b", "\"a b\""},         {"a&b", "\"a&b\""},
        {"a^b", "\"a^b\""},         {"x%PATH%", "\"x%PATH%\""},
        {"a,b;c=d", "\"a,b;c=d\""}, {"", "\"\""},
        {"ａ　b", "ａ　b"},
    };
    for (const auto& [name, quoted] : cases) {
        EXPECT_EQ(QuotedFileName(name), quoted) << name;
    }
}
#else
// Each name as coreutils 9.1 shows it in a message (`cat NAME` in a UTF-8 locale).
TEST(QuotedFileName, QuotesAsCoreutilsDoes) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc.hy3", "abc.hy3"},
        {"運賃.hy3", "運賃.hy3"},
        {"a,b-%+@{x}].hy3", "a,b-%+@{x}].hy3"},
        {"x#~", "x#~"},
        {"#x", "'#x'"},
        {"~x", "'~x'"},
        {"a b", "'a b'"},
        {"a:b", "'a:b'"},
        {"a=b", "'a=b'"},
        {"a?b", "'a?b'"},
        {"a$b", "'a$b'"},
        {"a\\b", "'a\\b'"},
        {"", "''"},
        {"it's", "\"it's\""},
        {"a'b c", "\"a'b c\""},
        {"a'b$c", "'a'\\''b$c'"},
        {"a\nb", "'a'$'\\n''b'"},
        {"a\rb", "'a'$'\\r''b'"},
        {"\ttab", "''$'\\t''tab'"},
        {"a\x01", "'a'$'\\001'"},
        {"a\x7f"
         "b",
         "'a'$'\\177''b'"},
        {"\x89\x5e\x92\x80.hy3", "''$'\\211''^'$'\\222\\200''.hy3'"},
        {"\xe3\x81", "''$'\\343\\201'"},
        {"\xc2\x85x", "''$'\\302\\205''x'"},
        {"ａ　b", "ａ　b"},
    };
    for (const auto& [name, quoted] : cases) {
        EXPECT_EQ(QuotedFileName(name), quoted) << name;
    }
}
#endif

TEST(FileCauseText, SaysWhatTheMediumCannotDo) {
    const std::string kCannot = "この媒体には、この名前のファイルを作れません（";
    const std::tuple<FileCause, std::string, std::optional<std::string>> cases[] = {
        {FileCause::kNameNotStorable, "/media/card/運賃.hy3",
         kCannot + "日本語の名前が使えない形式です）。"},
        {FileCause::kNameNotStorable, "/media/card/\x89\x5e.hy3",
         kCannot + "名前の文字コードが UTF-8 ではありません）。"},
        {FileCause::kNameNotStorable, "a?b.hy3",
         kCannot + "名前に使えない記号が含まれています）。"},
        {FileCause::kReplacedMeanwhile, "out.hy3",
         "書き込んでいる間に、ほかのプログラムが出力ファイルを置き換えたため、書き込みをやめました"
         "。"},
        {FileCause::kUnknown, "out.hy3", std::nullopt},
    };
    for (const auto& [cause, path, text] : cases) {
        EXPECT_EQ(FileCauseText(cause, path), text) << path;
    }
}

}  // namespace
