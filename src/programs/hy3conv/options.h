#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace hy3conv {

enum class Action { kConvert, kToText, kToSheet, kShow, kCompare, kTemplate, kHelp, kVersion };

struct Options {
    Action action = Action::kConvert;
    bool strict = false;  // notices withhold the output
    bool quiet = false;   // failures only
    // Set in batch mode: every input goes to this folder under its own name.
    std::optional<std::string> outputFolder;
    // Workbooks: the sheet to convert (the first where none is named), or every sheet, each
    // to its own file in the output folder.
    std::optional<std::string> sheet;
    bool allSheets = false;
    // Workbooks: the row where the table starts (the first that holds anything where none).
    std::optional<uint32_t> startRow;
    std::vector<std::string> paths;  // inputs, then the output where there is one
};

// What was wrong with the command line, as one sentence to show before the usage.
struct UsageError {
    std::string message;
};

// Reads the arguments after the program's name. Options may come anywhere before "--";
// after it every argument is a path.
std::variant<Options, UsageError> ParseOptions(std::span<const std::string_view> arguments);

// The synopsis shown after a usage error, and the whole help text.
std::string_view UsageText();
std::string_view HelpText();

}  // namespace hy3conv
