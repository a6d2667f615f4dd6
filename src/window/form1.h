#pragma once

#include <QPointer>
#include <QThread>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "conversion/conversion_run.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace platform {
class FileDialog;
class MessageBox;
class FileOpener;
}  // namespace platform

namespace main_window {

struct LayoutRow;

class SheetChooser;

// Runs one conversion from an input path to an output path (as the file system spells them);
// `options` say which sheet of a workbook and where its table starts.
using FareTableConverter = std::function<conversion::ConversionOutcome(
    const std::string& inputPath, const std::string& outputPath,
    const conversion::ConversionOptions& options)>;
inline conversion::ConversionOutcome ConvertOnThisComputer(
    const std::string& inputPath, const std::string& outputPath,
    const conversion::ConversionOptions& options) {
    return conversion::ConvertFareTableWith(inputPath, outputPath, options);
}

// The program's main window: the question, the Yes/No choice between the conversion steps
// and the template, the two path fields, the Convert button and the status label (the table
// window, table_window.h, shows a .hy3 file's records). Each control keeps the object name of
// its layout row ("Command1", "Label5", "Text1_0", ...), which is what accessibility tools and
// the tests see. The controls are built from the layout table in form1_layout.cpp.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    // F1 opens `userManual`, the user's manual, through the file opener.
    Form1(platform::FileDialog& dialog, platform::MessageBox& messageBox,
          platform::FileOpener& fileOpener, QWidget* parent = nullptr,
          FareTableConverter converter = ConvertOnThisComputer, QString userManual = QString());

    ~Form1() override;

    // A conversion (or the reading of a workbook's sheets before it) is running, off the
    // event loop.
    bool busy() const { return converting_; }

    // As if the user had answered Yes and chosen `inputPath` with Browse: the steps are
    // shown, step 1 holds the path, and the focus waits in step 2 for the output path.
    void StartWithInput(const QString& inputPath);

    // Opens the table window for a .hy3 the window has just written, with what the
    // conversion found about it.
    using TableOpener =
        std::function<void(const QString& path, const conversion::ConversionOutcome& outcome)>;
    // After every conversion that wrote a file, the status label offers a link 「内容を見る」
    // (object name "Label5Link", Alt+V, next after Convert in the tab order) that calls
    // `opener`.
    void OfferTable(TableOpener opener);

    // Before a workbook is converted, `chooser` asks which sheet and from which row; without
    // one the first sheet is converted from its first row that holds anything.
    void AskForSheets(SheetChooser* chooser) { sheetChooser_ = chooser; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    // Option1(index) clicked: 0 (Yes) uncovers the conversion steps, 1 (No) covers them and
    // offers the template.
    void SelectMode(int index);
    // Convert is usable only while both path fields hold text.
    void UpdateConvertEnabled();
    // Command2(index) clicked: fills Text1(index) from the file dialog.
    void BrowseForPath(int index);
    // Command1 clicked: converts and reports the outcome in the status label. The work runs
    // on a thread of its own: the window repaints and answers meanwhile, and a second click
    // is ignored.
    void ConvertClicked();
    // Timer1's tick: the status label alternates between light grey and yellow.
    void ToggleStatusBlink();
    // Command3 clicked: hands out the template.
    void TemplateClicked();

  private:
    void StartConversion(const std::string& inputPath, const std::string& outputPath,
                         const conversion::ConversionOptions& options);
    void EndConversion();
    void ShowProgress();
    void ShowOutcome(const conversion::ConversionOutcome& outcome);
    QPushButton* TableLink();  // the link 「内容を見る」, or null while no table is offered
    void BuildFromLayout();
    QWidget* CreateControl(const LayoutRow& row, QWidget* container);
    void ConnectHandlers();
    void SetStatusBackground(const QColor& colour);

    platform::FileDialog& dialog_;
    platform::MessageBox& messageBox_;
    platform::FileOpener& fileOpener_;
    FareTableConverter converter_;
    QString userManual_;

    // The controls the handlers work on, as the layout builder made them.
    std::array<QRadioButton*, 2> optionButtons_{};  // Option1(0) Yes, Option1(1) No
    std::array<QLineEdit*, 2> pathFields_{};        // Text1(0) input, Text1(1) output
    std::array<QPushButton*, 2> browseButtons_{};   // Command2(0), Command2(1)
    QPushButton* convertButton_ = nullptr;          // Command1
    QPushButton* templateButton_ = nullptr;         // Command3
    QWidget* stepsFrame_ = nullptr;                 // Frame2, the three conversion steps
    QWidget* coverPanel_ = nullptr;                 // Picture1, lies over the steps
    QLabel* statusLabel_ = nullptr;                 // Label5
    QTimer* blinkTimer_ = nullptr;                  // Timer1
    QTimer* progressTimer_ = nullptr;               // says what the window does, past half a second
    bool converting_ = false;
    QPointer<QThread> worker_;  // the running work, if any
    QString shownCaption_;      // the label as it was before the run
    QString shownToolTip_;
    QString runningOutput_;  // the output path of the running conversion

    SheetChooser* sheetChooser_ = nullptr;
    TableOpener tableOpener_;
    QPushButton* tableLink_ = nullptr;  // inside Label5, at the end of its third line
    QString writtenPath_;               // the last conversion's output, and what it found
    conversion::ConversionOutcome writtenOutcome_;
};

}  // namespace main_window
