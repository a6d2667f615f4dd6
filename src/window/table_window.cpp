#include "window/table_window.h"
#include "conversion/wording.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <string_view>

#include "conversion/read_back.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_path.h"
#include "window/failure_text.h"
#include "window/layout_table.h"
#include "window/table_printing.h"
#include "window/user_manual.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

QString SizeText(size_t records, qint64 bytes) {
    const QLocale locale;
    return QStringLiteral("%1 行、%2 バイト")
        .arg(locale.toString(static_cast<qlonglong>(records)), locale.toString(bytes));
}

QSettings TableWindowSettings() {
    return QSettings(QStringLiteral("rukanoba3"), QStringLiteral("rukanoba3"));
}

const QString kSizeKey = QStringLiteral("TableWindow/size");

}  // namespace

TableWindow::TableWindow(const TableDesktop& desktop, const QString& path,
                         conversion::ConversionOutcome file, const TableMarks& marks,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), desktop_(desktop), dialog_(desktop.fileDialog), path_(path) {
    setObjectName(QStringLiteral("TableWindow"));
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + FromUtf8(kWindowCaption));

    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("TableStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    saveButton_ = new QPushButton(QStringLiteral("テキストとして保存(&S)..."), this);
    saveButton_->setObjectName(QStringLiteral("SaveAsText"));
    saveButton_->setAutoDefault(false);
    connect(saveButton_, &QPushButton::clicked, this, &TableWindow::SaveAsText);

    if (file.error) {
        auto* problem = new QLabel(
            FromUtf8(conversion::UnreadableDataFileText(QFileInfo(path).fileName().toStdString())) +
                QLatin1Char('\n') + FailureText(*file.error),
            this);
        problem->setObjectName(QStringLiteral("Problem"));
        problem->setTextFormat(Qt::PlainText);
        problem->setWordWrap(true);
        problem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        problem->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        problem->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(problem, 1);
        saveButton_->setEnabled(false);
        status_->setText(FromUtf8(conversion::CheckTheFileText()));
    } else {
        status_->setText(SizeText(file.records.size(), QFileInfo(path).size()));
        model_ = new FareTableModel(std::move(file.records), marks, this);
        grid_ = new QTableView(this);
        grid_->setObjectName(QStringLiteral("FareTable"));
        grid_->setModel(model_);
        grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
        grid_->setFocusPolicy(Qt::StrongFocus);
        grid_->setWordWrap(false);
        // Widths from the font alone: measuring 45,000 cells would slow the opening.
        const QFontMetrics metrics = grid_->fontMetrics();
        grid_->horizontalHeader()->setDefaultSectionSize(
            metrics.horizontalAdvance(QStringLiteral("運賃150")) + 12);
        grid_->setColumnWidth(FareTableModel::kPlaceColumn,
                              metrics.horizontalAdvance(QStringLiteral("地名地名地名地名地名")));
        grid_->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
        auto* copy = new QAction(QStringLiteral("コピー(&C)"), grid_);
        copy->setShortcut(QKeySequence::Copy);
        copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(copy, &QAction::triggered, this, &TableWindow::CopySelection);
        grid_->addAction(copy);
        grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
        layout->addWidget(grid_, 1);
        ShowMarks(marks);
        printing_ =
            new TablePrinting(*this, desktop.fileDialog, desktop.printDialog, *model_, marks, path,
                              [this](const QString& text) { status_->setText(text); });
    }

    // The status has a line of its own above the buttons, and wraps: the window stays narrow
    // enough for a small screen at twice the scale.
    status_->setWordWrap(true);
    layout->addWidget(status_);
    auto* bottom = new QHBoxLayout();
    bottom->addStretch(1);
    auto* printButton = new QPushButton(QStringLiteral("印刷(&P)…"), this);
    printButton->setObjectName(QStringLiteral("Print"));
    auto* pdfButton = new QPushButton(QStringLiteral("PDF に保存(&D)…"), this);
    pdfButton->setObjectName(QStringLiteral("SaveAsPdf"));
    for (QPushButton* button : {printButton, pdfButton}) {
        button->setAutoDefault(false);
        button->setEnabled(printing_ != nullptr);
        bottom->addWidget(button);
    }
    bottom->addWidget(saveButton_);
    layout->addLayout(bottom);
    if (printing_ != nullptr) {
        // One print or PDF at a time: the buttons wait while one is under way.
        for (QPushButton* button : {printButton, pdfButton}) {
            connect(printing_, &TablePrinting::started, button,
                    [button] { button->setEnabled(false); });
            connect(printing_, &TablePrinting::finished, button,
                    [button] { button->setEnabled(true); });
        }
        connect(printButton, &QPushButton::clicked, printing_, &TablePrinting::Print);
        connect(pdfButton, &QPushButton::clicked, printing_, &TablePrinting::SaveAsPdf);
        auto* print = new QShortcut(QKeySequence::Print, this);
        connect(print, &QShortcut::activated, printing_, &TablePrinting::Print);
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        OpenUserManual(this, desktop_.userManual, desktop_.fileOpener, desktop_.messageBox,
                       QString::fromLatin1(kTableWindowSection));
    });
    // The keyboard starts on the grid (or the error), then goes on to the list and the button.
    QWidget* first = grid_ != nullptr ? static_cast<QWidget*>(grid_)
                                      : findChild<QLabel*>(QStringLiteral("Problem"));
    QWidget::setTabOrder(first, printButton);
    QWidget::setTabOrder(printButton, pdfButton);
    QWidget::setTabOrder(pdfButton, saveButton_);
    if (auto* list = findChild<QPlainTextEdit*>(QStringLiteral("MarksList"))) {
        QWidget::setTabOrder(first, list);
        QWidget::setTabOrder(list, printButton);
    }
    first->setFocus(Qt::OtherFocusReason);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    FitToScreen();
}

