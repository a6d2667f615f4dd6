#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/outcome.h"
#include "window/fare_table_model.h"
#include "window/sheet_choice.h"

namespace platform {
class FileDialog;
class MessageBox;
class FileOpener;
class PrintDialog;
}  // namespace platform

namespace main_window {

class Form1;
class TableWindow;

// What the window program's command line asks for.
struct StartRequest {
    // kUnknownOption is told apart: until Qt has taken out its own options (-platform and
    // the like), an option this program does not know may still be Qt's.
    enum class Action { kOpen, kHelp, kVersion, kUsageError, kUnknownOption };
    Action action = Action::kOpen;
    QStringList dataFiles;             // .hy3 files, each shown in a table window
    std::optional<QString> tableText;  // a fare table to convert: the main window, step 1 filled
    QString message;                   // a usage error, or a note on arguments left unused
};

// Reads the arguments after the program's name, as the file manager passes them (%F): a
// ".hy3" file opens in the table window, any other file is a table to convert. "-h",
// "--help", "-V" and "--version" stand alone; after "--" every argument is a file.
StartRequest ParseStartArguments(const QStringList& arguments);

QString StartHelpText();   // the usage and what each way in does
QString StartUsageText();  // the usage alone, after a usage error

// Whether the path names a fare display data file (by its extension, in any case).
bool IsDataFilePath(const QString& path);

// The windows of one run of the program: the main window and any number of table windows.
// A .hy3 dropped anywhere on the main window outside its path fields opens in a table
// window.
class ProgramWindows : public QObject {
    Q_OBJECT

  public:
    // F1 opens `userManual`; in a table window, at its section.
    ProgramWindows(platform::FileDialog& dialog, platform::MessageBox& messageBox,
                   platform::FileOpener& fileOpener, platform::PrintDialog& printDialog,
                   QString userManual = QString());
    ~ProgramWindows() override;

    // Shows what the request asks for: the main window unless it names only .hy3 files.
    void Open(const StartRequest& request);
    Form1& MainWindow();
    // Reads the .hy3 at `path` off the event loop, then shows it in a table window of its own.
    void OpenTable(const QString& path, const TableMarks& marks = {});
    // How OpenTable reads a file: conversion::ReadBackDataFile unless told otherwise.
    using TableReader = std::function<conversion::ConversionOutcome(const std::string& path)>;
    void ReadTablesWith(TableReader reader) { readTable_ = std::move(reader); }
    std::vector<TableWindow*> TableWindows() const;

  signals:
    void tableShown(TableWindow* table);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    platform::FileDialog& dialog_;
    platform::MessageBox& messageBox_;
    platform::FileOpener& fileOpener_;
    platform::PrintDialog& printDialog_;
    QString userManual_;
    SheetChoiceDialogChooser sheetChooser_;
    void ReadNextTable();
    void ShowTable(const QString& path, conversion::ConversionOutcome read,
                   const TableMarks& marks);

    std::unique_ptr<Form1> form_;
    std::vector<QPointer<TableWindow>> tables_;
    struct TableToRead {
        QString path;
        TableMarks marks;
    };
    std::deque<TableToRead> tablesToRead_;  // the first is being read
    TableReader readTable_;
};

}  // namespace main_window
