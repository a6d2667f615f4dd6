#include "programs/hy3conv/messages.h"

#include "conversion/wording.h"

#include <cerrno>
#include <cstdio>

#include "conversion/file_wording.h"
#include "platform/os/process.h"

namespace hy3conv {
namespace {

int outputErrno = 0;  // the first failed write to standard output

std::string& ProgramName() {
    static std::string name = "hy3conv";
    return name;
}

}  // namespace

void SetProgramName(std::string name) {
    ProgramName() = std::move(name);
}

void WriteError(const std::string& text) {
    platform::WriteText(stderr, text);
    std::fflush(stderr);
}

std::string MessageLine(std::string_view file, std::optional<int> line, std::optional<int> field,
                        std::string_view text, const std::string& cell) {
    std::string message = ProgramName() + ": ";
    message += file.empty() ? std::string() : conversion::QuotedFileName(file);
    if (!cell.empty()) {
        message += ":" + cell;
    } else if (line) {
        message += ":" + std::to_string(*line);
        if (field) {
            message += ":" + std::to_string(*field);
        }
    }
    message += ": ";
    message += text;
    message += '\n';
    return message;
}

std::string FailureText(const fare_model::RunError& error) {
    std::string text = conversion::CodeAndDescription(error);
    const std::string explanation = conversion::ExplanationText(error);
    if (!explanation.empty()) {
        text += " " + explanation;
    }
    return text;
}

void ReportError(std::string_view text) {
    WriteError(ProgramName() + ": " + std::string(text) + "\n");
}

void ReportFailure(std::string_view file, const fare_model::RunError& error) {
    std::string text = FailureText(error);
    if (!error.cell().empty() && error.line()) {
        // The cell alone does not say which field of the table it is.
        text = conversion::PlaceText(*error.line(), error.field()) + ": " + text;
    }
    WriteError(MessageLine(file, error.line(), error.field(), text, error.cell()));
}

void ReportFailure(const conversion::ConversionOutcome& outcome) {
    const fare_model::RunError error =
        outcome.error.value_or(fare_model::RunError(fare_model::error_code::kInternal));
    ReportFailure(outcome.file ? std::string_view(outcome.file->path) : std::string_view(), error);
}

void ReportNotice(std::string_view file, const fare_model::Notice& notice) {
    // A notice about the whole book (which sheet) has no line.
    const std::optional<int> line = notice.line > 0 ? std::optional(notice.line) : std::nullopt;
    WriteError(MessageLine(file, line, notice.field,
                           conversion::NoticeMark() + conversion::NoticeText(notice), notice.cell));
}

void PrintOut(std::string_view text) {
    // A failure leaves the stream's error flag set; FinishOutput reports it once.
    errno = 0;
    if (!platform::WriteText(stdout, text) && outputErrno == 0) {
        outputErrno = errno;
    }
}

bool FinishOutput() {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return true;
    }
    const int err = outputErrno != 0 ? outputErrno : errno;
    using conversion::LostOutput;
    ReportError(conversion::LostOutputText(err == EPIPE    ? LostOutput::kClosedPipe
                                           : err == ENOSPC ? LostOutput::kDiskFull
                                                           : LostOutput::kOther));
    return false;
}

}  // namespace hy3conv
