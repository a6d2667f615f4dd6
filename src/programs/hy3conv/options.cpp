#include "programs/hy3conv/options.h"

#include "platform/os/file_access.h"

namespace hy3conv {
namespace {

constexpr std::string_view kUsage =
    "使い方: hy3conv [--strict] [--quiet] [--] 入力ファイル 出力ファイル\n"
    "        hy3conv [--strict] [--quiet] -o フォルダ 入力ファイル...\n"
    "        hy3conv --to-text [--quiet] [--] 入力.hy3 出力.txt\n"
    "        hy3conv --to-text [--quiet] -o フォルダ 入力.hy3...\n"
    "        hy3conv --to-sheet [--quiet] [--] 入力.hy3 出力.xlsx\n"
    "        hy3conv --to-sheet [--quiet] -o フォルダ 入力.hy3...\n"
    "        hy3conv [--strict] [--quiet] [--sheet シート名] [--start-row 行] [--] ブック 出力"
    "ファイル\n"
    "        hy3conv [--strict] [--quiet] -o フォルダ --all-sheets ブック...\n"
    "        hy3conv --show 入力.hy3\n"
    "        hy3conv --compare [--quiet] 前の.hy3 新しい.hy3\n"
    "        hy3conv --template ファイル\n"
    "        hy3conv -h | --help | -V | --version\n";

constexpr std::string_view kHelpBody =
    "\n"
    "カンマ区切りの運賃表テキストファイル(*.txt/*.csv)か表計算のブック(*.xlsx/*.ods)\n"
    "を、運賃表示器(Ver3)のデータファイル(*.hy3)に変換します。\n"
    "失敗したときは出力ファイルを変更しません。\n"
    "\n"
    "  --strict          注意が出る表は書き出さずに失敗とします(終了状態 4)\n"
    "  --quiet           失敗だけを表示します\n"
    "  -o フォルダ       入力ごとに フォルダ/名前.hy3 に書き出します(--to-text では\n"
    "                    名前.txt、--to-sheet では 名前.xlsx)\n"
    "  --to-text         .hy3 ファイルを運賃表のテキスト(Shift_JIS、CR LF)に書き戻します\n"
    "  --to-sheet        .hy3 ファイルを Excel ブック(*.xlsx)に書き戻します\n"
    "  --sheet シート名  ブック(*.xlsx/*.ods)のそのシートを変換します(既定は先頭のシート)\n"
    "  --all-sheets      ブックのシートごとに フォルダ/シート名.hy3 に書き出します(-o と)\n"
    "  --start-row 行    ブックの表がその行から始まるものとして変換します(既定は値のある\n"
    "                    最初の行。見出しや表題の行を飛ばすときに使います)\n"
    "  --show            .hy3 ファイルの中身を表にして表示します\n"
    "  --compare         二つの .hy3 ファイルの違い(地名、ゾーン、運賃、行の増減)を一行ずつ\n"
    "                    表示します(終了状態 0 同じ / 1 違う / 2 使い方の誤りか読めない)\n"
    "  --template        テンプレートを書き出します(名前が .xlsx なら Excel ブック)\n"
    "  --                これより後ろはすべてパスとして扱います\n"
    "  -h, --help        この説明を表示します\n"
    "  -V, --version     版数を表示します\n"
    "\n"
    "終了状態: 0 成功 / 1 失敗 / 2 使い方の誤り / 3 変換する行がない /\n"
    "          4 --strict で注意があった\n"
    "-o で複数のファイルを変換したときは、いちばん重いもの(1、4、3、0 の順)を返します。\n";

// The help in the terms of the system it runs on: on Windows, paths with backslashes, and the
// exit status as cmd.exe names it.
std::string InSystemTerms(std::string text) {
#ifdef _WIN32
    constexpr std::pair<std::string_view, std::string_view> kWindowsTerms[] = {
        {"フォルダ/", "フォルダ\\"},
        {"./-", ".\\-"},
        {"終了状態: ", "終了コード(%ERRORLEVEL%): "},
        {"終了状態", "終了コード"},
    };
    for (const auto& [from, to] : kWindowsTerms) {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
            text.replace(at, from.size(), to);
            at += to.size();
        }
    }
#endif
    return text;
}

// Checks that the options given fit the action; the first misfit is reported.
std::optional<std::string> MisfitOf(const Options& options, bool show, bool templ, bool toText,
                                    bool toSheet, bool compare) {
    if (show + templ + toText + toSheet + compare > 1) {
        return "--to-text、--to-sheet、--show、--compare、--template "
               "はどれか一つだけ指定してください";
    }
    if ((options.sheet || options.allSheets || options.startRow) &&
        (show || templ || toText || toSheet || compare)) {
        return "--sheet、--all-sheets、--start-row は変換のときだけ使えます";
    }
    if (options.sheet && options.allSheets) {
        return "--sheet と --all-sheets はどちらか一つだけ指定してください";
    }
    if (options.allSheets && !options.outputFolder) {
        return "--all-sheets には -o フォルダ が要ります（シートごとに フォルダ/シート名.hy3 "
               "に書き出します）";
    }
    if (compare && (options.outputFolder || options.strict)) {
        return "--compare には -o、--strict は使えません";
    }
    if ((show || templ) && (options.outputFolder || options.strict || options.quiet)) {
        return std::string(show ? "--show" : "--template") +
               " には -o、--strict、--quiet は使えません";
    }
    if ((toText || toSheet) && options.strict) {
        return std::string("--strict は変換のときだけ使えます（") +
               (toSheet ? "--to-sheet" : "--to-text") + " では使えません）";
    }
    return std::nullopt;
}

std::optional<std::string> PathCountError(const Options& options) {
    const size_t count = options.paths.size();
    switch (options.action) {
        case Action::kShow:
        case Action::kTemplate:
            if (count == 0) {
                return options.action == Action::kShow ? "表示する .hy3 ファイルがありません"
                                                       : "書き出すファイルがありません";
            }
            if (count > 1) {
                return "ファイルは一つだけ指定してください: " + options.paths[1];
            }
            return std::nullopt;
        case Action::kCompare:
            if (count != 2) {
                return "--compare には前の .hy3 と新しい .hy3 の二つを指定してください";
            }
            return std::nullopt;
        default:
            break;
    }
    if (count == 0) {
        return "入力ファイルがありません";
    }
    if (options.outputFolder) {
        return std::nullopt;
    }
    if (count == 1) {
        return "出力ファイルがありません（複数の入力をまとめて変換するときは -o フォルダ "
               "を付けます）";
    }
    if (count > 2) {
        return "ファイルが多すぎます: " + options.paths[2] +
               "（複数の入力をまとめて変換するときは -o フォルダ を付けます）";
    }
    return std::nullopt;
}

// A workbook is written as .xlsx only: an output named .ods or .xls would hold something other
// than its name says, and the spreadsheet would open it as the wrong kind of file.
std::optional<std::string> WorkbookNameError(const Options& options) {
    const std::string* output = options.action == Action::kTemplate ? &options.paths[0]
                                : options.action == Action::kToSheet && !options.outputFolder
                                    ? &options.paths[1]
                                    : nullptr;
    if (output == nullptr) {
        return std::nullopt;
    }
    const std::string lower = platform::AsciiLowercase(*output);
    if (!lower.ends_with(".ods") && !lower.ends_with(".xls")) {
        return std::nullopt;
    }
    return "ブックは .xlsx の形式でだけ書き出せます。出力ファイルの名前を .xlsx "
           "で終わるものにしてください: " +
           *output;
}

// Takes the value that follows the option at `i` into `value`, given once and not empty;
// `what` names it in the message otherwise.
std::optional<std::string> TakeValue(std::span<const std::string_view> arguments, size_t& i,
                                     std::optional<std::string>& value, std::string_view what) {
    const std::string option(arguments[i]);
    if (value) {
        return option + " は一度だけ指定してください";
    }
    if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        return option + " のあとに" + std::string(what) + "がありません";
    }
    value = std::string(arguments[++i]);
    return std::nullopt;
}

