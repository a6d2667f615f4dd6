#include "programs/hy3conv/commands.h"
#include "conversion/wording.h"

#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/file_wording.h"
#include "conversion/formats/workbook/book_conversion.h"
#include "conversion/formats/workbook/sheet_list.h"
#include "conversion/name_wording.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"
#include "platform/os/process.h"
#include "programs/hy3conv/compare.h"
#include "programs/hy3conv/file_result.h"
#include "programs/hy3conv/messages.h"
#include "programs/hy3conv/options.h"
#include "programs/hy3conv/read_back.h"
#include "programs/hy3conv/shared_output.h"
#include "template/workbook/template_workbook.h"

namespace hy3conv {
namespace {

using conversion::ConversionOutcome;
using Kind = FileResult::Kind;

std::string Quoted(const std::string& path) {
    return conversion::QuotedFileName(path);
}

// What the conversion changed against the .hy3 it replaced, where there was one.
std::string ChangeSummary(const ConversionOutcome& outcome) {
    return outcome.differences ? conversion::DifferenceSummary(outcome.differences->size()) : "";
}

conversion::ConversionOptions ConversionOptionsOf(const Options& options,
                                                  const std::optional<std::string>& sheet) {
    conversion::ConversionOptions conversionOptions;
    conversionOptions.withholdOnNotices = options.strict;
    conversionOptions.sheet = sheet;
    conversionOptions.startRow = options.startRow;
    return conversionOptions;
}

// Reports what converting `input` came to, and sums it up as one file's result.
FileResult Reported(const Options& options, const std::string& input,
                    const ConversionOutcome& outcome) {
    const bool withheld = outcome.kind == ConversionOutcome::Kind::kWithheld;
    // Under --strict the notices of a withheld table are its failure.
    if (!options.quiet || withheld) {
        for (const fare_model::Notice& notice : outcome.notices) {
            ReportNotice(input, notice);
        }
    }
    switch (outcome.kind) {
        case ConversionOutcome::Kind::kSucceeded:
            return {Kind::kWritten,
                    conversion::ConvertedText(outcome.rowsWritten) + ChangeSummary(outcome)};
        case ConversionOutcome::Kind::kFailed:
            ReportFailure(outcome);
            return {Kind::kFailed, conversion::NotWrittenText(conversion::NotWritten::kFailed)};
        case ConversionOutcome::Kind::kNothingToConvert:
            ReportError(Quoted(input) + ": " + conversion::NothingToConvertText());
            return {Kind::kNothingToConvert,
                    conversion::NotWrittenText(conversion::NotWritten::kNothingToConvert)};
        case ConversionOutcome::Kind::kWithheld:
            break;
    }
    ReportError(Quoted(input) + ": " + conversion::WithheldText());
    return {Kind::kWithheld, conversion::NotWrittenText(conversion::NotWritten::kWithheld)};
}

FileResult ConvertOne(const Options& options, const std::string& input, const std::string& output,
                      const std::optional<std::string>& sheet) {
    return Reported(
        options, input,
        conversion::ConvertFareTableWith(input, output, ConversionOptionsOf(options, sheet)));
}

using FileAction = std::function<FileResult(const std::string&, const std::string&)>;

int RunOne(const Options& options, const FileAction& action) {
    const FileResult result = action(options.paths[0], options.paths[1]);
    if (result.kind == Kind::kWritten && !options.quiet) {
        PrintOut(result.summary + "\n");
        if (options.action == Action::kConvert) {
            PrintOut(conversion::TestReminderText() + "\n");
        }
    }
    if (result.kind == Kind::kFailed) {
        ReportError(conversion::CheckTheFileText());
    }
    return ExitStatusOf(result.kind);
}

// Whether the output folder takes fare.hy3 and Fare.hy3 for one file.
std::function<bool()> FolderProbe(const Options& options) {
    return [&options] { return platform::FolderIgnoresCase(*options.outputFolder); };
}

// The folder's path ending in a separator, ready for a file name.
std::string InFolder(std::string folder) {
    if (folder.empty() || platform::kPathSeparators.find(folder.back()) == std::string_view::npos) {
        folder += platform::kPreferredSeparator;
    }
    return folder;
}

// DIR/NAME.EXT for each input, NAME being its file name without the last extension; two
// inputs that would share an output are refused before anything is written.
std::optional<std::string> OutputsInFolder(const Options& options, std::string_view extension,
                                           std::vector<std::string>& outputs) {
    std::vector<PlannedOutput> planned;
    for (const std::string& input : options.paths) {
        const std::string_view name = platform::FileNameOf(input);
        if (name.empty() || name == "." || name == "..") {
            return conversion::NoFileNameText(Quoted(input));
        }
        // The name without its last extension; a name that only begins with a dot is kept.
        const size_t dot = name.rfind('.');
        const std::string_view stem =
            dot == 0 || dot == std::string_view::npos ? name : name.substr(0, dot);
        std::string output = InFolder(*options.outputFolder);
        output += std::string(stem) + std::string(extension);
        planned.push_back({output, input});
        outputs.push_back(output);
    }
    if (auto shared = FindSharedOutput(planned, FolderProbe(options))) {
        return conversion::SharedOutputText(Quoted(shared->output), Quoted(shared->firstSource),
                                            Quoted(shared->secondSource));
    }
    return std::nullopt;
}

std::string BatchSummary(const std::map<Kind, int>& counts, size_t total) {
    auto count = [&](Kind kind) {
        auto at = counts.find(kind);
        return at == counts.end() ? 0 : at->second;
    };
    return conversion::BatchSummaryText(total, count(Kind::kWritten), count(Kind::kFailed),
                                        count(Kind::kWithheld), count(Kind::kNothingToConvert)) +
           "\n";
}

// One file of a batch: `run` writes `output` from `source` (an input, or a workbook's sheet).
struct Job {
    std::string source;
    std::string output;  // as messages show it
    std::function<FileResult()> run;
};

int RunJobs(const Options& options, const std::vector<Job>& jobs) {
    const std::string& folder = *options.outputFolder;
    platform::EntryKind folderKind = platform::EntryKind::kNone;
    try {
        folderKind = platform::EntryKindOf(folder);
    } catch (const fare_model::RunError& error) {
        ReportFailure(folder, error);
        return kExitFailed;
    }
    if (folderKind == platform::EntryKind::kNone) {
        ReportFailure(folder, fare_model::RunError(fare_model::error_code::kPathNotFound,
                                                   fare_model::Reason::kNoOutputFolder));
        return kExitFailed;
    }
    if (folderKind != platform::EntryKind::kFolder) {
        ReportFailure(folder, fare_model::RunError(fare_model::error_code::kPathFileAccess,
                                                   fare_model::Reason::kOutputNotFolder));
        return kExitFailed;
    }
    std::map<Kind, int> counts;
    int status = kExitSucceeded;
    for (const Job& job : jobs) {
        const FileResult result = job.run();
        ++counts[result.kind];
        // The most serious outcome decides: a failure, then --strict, then an empty table.
        const int fileStatus = ExitStatusOf(result.kind);
        auto rank = [](int s) { return s == kExitFailed ? 3 : s == kExitWithheld ? 2 : s != 0; };
        if (rank(fileStatus) > rank(status)) {
            status = fileStatus;
        }
        if (!options.quiet) {
            PrintOut(job.source + " → " + Quoted(job.output) + ": " + result.summary + "\n");
        }
    }
    if (!options.quiet) {
        PrintOut(BatchSummary(counts, jobs.size()));
    }
    if (counts[Kind::kFailed] > 0) {
        ReportError(conversion::CheckTheFileText());
    }
    return status;
}

int UsageFailure(const std::string& message) {
    ReportError(message);
    WriteError(std::string(UsageText()));
    return kExitUsage;
}

int RunBatch(const Options& options, std::string_view extension, const FileAction& action) {
    std::vector<std::string> outputs;
    if (auto conflict = OutputsInFolder(options, extension, outputs)) {
        return UsageFailure(*conflict);
    }
    std::vector<Job> jobs;
    for (size_t i = 0; i < outputs.size(); ++i) {
        jobs.push_back({Quoted(options.paths[i]), outputs[i],
                        [&, i] { return action(options.paths[i], outputs[i]); }});
    }
    return RunJobs(options, jobs);
}

// The longest file name, in UTF-8 bytes, that a folder takes: 255 bytes on Linux, 255 UTF-16
// units on Windows (at most three bytes each).
#ifdef _WIN32
constexpr size_t kLongestFileName = 255 * 3;
#else
constexpr size_t kLongestFileName = 255;
#endif

// Every sheet of every workbook to FOLDER/SHEET.hy3; a book that cannot be read is one failed
// file, and two sheets that would share an output are refused before anything is written.
// Each book is read once to list its sheets and once more to convert them all, and only one
// book is held at a time.
int RunAllSheets(const Options& options) {
    using conversion::workbook::OpenedBook;
    std::vector<Job> jobs;
    std::vector<PlannedOutput> planned;
    const std::string folder = InFolder(*options.outputFolder);
    for (const std::string& book : options.paths) {
        conversion::workbook::SheetList list =
            conversion::workbook::ListSheets(platform::SystemFileSystem(), book);
        if (list.failure) {
            jobs.push_back({Quoted(book), folder, [failure = *list.failure] {
                                ReportFailure(failure);
                                return FileResult{
                                    Kind::kFailed,
                                    conversion::NotWrittenText(conversion::NotWritten::kFailed)};
                            }});
        }
        // Opened by the book's first job and let go by its last.
        auto opened = std::make_shared<std::unique_ptr<OpenedBook>>();
        for (size_t index = 0; index < list.names.size(); ++index) {
            const std::string& sheet = list.names[index];
            const std::string source = Quoted(book) + ":" + conversion::ShortenedName(sheet);
            if (sheet.empty() || sheet == "." || sheet == ".." ||
                sheet.size() + 4 > kLongestFileName ||
                sheet.find_first_of(platform::kPathSeparators) != std::string::npos) {
                return UsageFailure(conversion::SheetNotFileNameText(source));
            }
            const std::string output = folder + sheet + ".hy3";
            planned.push_back({output, source});
            const bool last = index + 1 == list.names.size();
            jobs.push_back({source, folder + conversion::ShortenedName(sheet + ".hy3"),
                            [&options, book, output, sheet, index, last, opened] {
                                if (!*opened) {
                                    *opened = std::make_unique<OpenedBook>(
                                        platform::SystemFileSystem(), book);
                                }
                                const ConversionOutcome outcome = (*opened)->ConvertSheet(
                                    index, sheet, output, ConversionOptionsOf(options, sheet));
                                if (last) {
                                    opened->reset();
                                }
                                return Reported(options, book, outcome);
                            }});
        }
    }
    if (auto shared = FindSharedOutput(planned, FolderProbe(options))) {
        const std::string shown =
            folder + conversion::ShortenedName(shared->output.substr(folder.size()));
        return UsageFailure(
            conversion::SharedSheetOutputText(shown, shared->firstSource, shared->secondSource));
    }
    return RunJobs(options, jobs);
}

int WriteTemplate(const std::string& path) {
    try {
        platform::WriteFileAtomically(path, template_workbook::TemplateForFileName(path));
    } catch (const fare_model::RunError& error) {
        ReportFailure(path, error.WithFile(fare_model::FileRole::kUnsaid, path));
        ReportError(conversion::CheckTheFileText());
        return kExitFailed;
    }
    return kExitSucceeded;
}

int RunAction(const Options& options) {
    switch (options.action) {
        case Action::kHelp:
            PrintOut(HelpText());
            return kExitSucceeded;
        case Action::kVersion:
            PrintOut("hy3conv " HY3CONV_VERSION "\n");
            return kExitSucceeded;
        case Action::kTemplate:
            return WriteTemplate(options.paths[0]);
        case Action::kShow:
            return ShowDataFile(options.paths[0]);
        case Action::kCompare:
            return CompareDataFiles(options.paths[0], options.paths[1], options.quiet);
        case Action::kToText:
            return options.outputFolder ? RunBatch(options, ".txt", WriteBackAsText)
                                        : RunOne(options, WriteBackAsText);
        case Action::kToSheet:
            return options.outputFolder ? RunBatch(options, ".xlsx", WriteBackAsWorkbook)
                                        : RunOne(options, WriteBackAsWorkbook);
        case Action::kConvert:
            break;
    }
    if (options.allSheets) {
        return RunAllSheets(options);
    }
    FileAction convert = [&](const std::string& input, const std::string& output) {
        return ConvertOne(options, input, output, options.sheet);
    };
    return options.outputFolder ? RunBatch(options, ".hy3", convert) : RunOne(options, convert);
}

}  // namespace

int ExitStatusOf(FileResult::Kind kind) {
    switch (kind) {
        case Kind::kWritten:
            return kExitSucceeded;
        case Kind::kNothingToConvert:
            return kExitNothingToConvert;
        case Kind::kWithheld:
            return kExitWithheld;
        case Kind::kFailed:
            break;
    }
    return kExitFailed;
}

int Run(const std::vector<std::string>& arguments) {
    platform::ReportClosedPipesAsWriteErrors();
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    auto parsed = ParseOptions(views);
    if (auto* usage = std::get_if<UsageError>(&parsed)) {
        return UsageFailure(usage->message);
    }
    const int status = RunAction(std::get<Options>(parsed));
    return FinishOutput() || status != kExitSucceeded ? status : kExitFailed;
}

}  // namespace hy3conv