TableWindow::~TableWindow() = default;

void TableWindow::FitToScreen() {
    QSize size = TableWindowSettings().value(kSizeKey, QSize(760, 480)).toSize();
    if (!size.isValid()) {
        size = QSize(760, 480);
    }
    // Logical pixels: at 1.5x or 2x the free area is as much smaller as the window is larger.
    if (const QScreen* screen = this->screen()) {
        const QRect free = screen->availableGeometry();
        // The frame the window manager adds is not known before the window is shown.
        const QSize frame(16, 48);
        size = size.boundedTo(free.size() - frame).expandedTo(QSize(240, 160));
        resize(size.boundedTo(free.size()));
        move(free.topLeft() + QPoint((free.width() - width()) / 2, (free.height() - height()) / 2));
        return;
    }
    resize(size);
}

void TableWindow::closeEvent(QCloseEvent* event) {
    TableWindowSettings().setValue(kSizeKey, size());
    QWidget::closeEvent(event);
}

void TableWindow::ShowMarks(const TableMarks& marks) {
    if (marks.notices.empty() && marks.differences.empty()) {
        return;
    }
    QStringList lines;
    if (!marks.notices.empty()) {
        lines.append(FromUtf8(conversion::NoticeCountText(marks.notices.size())));
        for (const fare_model::Notice& notice : marks.notices) {
            lines.append(FromUtf8(conversion::NoticeText(notice)));
        }
    }
    if (!marks.differences.empty()) {
        lines.append(FromUtf8(conversion::DifferenceSummary(marks.differences.size())));
        for (const fare_model::RecordDifference& difference : marks.differences) {
            lines.append(FromUtf8(conversion::DifferenceText(difference)));
        }
    }
    auto* list = new QPlainTextEdit(this);
    list->setObjectName(QStringLiteral("MarksList"));
    list->setReadOnly(true);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    list->setPlainText(lines.join(QLatin1Char('\n')));
    list->setMaximumHeight(list->fontMetrics().height() * 7);
    static_cast<QVBoxLayout*>(layout())->addWidget(list);
}

void TableWindow::CopySelection() {
    if (grid_ == nullptr) {
        return;
    }
    const QString text = model_->TabSeparated(grid_->selectionModel()->selectedIndexes());
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

void TableWindow::SaveAsText() {
    if (model_ == nullptr) {
        return;
    }
    platform::FileDialogRequest request;
    request.mode = platform::FileDialogMode::kSave;
    request.filter = QStringLiteral("テキストファイル(*.txt)|*.txt|CSVファイル(*.CSV)|*.CSV");
    request.initialFileName = QFileInfo(path_).completeBaseName() + QStringLiteral(".txt");
    std::optional<QString> target;
    try {
        target = dialog_.Choose(this, request);
    } catch (...) {
        return;  // as the main window's Browse buttons: a dialog that fails ends silently
    }
    if (!target) {
        return;
    }
    // The same text as hy3conv --to-text: it converts back to exactly this .hy3.
    const conversion::ConversionOutcome saved = conversion::WriteBackAsText(
        platform::FileSystemPath(path_), platform::FileSystemPath(*target));
    const std::string name = QFileInfo(*target).fileName().toStdString();
    status_->setText(saved.error
                         ? FromUtf8(conversion::NotSavedText(name)) + FailureLine(*saved.error)
                         : FromUtf8(conversion::SavedText(name)));
}

}  // namespace main_window