// A sheet's row number as a user types it: 1 to the last row a spreadsheet has.
std::optional<uint32_t> ParseRowNumber(std::string_view text) {
    constexpr uint32_t kLastRow = 1048576;
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    const auto row = static_cast<uint32_t>(std::stoul(std::string(text)));
    return row >= 1 && row <= kLastRow ? std::optional(row) : std::nullopt;
}

}  // namespace

std::variant<Options, UsageError> ParseOptions(std::span<const std::string_view> arguments) {
    Options options;
    bool show = false, templ = false, toText = false, toSheet = false, compare = false,
         help = false, version = false;
    bool pathsOnly = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        // The table is read twice, so standard input (a pipe) cannot be the input; and
        // standard output is where the messages go.
        if (argument == "-") {
            return UsageError{
                "「-」(標準入力・標準出力)は使えません。入力は2回読むので、パイプからは"
                "読めません。「-」という名前のファイルなら " +
                InSystemTerms("./-") + " と書いてください"};
        }
        if (pathsOnly || !argument.starts_with('-')) {
            options.paths.emplace_back(argument);
        } else if (argument == "--") {
            pathsOnly = true;
        } else if (argument == "--strict") {
            options.strict = true;
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "--to-text") {
            toText = true;
        } else if (argument == "--to-sheet") {
            toSheet = true;
        } else if (argument == "--all-sheets") {
            options.allSheets = true;
        } else if (argument == "--sheet") {
            if (auto error = TakeValue(arguments, i, options.sheet, "シート名")) {
                return UsageError{*error};
            }
        } else if (argument == "--start-row") {
            std::optional<std::string> row;
            if (auto error = TakeValue(arguments, i, row, "行の番号")) {
                return UsageError{*error};
            }
            if (options.startRow) {
                return UsageError{"--start-row は一度だけ指定してください"};
            }
            options.startRow = ParseRowNumber(*row);
            if (!options.startRow) {
                return UsageError{
                    "--start-row のあとには 1 から 1048576 までの行の番号を指定して"
                    "ください: " +
                    *row};
            }
        } else if (argument == "--show") {
            show = true;
        } else if (argument == "--compare") {
            compare = true;
        } else if (argument == "--template") {
            templ = true;
        } else if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (argument == "-V" || argument == "--version") {
            version = true;
        } else if (argument == "-o") {
            if (auto error = TakeValue(arguments, i, options.outputFolder, "出力先のフォルダ")) {
                return UsageError{*error};
            }
        } else {
            return UsageError{"不明なオプションです: " + std::string(argument)};
        }
    }
    if (help || version) {
        // "hy3conv IN --help" must not pass for a conversion to a file named "--help".
        if (arguments.size() > 1) {
            return UsageError{std::string(help ? "--help" : "--version") +
                              " はほかの引数といっしょには使えません"};
        }
        options.action = help ? Action::kHelp : Action::kVersion;
        return options;
    }
    if (auto misfit = MisfitOf(options, show, templ, toText, toSheet, compare)) {
        return UsageError{*misfit};
    }
    options.action = show      ? Action::kShow
                     : compare ? Action::kCompare
                     : templ   ? Action::kTemplate
                     : toText  ? Action::kToText
                     : toSheet ? Action::kToSheet
                               : Action::kConvert;
    if (auto error = PathCountError(options)) {
        return UsageError{*error};
    }
    if (auto error = WorkbookNameError(options)) {
        return UsageError{*error};
    }
    return options;
}

std::string_view UsageText() {
    static const std::string usage = InSystemTerms(std::string(kUsage));
    return usage;
}

std::string_view HelpText() {
    static const std::string help = InSystemTerms(std::string(kUsage) + std::string(kHelpBody));
    return help;
}

}  // namespace hy3conv
