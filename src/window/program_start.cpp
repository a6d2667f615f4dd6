#include "window/program_start.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include "conversion/read_back.h"
#include "platform/desktop/file_path.h"
#include "window/form1.h"
#include "window/off_the_event_loop.h"
#include "window/table_window.h"

namespace main_window {
namespace {

const QString kUsage = QStringLiteral(
    "使い方: rukanoba3 [--] [ファイル...]\n"
    "        rukanoba3 --pdf [--compare 前の.hy3] [--] 入力ファイル 出力.pdf\n"
    "        rukanoba3 -h | --help | -V | --version\n");

const QString kHelpBody = QStringLiteral(
    "\n"
    "ルカノバ 3 のウィンドウを開きます。\n"
    "\n"
    "  ファイル.hy3        中身を表のウィンドウで表示します（いくつでも）\n"
    "  ファイル.csv など   「はい」を選んで手順1にそのファイルを入れた状態で開きます\n"
    "  --pdf               表を印刷するときと同じ PDF を、ウィンドウを開かずに書き出します\n"
    "                      （入力は .hy3、テキスト、ブック。--compare で前の .hy3 "
    "との新旧対照表）\n"
    "  -h, --help          この説明を表示します\n"
    "  -V, --version       版数を表示します\n");

bool IsOption(const QString& argument) {
    return argument.startsWith(QLatin1Char('-')) && argument.size() > 1;
}

// The local .hy3 files a drag carries.
QStringList DataFilesIn(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && IsDataFilePath(url.toLocalFile())) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

}  // namespace

bool IsDataFilePath(const QString& path) {
    return path.endsWith(QStringLiteral(".hy3"), Qt::CaseInsensitive);
}

StartRequest ParseStartArguments(const QStringList& arguments) {
    StartRequest request;
    auto usageError = [&](const QString& message,
                          StartRequest::Action action = StartRequest::Action::kUsageError) {
        return StartRequest{action, {}, std::nullopt, message};
    };
    bool pathsOnly = false;
    QStringList others;
    for (const QString& argument : arguments) {
        if (!pathsOnly &&
            (argument == QStringLiteral("-h") || argument == QStringLiteral("--help") ||
             argument == QStringLiteral("-V") || argument == QStringLiteral("--version"))) {
            if (arguments.size() > 1) {
                return usageError(argument +
                                  QStringLiteral(" はほかの引数といっしょには使えません"));
            }
            const bool help =
                argument == QStringLiteral("-h") || argument == QStringLiteral("--help");
            request.action = help ? StartRequest::Action::kHelp : StartRequest::Action::kVersion;
            return request;
        }
        if (!pathsOnly && argument == QStringLiteral("--")) {
            pathsOnly = true;
        } else if (!pathsOnly && IsOption(argument)) {
            return usageError(QStringLiteral("不明なオプションです: ") + argument,
                              StartRequest::Action::kUnknownOption);
        } else if (argument.isEmpty()) {
            continue;  // a file manager never passes one; nothing to open
        } else if (IsDataFilePath(argument)) {
            request.dataFiles.append(argument);
        } else if (!request.tableText) {
            request.tableText = argument;
        } else {
            others.append(argument);
        }
    }
    if (!others.isEmpty()) {
        request.message = QStringLiteral("変換する表は一つずつ開きます。開かなかったファイル: ") +
                          others.join(QStringLiteral(", "));
    }
    return request;
}

QString StartHelpText() {
    return kUsage + kHelpBody;
}

QString StartUsageText() {
    return kUsage;
}

ProgramWindows::ProgramWindows(platform::FileDialog& dialog, platform::MessageBox& messageBox,
                               platform::FileOpener& fileOpener, platform::PrintDialog& printDialog,
                               QString userManual)
    : dialog_(dialog),
      messageBox_(messageBox),
      fileOpener_(fileOpener),
      printDialog_(printDialog),
      userManual_(std::move(userManual)) {}

ProgramWindows::~ProgramWindows() {
    if (!tablesToRead_.empty()) {
        QGuiApplication::restoreOverrideCursor();  // the read under way is left to end alone
    }
    for (const QPointer<TableWindow>& table : tables_) {
        delete table.data();
    }
}

Form1& ProgramWindows::MainWindow() {
    if (!form_) {
        form_ = std::make_unique<Form1>(dialog_, messageBox_, fileOpener_, nullptr,
                                        ConvertOnThisComputer, userManual_);
        form_->AskForSheets(&sheetChooser_);
        form_->setAcceptDrops(true);
        form_->installEventFilter(this);
        form_->OfferTable(
            [this](const QString& path, const conversion::ConversionOutcome& outcome) {
                OpenTable(path,
                          TableMarks{outcome.notices,
                                     outcome.differences.value_or(fare_model::RecordDifferences{}),
                                     outcome.firstLine});
            });
    }
    return *form_;
}

void ProgramWindows::OpenTable(const QString& path, const TableMarks& marks) {
    tablesToRead_.push_back({path, marks});
    if (tablesToRead_.size() == 1) {
        ReadNextTable();
    }
}

// One file at a time, so that the windows open in the order they were asked for.
void ProgramWindows::ReadNextTable() {
    // The mouse shows the busy cursor while the file is read.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    RunOffTheEventLoop<conversion::ConversionOutcome>(
        *this,
        [read = readTable_, file = platform::FileSystemPath(tablesToRead_.front().path)] {
            try {
                return read ? read(file) : conversion::ReadBackDataFile(file);
            } catch (...) {
                return conversion::ConversionOutcome::Failed(
                    fare_model::RunError(fare_model::error_code::kInternal));
            }
        },
        [this](conversion::ConversionOutcome read) {
            QGuiApplication::restoreOverrideCursor();
            const TableToRead table = std::move(tablesToRead_.front());
            tablesToRead_.pop_front();
            ShowTable(table.path, std::move(read), table.marks);
            if (!tablesToRead_.empty()) {
                ReadNextTable();
            }
        });
}

void ProgramWindows::ShowTable(const QString& path, conversion::ConversionOutcome read,
                               const TableMarks& marks) {
    auto* table =
        new TableWindow(TableDesktop{dialog_, printDialog_, fileOpener_, messageBox_, userManual_},
                        path, std::move(read), marks);
    table->setAttribute(Qt::WA_DeleteOnClose);
    tables_.emplace_back(table);
    table->show();
    table->raise();
    table->activateWindow();
    emit tableShown(table);
}

std::vector<TableWindow*> ProgramWindows::TableWindows() const {
    std::vector<TableWindow*> open;
    for (const QPointer<TableWindow>& table : tables_) {
        if (table) {
            open.push_back(table.data());
        }
    }
    return open;
}

void ProgramWindows::Open(const StartRequest& request) {
    if (request.tableText || request.dataFiles.isEmpty()) {
        Form1& form = MainWindow();
        if (request.tableText) {
            // As the Browse dialog would give it: whole, whatever the folder the program runs in.
            // Shown as the system writes paths: with backslashes on Windows.
            form.StartWithInput(
                QDir::toNativeSeparators(QFileInfo(*request.tableText).absoluteFilePath()));
        }
        form.show();
    }
    for (const QString& path : request.dataFiles) {
        OpenTable(path);
    }
}

bool ProgramWindows::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == form_.get() &&
        (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = DataFilesIn(drop->mimeData());
        if (files.isEmpty()) {
            return false;
        }
        // Taken as a copy: a "move" would let the file manager delete the file.
        if (!(drop->possibleActions() & Qt::CopyAction)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop) {
            for (const QString& path : files) {
                OpenTable(path);
            }
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace main_window
