#include "programs/rukanoba3/pdf_command.h"
#include "conversion/wording.h"

#include <QDateTime>
#include <QFileInfo>
#include <optional>
#include <string>
#include <variant>

#include "conversion/file_wording.h"
#include "conversion/print_wording.h"
#include "conversion/read_back.h"
#include "conversion/table_in_memory.h"
#include "platform/desktop/file_path.h"
#include "programs/hy3conv/file_result.h"
#include "programs/hy3conv/messages.h"
#include "window/fare_table_model.h"
#include "window/print/chart_painter.h"
#include "window/print/fare_chart.h"

namespace rukanoba3 {
namespace {

using conversion::ConversionOutcome;

struct PdfRequest {
    QString input;
    QString output;
    std::optional<QString> compareWith;
};

// The request, or the usage error's message.
std::variant<PdfRequest, std::string> ParsePdfArguments(const QStringList& arguments) {
    PdfRequest request;
    QStringList paths;
    bool onlyPaths = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!onlyPaths && argument == QStringLiteral("--")) {
            onlyPaths = true;
        } else if (!onlyPaths && argument == QStringLiteral("--compare")) {
            if (i + 1 >= arguments.size() || request.compareWith) {
                return conversion::PdfCompareUsageText();
            }
            request.compareWith = arguments[++i];
        } else if (!onlyPaths && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return conversion::UnknownOptionText(argument.toStdString());
        } else {
            paths.append(argument);
        }
    }
    if (paths.size() != 2) {
        return conversion::PdfPathsUsageText();
    }
    request.input = paths[0];
    request.output = paths[1];
    return request;
}

int Failed(const ConversionOutcome& outcome) {
    hy3conv::ReportFailure(outcome);
    hy3conv::ReportError(conversion::CheckTheFileText());
    return hy3conv::kExitFailed;
}

}  // namespace

bool AsksForPdf(const QStringList& arguments) {
    return !arguments.isEmpty() && arguments.front() == QStringLiteral("--pdf");
}

int RunPdfCommand(const QStringList& arguments) {
    hy3conv::SetProgramName("rukanoba3");
    const auto parsed = ParsePdfArguments(arguments);
    if (const auto* usage = std::get_if<std::string>(&parsed)) {
        hy3conv::ReportError(*usage);
        hy3conv::WriteError(conversion::PdfUsageText());
        return hy3conv::kExitUsage;
    }
    const PdfRequest& request = std::get<PdfRequest>(parsed);
    const std::string input = platform::FileSystemPath(request.input);
    const std::string output = platform::FileSystemPath(request.output);
    const ConversionOutcome table = conversion::ReadTableInMemory(input);
    for (const fare_model::Notice& notice : table.notices) {
        hy3conv::ReportNotice(input, notice);
    }
    if (table.kind == ConversionOutcome::Kind::kFailed) {
        return Failed(table);
    }
    if (table.kind != ConversionOutcome::Kind::kSucceeded) {
        hy3conv::ReportError(conversion::QuotedFileName(input) + ": " +
                             conversion::NothingToConvertText());
        return hy3conv::kExitNothingToConvert;
    }
    main_window::TableMarks marks{table.notices, {}, table.firstLine};
    if (request.compareWith) {
        const ConversionOutcome old =
            conversion::ReadBackDataFile(platform::FileSystemPath(*request.compareWith));
        if (old.kind != ConversionOutcome::Kind::kSucceeded) {
            return Failed(old);
        }
        marks.differences = fare_model::CompareRecords(old.records, table.records);
    }
    const QFileInfo file(request.input);
    const main_window::FareTableModel model(table.records, marks);
    const main_window::FareChart chart = main_window::MakeFareChart(
        model, marks, {file.fileName(), file.lastModified(), QDateTime::currentDateTime()});
    const ConversionOutcome written = conversion::WriteMadeFile(input, output, [&] {
        const std::optional<QByteArray> pdf =
            main_window::ChartPdf(chart, main_window::DefaultChartPageLayout());
        if (!pdf) {
            throw fare_model::RunError(fare_model::error_code::kDeviceIo);
        }
        return pdf->toStdString();
    });
    if (written.kind != ConversionOutcome::Kind::kSucceeded) {
        return Failed(written);
    }
    hy3conv::PrintOut(conversion::SavedText(QFileInfo(request.output).fileName().toStdString()) +
                      "\n");
    return hy3conv::FinishOutput() ? hy3conv::kExitSucceeded : hy3conv::kExitFailed;
}

}  // namespace rukanoba3
