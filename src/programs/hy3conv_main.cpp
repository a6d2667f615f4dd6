// hy3conv: converts a fare table text file to a fare display data file (.hy3) from the
// command line, with the same core as the window.
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <string_view>

#include "conversion/conversion_run.h"
#include "platform/os/output_file.h"
#include "template/text/template_text.h"

namespace {

constexpr int kExitSucceeded = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNothingToConvert = 3;

constexpr std::string_view kUsage =
    "使い方: hy3conv 入力ファイル 出力ファイル\n"
    "        hy3conv --template ファイル\n"
    "        hy3conv --help | --version\n";

constexpr std::string_view kHelp =
    "カンマ区切りの運賃表テキストファイル(*.txt/*.csv)を、運賃表示器(Ver3)のデータファイル\n"
    "(*.hy3)に変換します。\n"
    "\n"
    "  hy3conv 入力ファイル 出力ファイル   変換します\n"
    "  hy3conv --template ファイル         テンプレートのテキストファイルを書き出します\n"
    "  hy3conv --help                      この説明を表示します\n"
    "  hy3conv --version                   版数を表示します\n"
    "\n"
    "終了状態: 0 成功 / 1 失敗 / 2 使い方の誤り / 3 変換する行がない\n"
    "失敗したときは出力ファイルを変更しません。\n";

// Terminals here take LF line ends.
std::string WithUnixLineEnds(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

void PrintFailure(const platform::RunError& error) {
    conversion::ConversionOutcome outcome = conversion::ConversionOutcome::Failed(error);
    std::cerr << WithUnixLineEnds(*conversion::OutcomeText(outcome)) << '\n';
    if (error.line()) {
        std::cerr << *error.line() << "行目\n";
    }
}

int Convert(const std::string& inputPath, const std::string& outputPath) {
    conversion::ConversionOutcome outcome = conversion::ConvertFareTable(inputPath, outputPath);
    switch (outcome.kind) {
        case conversion::ConversionOutcome::Kind::kSucceeded:
            std::cout << WithUnixLineEnds(*conversion::OutcomeText(outcome)) << '\n';
            return kExitSucceeded;
        case conversion::ConversionOutcome::Kind::kFailed:
            PrintFailure(*outcome.error);
            return kExitFailed;
        case conversion::ConversionOutcome::Kind::kNothingToConvert:
        case conversion::ConversionOutcome::Kind::kWithheld:
            break;
    }
    std::cerr << "変換する行がありません（入力ファイルが空か、1行目が空行です）。"
                 "出力ファイルは変更していません。\n";
    return kExitNothingToConvert;
}

int WriteTemplate(const std::string& path) {
    try {
        platform::WriteFileAtomically(path, template_text::TemplateText());
    } catch (const platform::RunError& error) {
        PrintFailure(error);
        return kExitFailed;
    }
    return kExitSucceeded;
}

int Run(int argc, char** argv) {
    std::string_view first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first == "--help") {
        std::cout << kHelp;
        return kExitSucceeded;
    }
    if (argc == 2 && first == "--version") {
        std::cout << "hy3conv " << HY3CONV_VERSION << '\n';
        return kExitSucceeded;
    }
    if (argc == 3 && first == "--template") {
        return WriteTemplate(argv[2]);
    }
    // "--" lets a file name that begins with a dash through.
    int firstPath = argc == 4 && first == "--" ? 2 : 1;
    if (argc - firstPath == 2 && (firstPath == 2 || !first.starts_with("--"))) {
        return Convert(argv[firstPath], argv[firstPath + 1]);
    }
    std::cerr << kUsage;
    return kExitUsage;
}

// Even building the arguments can run out of memory; nothing may end the program unreported.
int ReportUncaught(int code) {
    try {
        PrintFailure(platform::RunError(code));
    } catch (...) {
        std::fputs(code == platform::error_code::kOutOfMemory ? "7:メモリが不足しています。\n"
                                                              : "51:内部エラーです。\n",
                   stderr);
    }
    return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return ReportUncaught(platform::error_code::kOutOfMemory);
    } catch (...) {
        return ReportUncaught(platform::error_code::kInternal);
    }
}
