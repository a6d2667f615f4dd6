#include "window/table_window.h"
#include "conversion/wording.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <string_view>

#include "conversion/read_back.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_path.h"
#include "window/layout_table.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

// "62:ファイルにこれ以上データがありません。" and the explanation, if there is one.
QString FailureText(const fare_model::RunError& error) {
    QString text = FromUtf8(conversion::CodeAndDescription(error));
    const std::string explanation = conversion::ExplanationText(error);
    if (!explanation.empty()) {
        text += QLatin1Char('\n') + FromUtf8(explanation);
    }
    return text;
}

QString SizeText(size_t records, qint64 bytes) {
    const QLocale locale;
    return QStringLiteral("%1 行、%2 バイト")
        .arg(locale.toString(static_cast<qlonglong>(records)), locale.toString(bytes));
}

}  // namespace

TableWindow::TableWindow(platform::FileDialog& dialog, const QString& path, const TableMarks& marks,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), dialog_(dialog), path_(path) {
    setObjectName(QStringLiteral("TableWindow"));
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + FromUtf8(kWindowCaption));
    conversion::ConversionOutcome file =
        conversion::ReadBackDataFile(platform::FileSystemPath(path));

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
    }

    auto* bottom = new QHBoxLayout();
    bottom->addWidget(status_, 1);
    bottom->addWidget(saveButton_);
    layout->addLayout(bottom);
    // The keyboard starts on the grid (or the error), then goes on to the list and the button.
    QWidget* first = grid_ != nullptr ? static_cast<QWidget*>(grid_)
                                      : findChild<QLabel*>(QStringLiteral("Problem"));
    QWidget::setTabOrder(first, saveButton_);
    if (auto* list = findChild<QPlainTextEdit*>(QStringLiteral("MarksList"))) {
        QWidget::setTabOrder(first, list);
        QWidget::setTabOrder(list, saveButton_);
    }
    first->setFocus(Qt::OtherFocusReason);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(760, 480);
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
    status_->setText(
        saved.error ? FromUtf8(conversion::NotSavedText(name)) +
                          FailureText(*saved.error).replace(QLatin1Char('\n'), QLatin1Char(' '))
                    : FromUtf8(conversion::SavedText(name)));
}

}  // namespace main_window
