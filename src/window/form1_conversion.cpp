// The main window's conversion: off the event loop, with the busy state the desktop can see,
// and its outcome in the status label.
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <optional>

#include "conversion/wording.h"
#include "platform/desktop/file_path.h"
#include "window/form1.h"
#include "window/layout_look.h"
#include "window/off_the_event_loop.h"
#include "window/sheet_choice.h"
#include "window/status_details.h"
#include "window/utf8_text.h"

namespace main_window {

Form1::~Form1() {
    // Closing the window lets a run finish: the file it writes is either whole or not there.
    if (worker_) {
        worker_->wait();
        delete worker_.data();
    }
    if (converting_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void Form1::ConvertClicked() {
    if (converting_) {
        return;  // a click while a conversion runs
    }
    converting_ = true;
    // The mouse shows the busy cursor while the window works, and the normal one again
    // however the work ends.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    shownCaption_ = statusLabel_->text();
    shownToolTip_ = statusLabel_->toolTip();
    runningOutput_ = pathFields_[1]->text();  // the fields may change while the work runs

    const std::string inputPath = platform::FileSystemPath(pathFields_[0]->text());
    const std::string outputPath = platform::FileSystemPath(pathFields_[1]->text());
    if (sheetChooser_ == nullptr) {
        StartConversion(inputPath, outputPath, {});
        return;
    }
    worker_ = RunOffTheEventLoop<conversion::workbook::BookOverview>(
        *this,
        [inputPath] {
            return conversion::workbook::ReadBookOverview(platform::SystemFileSystem(), inputPath);
        },
        [this, inputPath, outputPath](conversion::workbook::BookOverview book) {
            conversion::ConversionOptions options;
            // A book that cannot be read is converted all the same: the conversion says why.
            if (book.isWorkbook && !book.failure && !book.sheets.empty()) {
                QGuiApplication::restoreOverrideCursor();
                const std::optional<SheetChoice> choice = sheetChooser_->Choose(this, book);
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
                if (!choice) {
                    EndConversion();  // cancelled: nothing is converted
                    return;
                }
                options.sheet = choice->sheet;
                options.startRow = choice->startRow;
            }
            StartConversion(inputPath, outputPath, options);
        });
}

void Form1::StartConversion(const std::string& inputPath, const std::string& outputPath,
                            const conversion::ConversionOptions& options) {
    blinkTimer_->stop();
    SetStatusBackground(ToColor(kLightGrey));
    progressTimer_->start();
    worker_ = RunOffTheEventLoop<conversion::ConversionOutcome>(
        *this,
        [converter = converter_, inputPath, outputPath, options] {
            // The conversion catches its own failures: whatever goes wrong comes back as a
            // failed outcome, with its code.
            try {
                return converter(inputPath, outputPath, options);
            } catch (...) {
                return conversion::ConversionOutcome::Failed(
                    fare_model::RunError(fare_model::error_code::kInternal));
            }
        },
        [this](conversion::ConversionOutcome outcome) {
            EndConversion();
            ShowOutcome(outcome);
        });
}

void Form1::EndConversion() {
    progressTimer_->stop();
    converting_ = false;
    QGuiApplication::restoreOverrideCursor();
}

void Form1::ShowProgress() {
    statusLabel_->setText(FromUtf8(conversion::ConvertingText()));
    statusLabel_->setToolTip(QString());
}

void Form1::ShowOutcome(const conversion::ConversionOutcome& outcome) {
    using Kind = conversion::ConversionOutcome::Kind;
    if (outcome.kind == Kind::kNothingToConvert) {
        // The label keeps its caption, and the tooltip that goes with it.
        statusLabel_->setText(shownCaption_);
        statusLabel_->setToolTip(shownToolTip_);
        return;
    }
    if (outcome.kind == Kind::kFailed) {
        blinkTimer_->start();
    }
    const std::optional<std::string> text = conversion::OutcomeText(outcome);
    QString caption = text ? FromUtf8(*text) : QString();
    const StatusDetails details = DescribeOutcome(outcome);
    const bool wroteFile = outcome.kind == Kind::kSucceeded;
    QPushButton* const link = wroteFile ? TableLink() : tableLink_;
    if (link != nullptr) {
        link->setVisible(wroteFile);
        if (wroteFile) {
            writtenPath_ = runningOutput_;
            writtenOutcome_ = outcome;
        }
    }
    if (details.HasLine()) {
        // The label has room for three lines: the third must stay one line, whatever its
        // length. The pixels kept in hand absorb rounding between the measure and the drawing.
        constexpr int kSlackPixels = 4;
        const int linkWidth = wroteFile && link != nullptr ? link->width() : 0;
        const int width = statusLabel_->contentsRect().width() - 2 * statusLabel_->margin() -
                          kSlackPixels - linkWidth;
        caption += QStringLiteral("\r\n") + details.FittedLine(statusLabel_->fontMetrics(), width);
    }
    statusLabel_->setText(caption);
    statusLabel_->setToolTip(details.toolTip);
}
}  // namespace main_window
