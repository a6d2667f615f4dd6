#include "window/table_printing.h"
#include "conversion/print_wording.h"
#include "conversion/wording.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QWidget>

#include "conversion/table_in_memory.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_path.h"
#include "platform/desktop/print_dialog.h"
#include "window/failure_text.h"
#include "window/off_the_event_loop.h"
#include "window/print/chart_painter.h"
#include "window/print/fare_chart.h"
#include "window/utf8_text.h"

namespace main_window {

TablePrinting::TablePrinting(QWidget& window, platform::FileDialog& fileDialog,
                             platform::PrintDialog& printDialog, const FareTableModel& model,
                             TableMarks marks, QString path,
                             std::function<void(const QString&)> tell)
    : QObject(&window),
      window_(window),
      fileDialog_(fileDialog),
      printDialog_(printDialog),
      model_(model),
      marks_(std::move(marks)),
      path_(std::move(path)),
      tell_(std::move(tell)) {}

void TablePrinting::Print() {
    if (busy_) {
        return;
    }
    const QFileInfo file(path_);
    // The same pages for the preview and for the printer.
    std::function<bool(QPagedPaintDevice&)> paint;
    std::shared_ptr<platform::PrintJob> job;
    try {
        paint = [chart = MakeChart()](QPagedPaintDevice& device) {
            return PaintChart(*chart, device).has_value();
        };
        job = printDialog_.Choose(&window_, DefaultChartPageLayout(), paint);
    } catch (...) {
        // As a failing file dialog: printing that cannot even start ends silently.
        return;
    }
    if (!job) {
        return;
    }
    const std::string name = file.fileName().toStdString();
    // A printer takes the pages as slowly as a PDF is written: the window goes on meanwhile.
    OffTheEventLoop(FromUtf8(conversion::PrintingText(name)), [paint, job, name] {
        if (job->Print(paint)) {
            return FromUtf8(conversion::PrintedText(name));
        }
        return FromUtf8(conversion::NotPrintedText()) +
               FailureLine(fare_model::RunError(fare_model::error_code::kDeviceIo));
    });
}

void TablePrinting::SaveAsPdf() {
    if (busy_) {
        return;
    }
    const QFileInfo file(path_);
    platform::FileDialogRequest request;
    request.mode = platform::FileDialogMode::kSave;
    request.filter = QStringLiteral("PDF ファイル(*.pdf)|*.pdf");
    request.initialFileName = file.completeBaseName() + QStringLiteral(".pdf");
    std::optional<QString> target;
    try {
        target = fileDialog_.Choose(&window_, request);
    } catch (...) {
        return;
    }
    if (!target) {
        return;
    }
    const std::shared_ptr<const FareChart> chart = MakeChart();
    const std::string input = platform::FileSystemPath(path_);
    const std::string output = platform::FileSystemPath(*target);
    const std::string name = QFileInfo(*target).fileName().toStdString();
    // A 301-row table takes a second or two to paint and write.
    OffTheEventLoop(FromUtf8(conversion::SavingPdfText(name)), [chart, input, output, name] {
        const conversion::ConversionOutcome written = conversion::WriteMadeFile(input, output, [&] {
            const std::optional<QByteArray> pdf = ChartPdf(*chart, DefaultChartPageLayout());
            if (!pdf) {
                throw fare_model::RunError(fare_model::error_code::kDeviceIo);
            }
            return pdf->toStdString();
        });
        return written.error
                   ? FromUtf8(conversion::NotSavedText(name)) + FailureLine(*written.error)
                   : FromUtf8(conversion::SavedText(name));
    });
}

std::shared_ptr<const FareChart> TablePrinting::MakeChart() const {
    const QFileInfo file(path_);
    return std::make_shared<const FareChart>(MakeFareChart(
        model_, marks_, {file.fileName(), file.lastModified(), QDateTime::currentDateTime()}));
}

void TablePrinting::OffTheEventLoop(const QString& progress, std::function<QString()> work) {
    busy_ = true;
    tell_(progress);
    emit started();
    RunOffTheEventLoop<QString>(
        *this,
        [work = std::move(work)] {
            try {
                return work();
            } catch (...) {
                return FailureLine(fare_model::RunError(fare_model::error_code::kInternal));
            }
        },
        [this](QString text) {
            busy_ = false;
            tell_(text);
            emit finished();
        });
}

}  // namespace main_window
